#include "ui/MessageSeam.h"

#include <QApplication>
#include <QMessageBox>

namespace t7
{
namespace
{

class BoxSink final : public MessageSink
{
public:
    void show(BoxKind kind, QWidget *owner, const QString &text) override
    {
        if (kind == BoxKind::Application) {
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("T7Demo"), text, QMessageBox::Ok,
                            QApplication::activeWindow());
            box.exec();
            return;
        }
        QMessageBox box(QMessageBox::NoIcon, owner ? owner->window()->windowTitle() : QStringLiteral("T7Demo"), text,
                        QMessageBox::Ok, owner);
        box.exec();
    }

    bool ask(QWidget *owner, const QString &text) override
    {
        QMessageBox box(QMessageBox::Question, owner ? owner->window()->windowTitle() : QStringLiteral("T7Demo"), text,
                        QMessageBox::Yes | QMessageBox::No, owner);
        return box.exec() == QMessageBox::Yes;
    }
};

MessageSink *defaultSink()
{
    static BoxSink boxes;
    return &boxes;
}

MessageSink *&currentSink()
{
    static MessageSink *sink = defaultSink();
    return sink;
}

} // namespace

void appBox(const QString &text)
{
    currentSink()->show(BoxKind::Application, nullptr, text);
}

void panelBox(QWidget *owner, const QString &text)
{
    currentSink()->show(BoxKind::Panel, owner, text);
}

bool question(QWidget *owner, const QString &text)
{
    return currentSink()->ask(owner, text);
}

void setMessageSink(MessageSink *sink)
{
    currentSink() = sink ? sink : defaultSink();
}

} // namespace t7
