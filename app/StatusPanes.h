// What the connection dialogs need from the main frame: its status panes and
// a nudge when the port was opened or closed. Null-safe: without a frame (in
// tests, or before the frame exists) the calls do nothing.
#pragma once

#include <QString>

namespace t7
{

enum StatusPane { kPaneMessage = 0, kPanePort = 1, kPaneCardType = 2, kPaneDevice = 3, kPaneSoftware = 4 };

class StatusPanes
{
public:
    virtual ~StatusPanes() = default;
    virtual void setPaneText(int pane, const QString &text) = 0;
    // The port-open flag changed: commands must be enabled anew.
    virtual void connectionChanged() = 0;
};

// The frame registers itself; null unregisters.
void setStatusPanes(StatusPanes *panes);
StatusPanes *statusPanes();

void setStatusPaneText(int pane, const QString &text);
void notifyConnectionChanged();

} // namespace t7
