// Records every message box instead of showing it; answers questions from a
// script (Yes when the script is empty).
#pragma once

#include "ui/MessageSeam.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace fake
{

struct Message {
    t7::BoxKind kind;
    QWidget *owner;
    QString text;
};

class MessageRecorder final : public t7::MessageSink
{
public:
    MessageRecorder();
    ~MessageRecorder() override;

    void show(t7::BoxKind kind, QWidget *owner, const QString &text) override;
    bool ask(QWidget *owner, const QString &text) override;

    void answer(bool yes) { answers_.push_back(yes); }
    // Runs when the next box is shown (for example to close a dialog).
    void onNextBox(std::function<void()> action) { next_ = std::move(action); }

    const std::vector<Message> &messages() const { return messages_; }
    QStringList texts() const;
    void clear() { messages_.clear(); }

private:
    std::vector<Message> messages_;
    std::deque<bool> answers_;
    std::function<void()> next_;
};

} // namespace fake
