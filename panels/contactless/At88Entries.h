// What both AT88RF020 panels resolve when they are made, and the steps they
// share: the password taken from a field and the card's verification.
#pragma once

#include "reader/QvdLibrary.h"

#include <QString>

#include <array>
#include <optional>

namespace t7::contactless
{

using At88Password = std::array<unsigned char, 8>;

// The password as both panels take it from a field: exactly 16 hexadecimal
// digits, refused with a message box before any card call otherwise (a
// blank would be sent as garbage, and a changed password the keys file does
// not hold would be lost). "Length of chars inserted not enough!" for fewer
// than 16 characters, the format message for anything but hex digits.
std::optional<QString> at88PasswordText(const QString &fieldText);

struct At88Entries {
    enum class Verification { FindFailed, FindError, Refused, Accepted };

    // The card found by rz_request_b and selected by rz_attrib with the
    // identifier it answered (bytes 1-4), then rz_check_at with the password
    // (a text at88PasswordText() accepted), whose bytes are left in password
    // once a card was found.
    Verification verify(int handle, const QString &text, At88Password &password);
    // The bytes of a text at88PasswordText() accepted.
    At88Password passwordBytes(const QString &text);

    qvd::LibraryRef lib = qvd::Library::load();
    QVD_ENTRY(lib, rz_request_b);
    QVD_ENTRY(lib, rz_attrib);
    QVD_ENTRY(lib, rz_check_at);
    QVD_ENTRY(lib, rz_read_at);
    QVD_ENTRY(lib, rz_write_at);
    QVD_ENTRY(lib, rz_lock_at);
    QVD_ENTRY(lib, rz_halt_at);
    QVD_ENTRY(lib, rz_count_at);
    QVD_ENTRY(lib, rz_config_card);
    QVD_ENTRY(lib, rz_beep);
    QVD_ENTRY(lib, hex_a);
    QVD_ENTRY(lib, a_hex);
    QVD_ENTRY(lib, rz_changekey_at);
};

} // namespace t7::contactless
