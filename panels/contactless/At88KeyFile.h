// The AT88RF020 password record in the keys file (t7::keyFilePath()): 38
// bytes, "AT88RF020 verify key: " and the password's 16 characters, with no
// line end. Both AT88RF020 panels read and write it.
#pragma once

#include <QString>

namespace t7::contactless
{

constexpr int kKeyRecordSize = 38;
extern const char kKeyRecordPrefix[]; // "AT88RF020 verify key: "

// The 16 characters at bytes 22-37; "" when the file is missing or shorter.
QString storedAt88Password();

enum class KeyRecord { NotOpened, NotWritten, Written };

// Writes the record over the first 38 bytes of the existing file, opened
// for reading and writing, keeping whatever follows; the file is never
// created or truncated. Opened only here and always closed.
KeyRecord recordAt88Password(const QString &password);

// What the operator is told when recordAt88Password() did not write.
QString passwordNotRecordedText();

} // namespace t7::contactless
