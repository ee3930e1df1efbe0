// A small ISO/IEC 7816-4 card operating system: the application behind every
// simulated CPU card (contactless TYPE A/B, Mifare Pro, contact cards and
// SAMs). A file tree with an MF, DFs and transparent EFs, one PIN with a
// retry counter, and the basic interindustry commands with their status words.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim::iso7816
{

// Status words the card answers with.
enum StatusWord : uint16_t {
    kSwOk = 0x9000,
    kSwEndOfFile = 0x6282,        // fewer bytes than asked for
    kSwWrongLength = 0x6700,      // Lc/Le inconsistent with the command
    kSwIncompatibleFile = 0x6981, // command incompatible with the file structure
    kSwSecurityNotSatisfied = 0x6982,
    kSwPinBlocked = 0x6983,
    kSwConditionsNotSatisfied = 0x6985,
    kSwNoCurrentEf = 0x6986,
    kSwWrongData = 0x6A80,
    kSwFunctionNotSupported = 0x6A81,
    kSwFileNotFound = 0x6A82,
    kSwWrongP1P2 = 0x6A86,
    kSwOffsetOutside = 0x6B00,
    kSwInsNotSupported = 0x6D00,
    kSwClaNotSupported = 0x6E00,
};

// Who may do something to a file.
enum class Access : uint8_t { Always, Pin, Never };

struct File {
    uint16_t fid = 0;
    bool dedicated = false;         // DF (holds children) or transparent EF (holds data)
    std::vector<uint8_t> name;      // DF name (AID), may be empty
    std::vector<uint8_t> data;      // EF content; its size is fixed
    Access read = Access::Always;   // EF: READ BINARY
    Access update = Access::Always; // EF: UPDATE BINARY
    std::vector<File> children;     // DF only
};

struct Pin {
    std::vector<uint8_t> value;
    int triesLeft = 3;
    int maxTries = 3;
};

// What the card keeps without power.
struct Application {
    File mf;
    Pin pin;
};

// What the card forgets when it loses power or is reset.
struct Context {
    std::vector<uint16_t> dfPath; // FIDs below the MF of the current DF (empty: the MF)
    int currentEf = -1;           // index among the current DF's children, -1: none
    bool pinVerified = false;
    std::vector<uint8_t> pendingResponse; // for GET RESPONSE (T=0)
};

struct Exchange {
    std::vector<uint8_t> response; // data followed by SW1 SW2
    bool changed = false;          // the Application must be saved
};

// Transmission protocol of the link: T=0 keeps case-4 answers for GET RESPONSE
// (61 xx), T=1 and the contactless T=CL return them at once.
enum class Link { T0, T1 };

// Processes one command APDU (short form). maxResponse bounds data + SW so the
// answer fits the reader's one-byte length.
Exchange process(Application &app, Context &context, const uint8_t *apdu, std::size_t length, Link link,
                 std::size_t maxResponse = 255);

// A fresh card: MF 3F00 with EF 2F00 (directory, 32 bytes) and DF 1001
// (named by aid) holding EF 0015 (32 bytes, updating needs the PIN) and EF
// 0016 (16 bytes, reading and updating need the PIN). PIN 12 34 56, 3 tries.
Application defaultApplication(const std::vector<uint8_t> &aid);
// The DF name of the default application: "T7DEMO" behind a proprietary RID.
std::vector<uint8_t> defaultAid();

nlohmann::ordered_json toJson(const Application &app);
// Throws std::runtime_error (or nlohmann::json::exception) on a malformed tree.
Application applicationFromJson(const nlohmann::ordered_json &json);

// One line per file, indented by depth, for t7sim dump.
std::string describe(const Application &app);

} // namespace sim::iso7816
