#include "panels/mifare_one/CMifarePage.h"

#include "ui/DialogLook.h"

#include <QLabel>
#include <QPalette>

CMifarePage::CMifarePage(const QString &caption, QWidget *parent) : QWidget(parent), caption_(caption)
{
    QPalette look = palette();
    look.setColor(QPalette::Window, t7::kDialogBackground);
    setPalette(look);
    setAutoFillBackground(true);
}

QLabel *CMifarePage::captionLabel(const QString &text, QWidget *field, const char *name)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(field);
    return label;
}
