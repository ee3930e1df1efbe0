// What a PC/SC reader can do beyond PC/SC Part 3, known by its name. Part 3
// has no value block commands, buzzer or memory-card commands; readers that
// have them use their maker's forms.
#pragma once

#include <string>

namespace pcsc
{

enum class ValueCommands {
    ReadModifyWrite, // any Part 3 reader: READ BINARY, computed in here, UPDATE BINARY
    Acs,             // ACS: FF D7 store/increment/decrement/restore on the card
};

struct ReaderProfile {
    ValueCommands value = ValueCommands::ReadModifyWrite;
    bool acsBuzzer = false;      // FF 00 40 (ACS contactless readers)
    bool acsMemoryCards = false; // FF A4 card type + memory-card APDUs (ACS contact readers)
};

ReaderProfile profileForReader(const std::string &readerName);

} // namespace pcsc
