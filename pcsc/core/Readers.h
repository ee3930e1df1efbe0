// The PC/SC readers as the reader library sees them: one handle per PC/SC
// reader, opened in the order pcscd lists them, and what the library keeps
// per handle (the card it last saw, its activation phase, authentication,
// the key store, the value transfer buffer). One method per entry point it
// serves, returning the library's result. Not thread-safe: the library
// serialises every call.
#pragma once

#include "pcsc/core/Apdu.h"
#include "pcsc/core/Atr.h"
#include "pcsc/core/KeyStore.h"
#include "pcsc/core/ReaderProfile.h"

#include <PCSC/winscard.h>

#include <map>
#include <string>

namespace pcsc
{

class Readers
{
public:
    Readers() = default;
    ~Readers();
    Readers(const Readers &) = delete;
    Readers &operator=(const Readers &) = delete;

    bool isOpen(int h) const { return handles_.count(h) != 0; }

    // Reader
    int init(int port, int baud);
    int exit(int h);
    int getVersion(int h, char *version);
    int beep(int h, int duration);
    int configCard(int h, unsigned char protocol);
    int resetField(int h, unsigned short ms);

    // TYPE A activation
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

    // Ultralight (ReadersCards.cpp)
    int requestUltralight(int h, unsigned char mode);
    int anticollUltralight(int h, unsigned int *serial);
    int selectUltralight(int h, unsigned int serial);
    int readUltralight(int h, unsigned char page, unsigned char *data);
    int writeUltralight(int h, unsigned char page, const unsigned char *data);
    int haltUltralight(int h);

    // ISO 14443-4 CPU cards, TYPE B (ReadersCards.cpp)
    int proReset(int h, unsigned char *length, unsigned char *answer);
    int proCommand(int h, unsigned char length, const unsigned char *command, unsigned char *replyLength,
                   unsigned char *reply);
    int requestB(int h, unsigned char *answer);
    int attrib(int h, const unsigned char *pupi);
    int haltPro(int h);

    // Contact CPU card (ReadersCards.cpp)
    int setCpuSlot(int h, unsigned char slot);
    int cpuReset(int h, unsigned char *length, unsigned char *answer);
    int setCpuParameters(int h, unsigned char slot);
    int cpuApdu(int h, int length, const unsigned char *command, unsigned char *replyLength, unsigned char *reply);
    int cpuPowerDown(int h, unsigned char slot);

    // SLE4442 and SLE4428 on ACS contact readers (ReadersMemoryCards.cpp)
    int sle4442ReadErrorCounter(int h, unsigned char *errorCounter);
    int sle4442Authenticate(int h, unsigned char length, const unsigned char *psc);
    int sle4442ChangeKey(int h, unsigned char length, const unsigned char *psc);
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

private:
    enum class Phase { Idle, Ready, Cascade1Selected, Active, Halted };

    // An increment, decrement or restore waiting for its transfer.
    struct Pending {
        bool valid = false;
        enum class Op { Increment, Decrement, Restore } op = Op::Restore;
        int source = 0;
        int32_t amount = 0;
        int32_t result = 0;
        uint8_t address = 0;
    };

    struct Handle {
        std::string reader;
        ReaderProfile profile;
        char protocol = 'A';
        SCARDHANDLE card = 0;
        DWORD activeProtocol = 0;
        CardInfo info;
        Bytes uid;
        Phase phase = Phase::Idle;
        bool reactivate = false; // the card must be selected again (after a failed authentication)
        int authSector = -1;
        bool authKeyB = false;
        KeyStore keys;
        Pending pending;
        unsigned char cpuSlot = kCpuSlot;
        int memoryCardType = -1; // the card type the reader was told, -1 none
    };

    static constexpr unsigned char kCpuSlot = 0x0C;

    Handle *find(int h);
    bool haveContext();
    void dropCard(Handle &handle, DWORD disposition);
    void forgetCardState(Handle &handle);
    int connect(Handle &handle);
    int learnCard(Handle &handle);
    // The card in the reader, connected; a changed card starts afresh.
    int ensureCard(Handle &handle);
    int exchange(Handle &handle, const Bytes &command, Response *response);
    int exchangeRaw(Handle &handle, const Bytes &command, Bytes *reply);
    int resultOf(LONG rv);

    bool typeAEnabled(const Handle &handle) const;
    int typeACard(int h, Handle **handle);
    int mifareCard(int h, Handle **handle);
    int mifareAccess(int h, int block, Handle **handle);
    int blockCount(const Handle &handle) const;
    int readRaw(Handle &handle, int block, uint8_t *data16);
    int valueOperand(int h, unsigned char block, Handle **handle, int32_t *value, uint8_t *address);
    int setPending(int h, unsigned char block, Pending::Op op, int amount);
    int activeUltralight(int h, Handle **handle);
    int activeCpuCard(int h, Handle **handle, bool contact);
    int memoryCard(int h, apdu::MemoryCard type, Handle **handle);
    int memoryExchange(Handle &handle, const Bytes &command, Response *response);
    int memoryRead(int h, apdu::MemoryCard type, int address, unsigned char *data, int length);
    int memoryWrite(int h, apdu::MemoryCard type, int address, const unsigned char *data, int length, bool protect);
    int presentCode(int h, apdu::MemoryCard type, const unsigned char *psc, uint8_t length);

    SCARDCONTEXT context_ = 0;
    bool haveContext_ = false;
    bool serviceLost_ = false;
    std::map<int, Handle> handles_;
    int nextHandle_ = 1;
};

} // namespace pcsc
