#include "panels/contact/ContactControls.h"

#include <QPushButton>

namespace t7::contact
{

QPushButton *makeButton(const QString &caption, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace t7::contact
