#include "ui/ModalRunner.h"

#include <QDialog>

namespace t7
{
namespace
{

ModalRunner &runner()
{
    static ModalRunner installed;
    return installed;
}

} // namespace

int runModal(QDialog &dialog)
{
    if (runner())
        return runner()(dialog);
    return dialog.exec();
}

void setModalRunner(ModalRunner replacement)
{
    runner() = std::move(replacement);
}

} // namespace t7
