// The panels' operator-text conversions: commands, lines, passwords and codes
// through the library's own a_hex/hex_a (the simulated library, loaded as the
// tool loads it) and the panels' checks. Whatever is typed, a conversion
// either refuses or gives exactly the bytes the digits say.
#include "panels/contact/ContactCards.h"
#include "panels/contactless/At88Entries.h"
#include "panels/contactless/ContactlessWidgets.h"
#include "reader/HexText.h"
#include "reader/LibraryHex.h"
#include "ui/MessageSeam.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace
{

// No box ever shows: refusals are only counted.
class QuietSink final : public t7::MessageSink
{
public:
    void show(t7::BoxKind, QWidget *, const QString &) override {}
    bool ask(QWidget *, const QString &) override { return false; }
};

struct Library {
    Library()
    {
        char self[4096] = {};
        const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        std::string dir(self, n > 0 ? static_cast<size_t>(n) : 0);
        dir = dir.substr(0, dir.rfind('/'));
        qvd::setLibraryFileForTesting(dir + "/../lib/libqvd.so");
        lib = qvd::Library::load();
        a_hex.resolve(lib);
        hex_a.resolve(lib);
        t7::setMessageSink(&sink);
        if (!a_hex.resolved() || !hex_a.resolved())
            std::abort();
    }
    QuietSink sink;
    qvd::LibraryRef lib;
    QVD_ENTRY(lib, a_hex);
    QVD_ENTRY(lib, hex_a);
};

Library &library()
{
    static Library instance;
    return instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    Library &l = library();
    const int count = data[0];
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));

    const auto bytes = t7::libraryHexBytes(l.a_hex, text, count);
    if (bytes) {
        const auto strict = t7::parseHexBytes(text);
        if (!strict || strict->size() != static_cast<qsizetype>(bytes->size()) ||
            std::memcmp(strict->constData(), bytes->data(), bytes->size()) != 0)
            std::abort();
        if (t7::libraryHexText(l.hex_a, bytes->data(), count) != text.toUpper())
            std::abort();
    }
    const QString digits = t7::contact::lineDigits(text);
    if (t7::contact::isMemoryLine(text) && !t7::isHexOfLength(digits, 16))
        std::abort();
    (void)t7::contact::pairsEachFollowedByBlank(digits);
    const QString leading = t7::contactless::leadingHexDigits(text, count % 40);
    if (!leading.isEmpty() && !t7::isHexOfLength(leading, (count % 40) / 2) && (count % 40) % 2 == 0)
        std::abort();
    if (const auto password = t7::contactless::at88PasswordText(text); password && !t7::isHexOfLength(*password, 8))
        std::abort();
    return 0;
}
