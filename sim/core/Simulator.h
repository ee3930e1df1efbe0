// The simulated readers as one process sees them: the bench from the bench
// file plus what lives in memory only (open handles, card selection,
// authentication, halt state, transfer buffer, RF field). One method per
// entry point, returning the library's result. Not thread-safe: the library
// serialises every call.
#pragma once

#include "sim/core/BenchStore.h"
#include "sim/core/Errors.h"

#include <map>
#include <memory>
#include <string>

namespace sim
{

class Simulator
{
public:
    Simulator();

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
    };

    struct Open {
        std::string reader;
        bool fieldOn = true;
    };

    struct Target; // a card, its reader and its session, found for one call

    void follow();
    Open *openReader(int h);
    const Reader *reader(int h);
    int openHandle(const std::string &readerName);
    Session &session(const std::string &readerName, const std::string &position, const Card &card);
    void powerDownContactless(const std::string &readerName);
    // The card in a contactless position when the protocol setting lets it answer.
    int contactless(int h, const char *position, Target *target);
    int mifareAccess(int h, int block, Target *target);
    int modifyCard(int h, const char *position, const std::function<int(Card &)> &change);
    int writeTrailer(int h, int block, const mifare::Block &wanted);
    int valueOperand(int h, unsigned char block, mifare::DataOp op, int32_t *value, uint8_t *address);

    std::unique_ptr<BenchStore> store_;
    std::map<int, Open> handles_;
    std::map<std::string, Session> sessions_; // by "reader/position"
    int nextHandle_ = 1;
};

} // namespace sim
