// Advice shown before a panel that needs another contactless protocol.
#pragma once

#include <QString>

namespace t7
{

// The advice text for the required card-type setting (1, 2 or 3).
QString cardTypeWarningText(int required);

// Shows the advice when the card-type setting differs from required; the
// caller opens its panel either way.
void cardTypeWarning(int required);

} // namespace t7
