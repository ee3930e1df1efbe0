#include "reader/KeyFile.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace t7
{
namespace
{

bool opensForReadingAndWriting(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDWR);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// The folder holds a password: only its owner may look inside.
bool makeFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(QFileInfo(folder).absolutePath()))
        return false;
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || QFileInfo(folder).isDir();
}

void createEmptyFile(const QByteArray &path)
{
    // O_EXCL: a file that exists but could not be opened is left alone.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd >= 0)
        ::close(fd);
}

} // namespace

QString keyFilePath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/T7/keys.txt");
}

void ensureKeyFile(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (opensForReadingAndWriting(encoded))
        return;
    if (makeFolder(QFileInfo(path).path()))
        createEmptyFile(encoded);
}

} // namespace t7
