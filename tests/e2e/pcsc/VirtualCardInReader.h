// A virtual card lying in one of vpcd's readers of the private pcscd that
// the test fixture started (tests/pcsc/pcscd_fixture.sh): t7vcard runs for
// the object's life; construction waits until pcscd sees the card, the
// destructor until pcscd sees it gone. Every wait is pcscd's status-change
// event, bounded.
#pragma once

#include <optional>
#include <string>

namespace pcsctest
{

// vpcd's first port when the fixture runs, else nothing (the tests skip).
// Points this process's PC/SC client at the fixture's pcscd.
std::optional<int> fixturePort();

// The built libqvd-pcsc.so.
std::string pcscLibraryFile();

// "Virtual PCD 00 00" for slot 0, "... 01" for slot 1.
std::string readerName(int slot);

class VirtualCardInReader
{
public:
    // kind: "mifare1k" or "iso7816"; uid: 8 or 14 hex digits (MIFARE).
    VirtualCardInReader(int slot, const std::string &kind, const std::string &uid = "04A1B2C3");
    ~VirtualCardInReader();
    VirtualCardInReader(const VirtualCardInReader &) = delete;
    VirtualCardInReader &operator=(const VirtualCardInReader &) = delete;

    bool present() const { return present_; }

private:
    int slot_;
    int pid_ = -1;
    bool present_ = false;
};

} // namespace pcsctest
