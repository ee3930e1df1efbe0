#include "ui/DialogLook.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace t7
{

void applyDialogLook(QApplication &app)
{
    QPalette palette = app.palette();
    palette.setColor(QPalette::Window, kDialogBackground);
    palette.setColor(QPalette::WindowText, Qt::black);
    app.setPalette(palette);
}

void useDialogBackground(QWidget *widget)
{
    QPalette look = widget->palette();
    look.setColor(QPalette::Window, kDialogBackground);
    widget->setPalette(look);
    widget->setAutoFillBackground(true);
}

} // namespace t7
