// t7vcard: a virtual card for vpcd. Connects to vpcd's port and answers it
// until vpcd closes the connection or the process is ended; the card lies in
// the reader while it runs.
//   t7vcard --port N [--host 127.0.0.1] [--card mifare1k|iso7816] [--uid HEX]
#include "pcsc/vcard/Iso7816Card.h"
#include "pcsc/vcard/MifareClassicCard.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace
{

struct Options {
    std::string host = "127.0.0.1";
    int port = 0;
    std::string card = "mifare1k";
    vcard::Bytes uid = {0x04, 0xA1, 0xB2, 0xC3};
};

int usage(const char *message)
{
    std::fprintf(stderr, "t7vcard: %s\nusage: t7vcard --port N [--host ADDR] [--card mifare1k|iso7816] [--uid HEX]\n",
                 message);
    return 2;
}

bool parseUid(const std::string &text, vcard::Bytes *uid)
{
    if (text.size() != 8 && text.size() != 14)
        return false;
    uid->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        char *end = nullptr;
        const std::string pair = text.substr(i, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0' || !std::isxdigit(static_cast<unsigned char>(pair[0])))
            return false;
        uid->push_back(static_cast<uint8_t>(value));
    }
    return true;
}

// vpcd listens from the moment pcscd loaded it; until then connecting is
// refused, so it is tried again for a while.
int connectToVpcd(const Options &options)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(options.port));
    if (inet_pton(AF_INET, options.host.c_str(), &address.sin_addr) != 1)
        return -1;
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0)
            return -1;
        if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
            return fd;
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

bool sendAll(int fd, const vcard::Bytes &bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

int serve(int fd, vcard::VirtualCard &card)
{
    vcard::FrameReader reader;
    uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 0; // vpcd closed: the card is taken away
        reader.feed(buffer, static_cast<size_t>(n));
        while (const std::optional<vcard::Bytes> message = reader.next()) {
            const std::optional<vcard::Bytes> answer = vcard::respond(card, *message);
            if (answer && !sendAll(fd, vcard::encodeFrame(*answer)))
                return 0;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return usage(("missing value for " + arg).c_str());
        const std::string value = argv[++i];
        if (arg == "--port")
            options.port = std::atoi(value.c_str());
        else if (arg == "--host")
            options.host = value;
        else if (arg == "--card")
            options.card = value;
        else if (arg == "--uid" && !parseUid(value, &options.uid))
            return usage("the UID is 8 or 14 hex digits");
        else if (arg != "--uid")
            return usage(("unknown option " + arg).c_str());
    }
    if (options.port <= 0 || options.port > 65535)
        return usage("--port is required");
    std::unique_ptr<vcard::VirtualCard> card;
    if (options.card == "mifare1k")
        card = std::make_unique<vcard::MifareClassicCard>(options.uid);
    else if (options.card == "iso7816")
        card = std::make_unique<vcard::Iso7816Card>();
    else
        return usage("--card is mifare1k or iso7816");
    const int fd = connectToVpcd(options);
    if (fd < 0) {
        std::fprintf(stderr, "t7vcard: cannot reach vpcd at %s:%d\n", options.host.c_str(), options.port);
        return 1;
    }
    const int status = serve(fd, *card);
    close(fd);
    return status;
}
