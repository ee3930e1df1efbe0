#include "sim/core/ReaderDisplays.h"

#include <cstdio>

namespace sim
{
namespace
{

struct Glyph {
    uint8_t segments;
    char shown;
};

// The usual seven-segment shapes of digits, hex letters and a few more.
constexpr Glyph kGlyphs[] = {
    {0x00, ' '}, {0x3F, '0'}, {0x06, '1'}, {0x5B, '2'}, {0x4F, '3'}, {0x66, '4'}, {0x6D, '5'}, {0x7D, '6'}, {0x07, '7'},
    {0x27, '7'}, {0x7F, '8'}, {0x6F, '9'}, {0x67, '9'}, {0x77, 'A'}, {0x7C, 'b'}, {0x39, 'C'}, {0x58, 'c'}, {0x5E, 'd'},
    {0x79, 'E'}, {0x71, 'F'}, {0x3D, 'G'}, {0x76, 'H'}, {0x74, 'h'}, {0x1E, 'J'}, {0x38, 'L'}, {0x54, 'n'}, {0x5C, 'o'},
    {0x73, 'P'}, {0x50, 'r'}, {0x78, 't'}, {0x3E, 'U'}, {0x1C, 'u'}, {0x6E, 'y'}, {0x40, '-'}, {0x08, '_'}, {0x48, '='},
};

bool printable(char c)
{
    return c >= 0x20 && c < 0x7F;
}

} // namespace

std::string ledDigitReading(uint8_t pattern)
{
    const uint8_t segments = pattern & 0x7F;
    char shown = '?';
    for (const Glyph &g : kGlyphs)
        if (g.segments == segments)
            shown = g.shown;
    std::string text(1, shown);
    if (pattern & 0x80)
        text += '.';
    return text;
}

std::string ledReading(const std::array<uint8_t, 8> &patterns)
{
    std::string text;
    for (const uint8_t p : patterns)
        text += ledDigitReading(p);
    return text;
}

std::string ledClockReading(const ClockTime &t, bool time)
{
    char text[16];
    if (time)
        std::snprintf(text, sizeof text, "%02d-%02d-%02d", t.hour, t.minute, t.second);
    else
        std::snprintf(text, sizeof text, "%04d.%02d.%02d", t.year, t.month, t.day);
    return text;
}

std::string lcdCharacters(const std::string &text)
{
    std::string kept = text;
    for (char &c : kept)
        if (c != '\r' && c != '\n' && !printable(c))
            c = '?';
    return kept;
}

std::vector<std::string> lcdRows(const std::string &text)
{
    std::vector<std::string> rows(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            rows.emplace_back();
            continue;
        }
        if (rows.back().size() == kLcdColumns)
            rows.emplace_back();
        rows.back() += c;
    }
    rows.resize(kLcdRows);
    for (std::string &row : rows)
        row.resize(kLcdColumns, ' ');
    return rows;
}

} // namespace sim
