// Replaces the file dialog for a test's lifetime: each request is recorded
// and answered with the next scripted file name ("" = cancelled when none is left).
#pragma once

#include "ui/FileChooser.h"

#include <QString>
#include <QStringList>

#include <deque>

namespace fake
{

class FileChooserScript
{
public:
    FileChooserScript()
    {
        t7::setFileChooser([this](t7::FileChoice choice, QWidget *, const QString &caption, const QString &) {
            asked << (choice == t7::FileChoice::Open ? QStringLiteral("open: ") : QStringLiteral("save: ")) + caption;
            if (answers_.empty())
                return QString();
            const QString next = answers_.front();
            answers_.pop_front();
            return next;
        });
    }
    ~FileChooserScript() { t7::setFileChooser(nullptr); }
    FileChooserScript(const FileChooserScript &) = delete;
    FileChooserScript &operator=(const FileChooserScript &) = delete;

    void answer(const QString &path) { answers_.push_back(path); }

    QStringList asked;

private:
    std::deque<QString> answers_;
};

} // namespace fake
