#include "PanelDispatch.h"

#include "CCardTypeSetDlg.h"
#include "CardTypeWarning.h"
#include "ConnectionState.h"
#include "ModalRunner.h"

namespace t7
{
namespace
{

template <typename Panel, typename... Args> bool run(QWidget *parent, Args... args)
{
    Panel panel(args..., parent);
    runModal(panel);
    return true;
}

void warnAboutCardType(int itemData)
{
    switch (itemData) {
    case 17: // I-CODE2
        cardTypeWarning(kIso15693);
        break;
    case 18: // AT88RF020
    case 31: // TYPE B CPU
        cardTypeWarning(kTypeB);
        break;
    default:
        break;
    }
}

bool openShellPanel(int itemData, QWidget *parent)
{
    switch (itemData) {
    case 26:
        return run<CCardTypeSetDlg>(parent);
    default:
        return false;
    }
}

// Panels of the card and device subsystems, one line each as they arrive:
//   case 0: return run<CMifareOneDlg>(parent, 0);
bool openSubsystemPanel(int itemData, [[maybe_unused]] QWidget *parent)
{
    switch (itemData) {
    default:
        return false;
    }
}

} // namespace

void openPanel(int itemData, QWidget *parent)
{
    warnAboutCardType(itemData);
    if (!openShellPanel(itemData, parent))
        openSubsystemPanel(itemData, parent);
}

} // namespace t7
