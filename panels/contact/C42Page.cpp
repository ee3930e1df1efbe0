#include "panels/contact/C42Page.h"

#include "panels/contact/ContactCards.h"
#include "ui/DialogLook.h"

#include <QLabel>

C42Page::C42Page(const QString &caption, QWidget *parent) : QWidget(parent), caption_(caption)
{
    t7::useDialogBackground(this);
}

void C42Page::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        firstShown();
    }
}

void C42Page::chooseReader()
{
    t7::contact::chooseReader(
        [this](int handle) {
            unsigned char errorCounter = 0;
            return rz_cntReadError_4442(handle, &errorCounter) == 0;
        },
        t7::contact::ReaderChoice::FirstAnswering);
}

QLabel *C42Page::captionLabel(const QString &text, QWidget *field, const char *name)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(field);
    return label;
}
