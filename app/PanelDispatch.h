// From a tree node's item data to the panel it opens.
#pragma once

class QWidget;

namespace t7
{

// Shows the card-type advice the node needs, then runs its panel modally
// (item data without a panel yet opens nothing).
void openPanel(int itemData, QWidget *parent);

} // namespace t7
