// What a Control Word lets each key do, in words: a small table for the
// Update Key page and the same as sentences for assistive technology.
#pragma once

#include <QString>

namespace t7::mifare
{

struct AccessConditionsText {
    QString table;     // monospaced lines; empty when there is nothing to decode
    QString sentences; // the same, read aloud
    bool locksSector = false;
};

// controlWord: trailer bytes 6-9. A 16-block sector (32-39) groups its data
// blocks by five.
AccessConditionsText describeControlWord(const unsigned char *controlWord, bool largeSector);

// The warning both the page and the second confirmation give.
QString lockingControlWordWarning();

} // namespace t7::mifare
