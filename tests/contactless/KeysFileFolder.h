// A private keys file for one test: XDG_DATA_HOME points at a temporary
// folder while the test runs.
#pragma once

#include "reader/KeyFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace fake
{

class KeysFileFolder
{
public:
    KeysFileFolder() : previous_(qgetenv("XDG_DATA_HOME")) { qputenv("XDG_DATA_HOME", dir_.path().toLocal8Bit()); }
    ~KeysFileFolder() { qputenv("XDG_DATA_HOME", previous_); }
    KeysFileFolder(const KeysFileFolder &) = delete;
    KeysFileFolder &operator=(const KeysFileFolder &) = delete;

    void write(const QByteArray &content) const
    {
        QDir().mkpath(dir_.path() + QStringLiteral("/T7"));
        QFile file(t7::keyFilePath());
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
    }
    QByteArray content() const
    {
        QFile file(t7::keyFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool exists() const { return QFile::exists(t7::keyFilePath()); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

} // namespace fake
