#include "ui/DialogLook.h"

#include <QApplication>
#include <QPalette>

namespace t7
{

void applyDialogLook(QApplication &app)
{
    QPalette palette = app.palette();
    palette.setColor(QPalette::Window, kDialogBackground);
    palette.setColor(QPalette::WindowText, Qt::black);
    app.setPalette(palette);
}

} // namespace t7
