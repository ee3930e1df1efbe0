// Asks the operator for a file name. Tests replace the chooser so that no
// test opens a real file dialog.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace t7
{

enum class FileChoice { Open, Save };

// The file dialog unless a test installed its own chooser; "" when cancelled.
QString chooseFile(FileChoice choice, QWidget *owner, const QString &caption, const QString &filter);

using FileChooser =
    std::function<QString(FileChoice choice, QWidget *owner, const QString &caption, const QString &filter)>;
// Null restores the file dialog.
void setFileChooser(FileChooser chooser);

} // namespace t7
