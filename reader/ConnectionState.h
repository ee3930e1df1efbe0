// The process-wide reader connection: the current device handle, whether a
// port is open, the readers found by the last opening and the card-type
// setting. One instance for the whole run (connection()).
#pragma once

#include <array>
#include <atomic>
#include <string>

namespace t7
{

struct ReaderEntry {
    int reserved = 0;
    std::string name; // the reader's version text, or "Unknown type"
    int index = 0;
    int handle = 0;
};

enum CardTypeSetting { kTypeA = 1, kTypeB = 2, kIso15693 = 3 };

struct ConnectionState {
    static constexpr int kCapacity = 100;

    // Read by the Auto Test worker while the UI thread may change it.
    std::atomic<int> deviceHandle{0};
    int portOpen = 0;
    std::array<ReaderEntry, kCapacity> readers{};
    int readerCount = 0;
    int cardTypeSetting = kTypeA;
    int serialLink = 0;

    // Back to the state the main frame starts with.
    void reset();
};

ConnectionState &connection();

} // namespace t7
