#include "ui/FileChooser.h"

#include <QFileDialog>

namespace t7
{
namespace
{

FileChooser &installedChooser()
{
    static FileChooser chooser;
    return chooser;
}

} // namespace

QString chooseFile(FileChoice choice, QWidget *owner, const QString &caption, const QString &filter)
{
    if (const FileChooser &chooser = installedChooser())
        return chooser(choice, owner, caption, filter);
    if (choice == FileChoice::Open)
        return QFileDialog::getOpenFileName(owner, caption, QString(), filter);
    return QFileDialog::getSaveFileName(owner, caption, QString(), filter);
}

void setFileChooser(FileChooser chooser)
{
    installedChooser() = std::move(chooser);
}

} // namespace t7
