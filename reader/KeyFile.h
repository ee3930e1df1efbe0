// The small key file the AT88RF020 panels keep their last password in.
#pragma once

#include <QString>

namespace t7
{

// $XDG_DATA_HOME/T7/keys.txt, or ~/.local/share/T7/keys.txt when the variable
// is unset or not an absolute path.
QString keyFilePath();

// Makes sure the file exists: when it cannot be opened for reading and
// writing, its folder is created (with any missing parents) and, if that
// worked or the folder was already there, an empty file is created with mode
// 0600. An existing file is never truncated. Nothing is reported.
void ensureKeyFile(const QString &path);

} // namespace t7
