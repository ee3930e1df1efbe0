// The look every dialog and message box of the tool shares.
#pragma once

#include <QColor>

class QApplication;
class QWidget;

namespace t7
{

const QColor kDialogBackground(240, 255, 240);

// Light-green background with black text for all dialogs and message boxes.
void applyDialogLook(QApplication &app);

// The dialog background filled in by widget itself, for pages inside tab
// controls and panels inside other windows, which the style paints otherwise.
void useDialogBackground(QWidget *widget);

} // namespace t7
