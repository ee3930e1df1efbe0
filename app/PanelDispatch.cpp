#include "app/PanelDispatch.h"

#include "app/CCardTypeSetDlg.h"
#include "app/CardTypeWarning.h"
#include "panels/contact/C24C64Dlg.h"
#include "panels/contact/C4428Dlg.h"
#include "panels/contact/C4442Dlg.h"
#include "panels/contact/CCpuCardDlg.h"
#include "panels/contactless/CAt88rf020Dlg.h"
#include "panels/contactless/CFcpuDlg.h"
#include "panels/contactless/CIcode2Dlg.h"
#include "panels/contactless/CMifarePlusDlg.h"
#include "panels/contactless/CMifareProDlg.h"
#include "panels/contactless/CUltralightCDlg.h"
#include "panels/contactless/CUltralightDlg.h"
#include "panels/device/CDeviceDlg.h"
#include "panels/device/CLcdDlg.h"
#include "panels/device/CMoreTestDlg.h"
#include "panels/mifare_one/CIdCardDlg.h"
#include "panels/mifare_one/CMifareOneDlg.h"
#include "panels/mifare_one/CMifareOneRwDlg.h"
#include "panels/mifare_one/CS70EasyDlg.h"
#include "reader/ConnectionState.h"
#include "ui/ModalRunner.h"

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

bool openMifareOnePanel(int itemData, QWidget *parent)
{
    switch (itemData) {
    case 0:
    case 21:
        return run<CMifareOneDlg>(parent, 0);
    case 1:
    case 22:
        return run<CMifareOneDlg>(parent, 1);
    case 2:
    case 23:
        return run<CMifareOneDlg>(parent, 2);
    case 4:
    case 24:
        return run<CMifareOneDlg>(parent, 4);
    case 6:
    case 25:
        return run<CMifareOneDlg>(parent, 6);
    case 7:
    case 20:
        return run<CMifareOneDlg>(parent, 7);
    case 15:
        return run<CMifareOneRwDlg>(parent);
    case 19:
        return run<CS70EasyDlg>(parent);
    case 30:
        return run<CIdCardDlg>(parent);
    default:
        return false;
    }
}

bool openContactlessPanel(int itemData, QWidget *parent)
{
    switch (itemData) {
    case 12:
        return run<CUltralightDlg>(parent);
    case 13:
        return run<CMifareProDlg>(parent);
    case 17:
        return run<CIcode2Dlg>(parent);
    case 18:
        return run<CAt88rf020Dlg>(parent);
    case 27:
        return run<CFcpuDlg>(parent, 10);
    case 31:
        return run<CFcpuDlg>(parent, CFcpuDlg::kTypeB);
    case 32:
        return run<CMifarePlusDlg>(parent);
    case 33:
        return run<CUltralightCDlg>(parent);
    default:
        return false;
    }
}

bool openContactPanel(int itemData, QWidget *parent)
{
    switch (itemData) {
    case 5:
        return run<CCpuCardDlg>(parent);
    case 8:
        return run<C4442Dlg>(parent, 0);
    case 9:
        return run<C4442Dlg>(parent, 1);
    case 10:
        return run<C4442Dlg>(parent, 2);
    case 28:
        return run<C4428Dlg>(parent);
    case 29:
        return run<C24C64Dlg>(parent);
    default:
        return false;
    }
}

bool openDevicePanel(int itemData, QWidget *parent)
{
    switch (itemData) {
    case 3:
        return run<CMoreTestDlg>(parent);
    case 14:
        return run<CLcdDlg>(parent);
    case 16:
        return run<CDeviceDlg>(parent);
    default:
        return false;
    }
}

} // namespace

void openPanel(int itemData, QWidget *parent)
{
    warnAboutCardType(itemData);
    openShellPanel(itemData, parent) || openMifareOnePanel(itemData, parent) ||
        openContactlessPanel(itemData, parent) || openContactPanel(itemData, parent) ||
        openDevicePanel(itemData, parent);
}

} // namespace t7
