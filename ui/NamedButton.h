// A push button made with its caption and object name. It is never pressed
// by Enter on its own: panels that want Enter give it to one button, or to
// nothing.
#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace t7
{

QPushButton *makeNamedButton(const QString &caption, const char *objectName, QWidget *parent);

} // namespace t7
