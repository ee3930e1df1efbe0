// Replaces the modal runner for a test's lifetime: every dialog the code under
// test runs modally is recorded (by objectName) and handed to the script for
// its objectName, which may inspect and drive it; the result it returns is
// what exec() would have returned. Dialogs without a script are rejected.
#pragma once

#include "ui/ModalRunner.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>

namespace fake
{

class ModalScript
{
public:
    using Handler = std::function<int(QDialog &dialog)>;

    ModalScript()
    {
        t7::setModalRunner([this](QDialog &dialog) { return run(dialog); });
    }
    ~ModalScript() { t7::setModalRunner(nullptr); }
    ModalScript(const ModalScript &) = delete;
    ModalScript &operator=(const ModalScript &) = delete;

    void on(const QString &objectName, Handler handler) { handlers_[objectName] = std::move(handler); }
    const QStringList &shown() const { return shown_; }

private:
    int run(QDialog &dialog)
    {
        shown_ << dialog.objectName();
        const auto it = handlers_.find(dialog.objectName());
        if (it == handlers_.end())
            return QDialog::Rejected;
        dialog.show();
        const int result = it->second(dialog);
        dialog.hide();
        return result;
    }

    std::map<QString, Handler> handlers_;
    QStringList shown_;
};

} // namespace fake
