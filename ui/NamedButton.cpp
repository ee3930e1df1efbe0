#include "ui/NamedButton.h"

#include <QPushButton>

namespace t7
{

QPushButton *makeNamedButton(const QString &caption, const char *objectName, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

} // namespace t7
