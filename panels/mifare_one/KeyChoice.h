// The key-type radio pair and the key-set selector that the Mifare One panels share.
#pragma once

#include <utility>

class QComboBox;
class QRadioButton;
class QWidget;

namespace t7::mifare
{

// "KeyA" and "KeyB" (objectNames keyA and keyB), children of parent.
std::pair<QRadioButton *, QRadioButton *> makeKeyTypeButtons(QWidget *parent);

// The reader's three key sets, first one selected (objectName keySet).
QComboBox *makeKeySetSelector(QWidget *parent);

} // namespace t7::mifare
