// The simulated readers as one process sees them: the bench from the bench
// file plus what lives in memory only (open handles, card selection,
// authentication, halt state, transfer buffer, RF field). One method per
// entry point, returning the library's result. Not thread-safe: the library
// serialises every call.
#pragma once

#include "sim/core/AirTiming.h"
#include "sim/core/BenchStore.h"
#include "sim/core/Errors.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace sim
{

class Simulator
{
public:
    Simulator();

    // Takes the air time the call's commands charged, when the timing model
    // is on by the bench as the call found it. Each library call ends with it.
    void settleAirTime();

    // Reader
    int init(int port, int baud);
    int exit(int h);
    int getVersion(int h, char *version);
    int beep(int h, int duration);
    int configCard(int h, unsigned char protocol);
    int resetField(int h, unsigned short ms);

    // TYPE A activation
    // A request leaves a card that is already selected as it is; a card search
    // (rz_card) starts its activation afresh.
    int request(int h, unsigned char mode, int *tagType, bool keepSelected = true);
    int card(int h, unsigned char mode, unsigned int *serial);
    int anticoll(int h, unsigned int *serial);
    int select(int h, unsigned int serial, unsigned char *sak);
    int anticoll2(int h, unsigned int *serial2);
    int select2(int h, unsigned int serial2);
    int halt(int h);

    // MIFARE Classic
    int loadKey(int h, unsigned char keyMode, unsigned char row, const unsigned char *key);
    int authenticate(int h, unsigned char keyMode, unsigned char sector);
    int readBlock(int h, unsigned char block, unsigned char *data);
    int writeBlock(int h, unsigned char block, const unsigned char *data);
    int initValue(int h, unsigned char block, int value);
    int readValue(int h, unsigned char block, int *value);
    int increment(int h, unsigned char block, int amount);
    int decrement(int h, unsigned char block, int amount);
    int transfer(int h, unsigned char block);
    int restore(int h, unsigned char block);
    int changeTrailer(int h, unsigned char sector, const unsigned char *keyA, const unsigned char *controlWord,
                      const unsigned char *keyB);

    // 125 kHz ID card
    int readIdNumber(int h, unsigned char *number);

    // TYPE B and ISO15693 activation
    int requestB(int h, unsigned char *answer);
    int attrib(int h, const unsigned char *pupi);
    int inventory(int h, unsigned char flags, unsigned char afi, unsigned char maskLength, unsigned char *reply,
                  unsigned char *uid);

    // Each family below lives in its own file, SimFamily.cpp.

    // Ultralight and Ultralight C (SimUltralight.cpp)
    int requestUltralight(int h, unsigned char mode);
    int anticollUltralight(int h, unsigned int *serial);
    int selectUltralight(int h, unsigned int serial);
    int readUltralight(int h, unsigned char page, unsigned char *data);
    int writeUltralight(int h, unsigned char page, const unsigned char *data);
    int haltUltralight(int h);
    int ultralightCAuthenticate(int h, const unsigned char *key);
    int ultralightCSetSafePage(int h, unsigned char page, unsigned char readProtect);
    int ultralightCLockPage(int h, unsigned char page);
    int ultralightCChangeKey(int h, const unsigned char *oldKey, const unsigned char *newKey);

    // ISO 14443-4 CPU cards and Mifare Pro (SimCpuCard.cpp)
    int proReset(int h, unsigned char *length, unsigned char *answer);
    int proCommand(int h, unsigned char length, const unsigned char *command, unsigned char *replyLength,
                   unsigned char *reply, unsigned char timeout, unsigned char frameSize);
    int resetMifarePro(int h, unsigned char *length, unsigned char *answer);
    int apduMifarePro(int h, unsigned char length, const unsigned char *command, unsigned char *replyLength,
                      unsigned char *reply);
    int haltMifarePro(int h);

    // MIFARE Plus (SimMifarePlus.cpp)
    int mfpWritePerso(int h, const unsigned char *value, unsigned short address);
    int mfpCommitPerso(int h);
    int mfpL1Authenticate(int h, const unsigned char *key);
    int mfpL1SwitchToL2(int h, const unsigned char *key);
    int mfpL1SwitchToL3(int h, const unsigned char *key);
    int mfpL2SwitchToL3(int h, const unsigned char *key);
    int mfpL3AuthenticateKey(int h, const unsigned char *key, unsigned short keyNumber);
    int mfpL3AuthenticateSector(int h, unsigned char mode, unsigned char sector, const unsigned char *key);
    int mfpL3ReadPlain(int h, unsigned short block, unsigned char count, unsigned char *data);
    int mfpL3WritePlain(int h, unsigned short block, unsigned char count, const unsigned char *data);
    int mfpL3ReadEncrypted(int h, unsigned short block, unsigned char count, unsigned char *data);
    int mfpL3WriteEncrypted(int h, unsigned short block, unsigned char count, const unsigned char *data);
    int mfpL3UpdateKey(int h, unsigned short keyNumber, const unsigned char *key);
    int mfpL3InitValue(int h, unsigned char block, int value);
    int mfpL3ReadValue(int h, unsigned char block, int *value);
    int mfpL3Increment(int h, unsigned char block, int value);
    int mfpL3Decrement(int h, unsigned char block, int value);

    // ISO15693 beyond the inventory (SimIso15693.cpp)
    int getSystemInfo(int h, unsigned char flags, const unsigned char *uid, unsigned char *length,
                      unsigned char *reply);
    int readBlocks(int h, unsigned char flags, unsigned char block, unsigned char count, const unsigned char *uid,
                   unsigned char *length, unsigned char *data);
    int writeBlocks(int h, unsigned char flags, unsigned char block, unsigned char count, const unsigned char *uid,
                    unsigned char length, const unsigned char *data);
    int lockBlock(int h, unsigned char flags, unsigned char block, const unsigned char *uid);
    int writeAfi(int h, unsigned char flags, unsigned char afi, const unsigned char *uid);
    int lockAfi(int h, unsigned char flags, unsigned char afi, const unsigned char *uid);
    int writeDsfid(int h, unsigned char flags, unsigned char dsfid, const unsigned char *uid);
    int lockDsfid(int h, unsigned char flags, unsigned char dsfid, const unsigned char *uid);
    int getSecurityInfo(int h, unsigned char flags, unsigned char block, unsigned char count, const unsigned char *uid,
                        unsigned char *length, unsigned char *reply);
    int resetToReady(int h, unsigned char flags, const unsigned char *uid);
    int selectUid(int h, unsigned char flags, const unsigned char *uid);
    int stayQuiet(int h, unsigned char flags, const unsigned char *uid);

    // AT88RF020 (SimAt88rf020.cpp)
    int atCheck(int h, unsigned char mode, const unsigned char *password);
    int atChangeKey(int h, const unsigned char *password);
    int atCommand(int h, const unsigned char *command, unsigned char length, unsigned char *reply,
                  unsigned char *replyLength);
    int atRead(int h, unsigned char page, const unsigned char *password, unsigned char *data);
    int atWrite(int h, unsigned char page, const unsigned char *data);
    int atLock(int h, unsigned char mode, const unsigned char *password);
    int atCount(int h, unsigned char mode, const unsigned char *password);
    int atHalt(int h, unsigned char mode, const unsigned char *password);

    // SLE4442, SLE4428 and AT24C64 in the contact slot (SimMemoryCards.cpp)
    int sle4442ReadErrorCounter(int h, unsigned char *errorCounter);
    int sle4442Authenticate(int h, unsigned char zone, unsigned char length, const unsigned char *psc);
    int sle4442ChangeKey(int h, unsigned char zone, unsigned char length, const unsigned char *psc);
    int sle4442Read(int h, int address, unsigned char *data, int length);
    int sle4442Write(int h, int address, const unsigned char *data, int length);
    int sle4442ReadProtection(int h, int address, unsigned char *data, int length);
    int sle4442WriteProtection(int h, int address, const unsigned char *data, int length);
    int sle4428Authenticate(int h, const unsigned char *psc);
    int sle4428ChangeKey(int h, const unsigned char *psc);
    int sle4428Read(int h, int address, unsigned char *data, int length);
    int sle4428Write(int h, int address, const unsigned char *data, int length);
    int sle4428ReadProtection(int h, int address, unsigned char *data, int length);
    int sle4428WriteProtection(int h, int address, const unsigned char *data, int length);
    int at24c64Check(int h);
    int at24c64Read(int h, int address, int length, unsigned char *data);
    int at24c64Write(int h, int address, int length, const unsigned char *data);

    // Contact CPU card and SAM slots (SimContactCpu.cpp)
    int setCpuSlot(int h, unsigned char slot);
    int cpuReset(int h, unsigned char *length, unsigned char *answer);
    int setCpuParameters(int h, unsigned char slot, unsigned char protocol, unsigned char etu);
    int cpuApdu(int h, int length, const unsigned char *command, unsigned char *replyLength, unsigned char *reply);
    int cpuPowerDown(int h, unsigned char slot);

    // Reader peripherals (SimPeripherals.cpp)
    int ledControlMode(int h, unsigned char mode);
    int ledDisplayMode(int h, unsigned char mode);
    int setClock(int h, const unsigned char *clock);
    int ledDisplay8(int h, unsigned char length, const unsigned char *pattern);
    int lcdSetBrightness(int h, unsigned char brightness);
    int lcdShowText(int h, const char *text);
    int lcdClear(int h);
    int readNoteMemory(int h, int offset, int length, unsigned char *data);
    int writeNoteMemory(int h, int offset, int length, const unsigned char *data);
    // Single DES of one block, hex text in and out; needs no reader.
    int des(const char *keyHex, const char *dataHex, char *resultHex, int encrypt);

private:
    enum class Phase { Idle, Ready, Cascade1Selected, Active, Halted };

    struct Session {
        std::string identity; // which card the state belongs to
        Phase phase = Phase::Idle;
        int authSector = -1;
        bool authKeyB = false;
        bool bufferValid = false;
        int32_t buffer = 0;
        uint8_t bufferAddress = 0;
        // ISO 14443-4 (after RATS or ATTRIB) and the card application's state.
        bool layer4 = false;
        iso7816::Context apdu;
        // MIFARE Plus level-3 authentication, ISO15693 state, AT88RF020 verification.
        mfplus::Session plus;
        iso15693::State tagState = iso15693::State::Ready;
        at88::Session at88;
        // Contact memory cards: the right PSC was presented to this card.
        bool pscPresented = false;
        // Ultralight C: 3DES authentication passed.
        bool ultralightAuthenticated = false;

        // The state of a card that has just come into the field (or lost power).
        static Session fresh(std::string identity, Phase phase = Phase::Idle)
        {
            Session s;
            s.identity = std::move(identity);
            s.phase = phase;
            return s;
        }
    };

    struct Open {
        std::string reader;
        bool fieldOn = true;
    };

    // A card, its reader and its session, found for one call.
    struct Target {
        const Reader *reader = nullptr;
        const Card *card = nullptr;
        Session *session = nullptr;
        std::string position;
    };

    void follow();
    // Adds the command's air time to the call's, taken by settleAirTime().
    void charge(air::Frame frame, std::size_t bytes = 0);
    Open *openReader(int h);
    const Reader *reader(int h);
    int openHandle(const std::string &readerName);
    Session &session(const std::string &readerName, const std::string &position, const Card &card);
    void powerDownContactless(const std::string &readerName);
    // The card in a contactless position when the protocol setting lets it answer.
    int contactless(int h, const char *position, Target *target);
    int mifareAccess(int h, int block, Target *target);
    int modifyCard(int h, const char *position, const std::function<int(Card &)> &change);
    // Runs one APDU through the card's application and keeps what it changed.
    int exchangeApdu(int h, const Target &t, const unsigned char *command, std::size_t length, iso7816::Link link,
                     unsigned char *replyLength, unsigned char *reply);
    // The TYPE A card in the field, selected and of a kind that speaks ISO 14443-4.
    int layer4TypeA(int h, Target *t);
    int writeTrailer(int h, int block, const mifare::Block &wanted);
    // The selected Ultralight (or, with cOnly, Ultralight C) in the TYPE A field.
    int ultralightTarget(int h, Target *t, bool cOnly = false);
    // Runs a change of the page image through the card: a refusal (NAK) sends
    // the card back to idle, as the chip does.
    int changePages(int h, const Target &t,
                    const std::function<ultralight::Outcome(ultralight::Memory &, bool authenticated)> &change);
    int valueOperand(int h, unsigned char block, mifare::DataOp op, int32_t *value, uint8_t *address);
    // Runs change on the reader's peripherals and saves them when it gives
    // kOk; an unknown handle comes before invalid arguments.
    int changePeripherals(int h, bool argumentsValid, const std::function<int(Peripherals &)> &change);
    // The MIFARE Plus in the TYPE A field, activated up to ISO 14443-4.
    int mifarePlus(int h, Target *t);
    using PlusChange = std::function<int(mfplus::Memory &, const mfplus::Session &)>;
    int changePlus(int h, const PlusChange &change);
    int switchPlusLevel(int h, const unsigned char *key, int from, int to);
    // The AES three-pass authentication every MIFARE Plus key check makes.
    int plusAuthentication(int h, const unsigned char *key, Target *t);
    // The ISO15693 tag when it takes a request with these flags and UID.
    int tag(int h, unsigned char flags, const unsigned char *uid, Target *t);
    int moveTag(int h, unsigned char flags, const unsigned char *uid, iso15693::State state, bool addressOnly);
    int changeTag(int h, unsigned char flags, const unsigned char *uid, const std::function<int(Card &)> &change);
    // The AT88RF020 in the TYPE B field, selected.
    int at88Card(int h, Target *t);
    // One command frame to the selected AT88RF020; the page answered, if any.
    int at88Command(int h, const std::vector<uint8_t> &frame, at88::Answer *answer);
    // The same, the card's status as the library's result.
    int at88Result(int h, const std::vector<uint8_t> &frame);
    // The selected AT88RF020 whose verified password is this one.
    int at88WithPassword(int h, const unsigned char *password);

    // The contact slot and SAM sockets (SimMemoryCards.cpp, SimContactCpu.cpp).
    // A contact card is powered while its session is Active.
    struct ContactSlots {
        unsigned char selected = 0x0C;           // rz_setcpu; the user slot until one is chosen
        std::array<unsigned char, 4> protocol{}; // rz_setcpupara per slot 0x0C-0x0F: 0 T=0, 1 T=1
    };
    int contactCard(int h, const std::string &position, Target *t);
    int memoryCard(int h, CardKind kind, Target *t);
    // Runs change on a copy of the memory card's content and keeps what it
    // changed, also when the operation itself fails (a spent PSC attempt).
    int changeMemory(int h, CardKind kind, const std::function<int(memory::Memory &, bool &presented)> &change);
    // The CPU card or SAM in the reader's selected slot.
    int selectedCpu(int h, Target *t, unsigned char *slot);

    std::map<std::string, ContactSlots> contactSlots_; // by reader
    std::unique_ptr<BenchStore> store_;
    air::Clock airClock_; // calls come one at a time, so one clock serves every reader
    air::Duration chargedAir_{0};
    std::map<int, Open> handles_;
    std::map<std::string, Session> sessions_; // by "reader/position"
    int nextHandle_ = 1;
};

} // namespace sim
