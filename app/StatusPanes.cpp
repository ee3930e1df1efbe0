#include "app/StatusPanes.h"

namespace t7
{
namespace
{

StatusPanes *&current()
{
    static StatusPanes *panes = nullptr;
    return panes;
}

} // namespace

void setStatusPanes(StatusPanes *panes)
{
    current() = panes;
}

StatusPanes *statusPanes()
{
    return current();
}

void setStatusPaneText(int pane, const QString &text)
{
    if (current())
        current()->setPaneText(pane, text);
}

void notifyConnectionChanged()
{
    if (current())
        current()->connectionChanged();
}

} // namespace t7
