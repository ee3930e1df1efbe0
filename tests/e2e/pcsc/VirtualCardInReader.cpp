#include "tests/e2e/pcsc/VirtualCardInReader.h"

#include <PCSC/winscard.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

extern char **environ;

namespace pcsctest
{
namespace
{

constexpr DWORD kWaitMs = 15000;

// Waits for the reader to hold a card (or none); false on timeout.
bool waitForCard(const std::string &reader, bool wanted)
{
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return false;
    SCARD_READERSTATE state{};
    state.szReader = reader.c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    bool reached = false;
    for (int round = 0; round < 20 && !reached; ++round) {
        if (SCardGetStatusChange(context, kWaitMs / 20, &state, 1) != SCARD_S_SUCCESS && state.dwEventState == 0)
            continue;
        const bool present = (state.dwEventState & SCARD_STATE_PRESENT) != 0;
        // MUTE: pcscd has not powered the card yet; it is not there for use.
        reached = present == wanted && !(wanted && (state.dwEventState & SCARD_STATE_MUTE));
        state.dwCurrentState = state.dwEventState;
    }
    SCardReleaseContext(context);
    return reached;
}

} // namespace

std::optional<int> fixturePort()
{
    const std::string dir = T7_PCSC_FIXTURE_DIR;
    std::ifstream portFile(dir + "/port");
    std::ifstream socketFile(dir + "/socket");
    int port = 0;
    std::string socket;
    if (!(portFile >> port) || !(socketFile >> socket))
        return std::nullopt;
    setenv("PCSCLITE_CSOCK_NAME", socket.c_str(), 1);
    return port;
}

std::string pcscLibraryFile()
{
    return std::string(T7_BUILD_LIB_DIR) + "/libqvd-pcsc.so";
}

std::string readerName(int slot)
{
    return "Virtual PCD 00 0" + std::to_string(slot);
}

VirtualCardInReader::VirtualCardInReader(int slot, const std::string &kind, const std::string &uid) : slot_(slot)
{
    const std::optional<int> port = fixturePort();
    const char *tool = T7_VCARD_PATH;
    if (!port)
        return;
    const std::string portText = std::to_string(*port + slot);
    const char *argv[] = {tool, "--port", portText.c_str(), "--card", kind.c_str(), "--uid", uid.c_str(), nullptr};
    if (posix_spawn(&pid_, tool, nullptr, nullptr, const_cast<char **>(argv), environ) != 0) {
        pid_ = -1;
        return;
    }
    present_ = waitForCard(readerName(slot), true);
}

VirtualCardInReader::~VirtualCardInReader()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    // The next test finds the reader empty, not this card.
    waitForCard(readerName(slot_), false);
}

} // namespace pcsctest
