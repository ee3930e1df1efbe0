#include "panels/mifare_one/CMifarePage.h"

#include "ui/DialogLook.h"

#include <QLabel>

CMifarePage::CMifarePage(const QString &caption, QWidget *parent) : QWidget(parent), caption_(caption)
{
    t7::useDialogBackground(this);
}

QLabel *CMifarePage::captionLabel(const QString &text, QWidget *field, const char *name)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(field);
    return label;
}
