// The reader's two displays as a person reads them: the 8-digit LED of
// seven-segment digits and the text LCD.
#pragma once

#include "sim/core/ReaderClock.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sim
{

// Pattern byte of one LED digit: bit 0 segment a (top), then clockwise
// b, c, d, e, f, bit 6 g (middle), bit 7 the decimal point. The character a
// pattern shows ('?' for one that is no character), '.' after it for the point.
std::string ledDigitReading(uint8_t pattern);
std::string ledReading(const std::array<uint8_t, 8> &patterns);
// The clock on the LED: "09-05-02" as time, "2026.03.07" as date.
std::string ledClockReading(const ClockTime &t, bool time);

// The LCD: kLcdRows lines of kLcdColumns characters, ASCII.
constexpr size_t kLcdRows = 4;
constexpr size_t kLcdColumns = 16;
// The longest text the LCD takes (bytes, line breaks included).
constexpr size_t kLcdTextLimit = 255;
// The text as the LCD keeps it: CR and LF kept, any other byte that is not
// printable ASCII becomes '?'.
std::string lcdCharacters(const std::string &text);
// The rows shown: a line break (CR LF, LF or CR) starts a row, a longer line
// goes on in the next row; what does not fit is not shown.
std::vector<std::string> lcdRows(const std::string &text);

} // namespace sim
