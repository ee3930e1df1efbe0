// The look every dialog and message box of the tool shares.
#pragma once

#include <QColor>

class QApplication;

namespace t7
{

const QColor kDialogBackground(240, 255, 240);

// Light-green background with black text for all dialogs and message boxes.
void applyDialogLook(QApplication &app);

} // namespace t7
