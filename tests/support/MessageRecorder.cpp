#include "tests/support/MessageRecorder.h"

namespace fake
{

MessageRecorder::MessageRecorder()
{
    t7::setMessageSink(this);
}

MessageRecorder::~MessageRecorder()
{
    t7::setMessageSink(nullptr);
}

void MessageRecorder::show(t7::BoxKind kind, QWidget *owner, const QString &text)
{
    messages_.push_back({kind, owner, text});
    if (next_) {
        auto action = std::move(next_);
        next_ = nullptr;
        action();
    }
}

bool MessageRecorder::ask(QWidget *owner, const QString &text)
{
    messages_.push_back({t7::BoxKind::Question, owner, text});
    bool yes = true;
    if (!answers_.empty()) {
        yes = answers_.front();
        answers_.pop_front();
    }
    if (next_) {
        auto action = std::move(next_);
        next_ = nullptr;
        action();
    }
    return yes;
}

QStringList MessageRecorder::texts() const
{
    QStringList list;
    for (const Message &message : messages_)
        list << message.text;
    return list;
}

} // namespace fake
