// Every message box of the tool goes through here, so tests can record them
// instead of waiting on a modal box.
#pragma once

#include <QString>

class QWidget;

namespace t7
{

enum class BoxKind {
    Application, // OK, caption "T7Demo", owned by the application
    Panel,       // OK, owned by the panel
    Question,    // Yes / No, owned by the panel
};

class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual void show(BoxKind kind, QWidget *owner, const QString &text) = 0;
    // Returns true for Yes.
    virtual bool ask(QWidget *owner, const QString &text) = 0;
};

// The application message box.
void appBox(const QString &text);
// The panel's own message box.
void panelBox(QWidget *owner, const QString &text);
// A Yes/No question owned by the panel; true for Yes.
bool question(QWidget *owner, const QString &text);

// Installs a sink (tests); null restores the real message boxes.
void setMessageSink(MessageSink *sink);

} // namespace t7
