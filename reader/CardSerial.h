// Finding the contactless card in the field (the application's GetCardSerial).
#pragma once

#include <QString>

namespace t7
{

// The card's serial number as 8 upper-case hexadecimal digits (16 for a card
// with a second cascade level), or "" when no card answered. serial receives
// the serial (for a double-size serial, both parts combined by XOR).
QString GetCardSerial(int deviceHandle, unsigned int &serial);

} // namespace t7
