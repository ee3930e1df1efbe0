// Controls the contact-card panels make alike.
#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace t7::contact
{

// A named push button that the Return key of an edit does not press.
QPushButton *makeButton(const QString &caption, const char *name, QWidget *parent);

} // namespace t7::contact
