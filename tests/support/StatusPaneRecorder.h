// Stands in for the main frame's status bar: remembers each pane's last text
// and how often the connection changed.
#pragma once

#include "app/StatusPanes.h"

#include <map>

namespace fake
{

class StatusPaneRecorder final : public t7::StatusPanes
{
public:
    StatusPaneRecorder() { t7::setStatusPanes(this); }
    ~StatusPaneRecorder() override { t7::setStatusPanes(nullptr); }

    void setPaneText(int pane, const QString &text) override { panes_[pane] = text; }
    void connectionChanged() override { ++changes_; }

    QString text(int pane) const
    {
        const auto it = panes_.find(pane);
        return it == panes_.end() ? QString() : it->second;
    }
    bool written(int pane) const { return panes_.count(pane) != 0; }
    int changes() const { return changes_; }

private:
    std::map<int, QString> panes_;
    int changes_ = 0;
};

} // namespace fake
