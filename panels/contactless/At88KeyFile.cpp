#include "panels/contactless/At88KeyFile.h"

#include "reader/KeyFile.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace t7::contactless
{

const char kKeyRecordPrefix[] = "AT88RF020 verify key: ";

namespace
{

constexpr int kPrefixSize = sizeof kKeyRecordPrefix - 1;
constexpr int kPasswordSize = kKeyRecordSize - kPrefixSize;

// Closes the file on every way out.
class FileDescriptor
{
public:
    FileDescriptor(const QString &path, int flags) : fd_(::open(QFile::encodeName(path).constData(), flags)) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    bool isOpen() const { return fd_ >= 0; }
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

QString storedAt88Password()
{
    const FileDescriptor file(keyFilePath(), O_RDONLY);
    if (!file.isOpen())
        return {};
    char record[kKeyRecordSize];
    if (::pread(file.get(), record, sizeof record, 0) != kKeyRecordSize)
        return {};
    return QString::fromLatin1(record + kPrefixSize, kPasswordSize);
}

KeyRecord recordAt88Password(const QString &password)
{
    const QByteArray text = password.toLatin1();
    const FileDescriptor file(keyFilePath(), O_RDWR);
    if (!file.isOpen())
        return KeyRecord::NotOpened;
    if (text.size() != kPasswordSize)
        return KeyRecord::NotWritten;
    char record[kKeyRecordSize];
    std::memcpy(record, kKeyRecordPrefix, kPrefixSize);
    std::memcpy(record + kPrefixSize, text.constData(), kPasswordSize);
    return ::pwrite(file.get(), record, sizeof record, 0) == kKeyRecordSize ? KeyRecord::Written
                                                                            : KeyRecord::NotWritten;
}

QString passwordNotRecordedText()
{
    return QStringLiteral("The keys file %1 could not be written: the new password is not recorded!")
        .arg(keyFilePath());
}

} // namespace t7::contactless
