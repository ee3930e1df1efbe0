#include "ui/ColoredControls.h"

#include "ui/DialogLook.h"

#include <QPalette>

CColorStatic::CColorStatic(const QColor &text, QWidget *parent) : QLabel(parent)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, t7::kDialogBackground);
    setPalette(palette);
    setAutoFillBackground(true);
}

CBlueStatic::CBlueStatic(QWidget *parent) : CColorStatic(QColor(0, 0, 255), parent) {}

CRedStatic::CRedStatic(QWidget *parent) : CColorStatic(QColor(255, 0, 0), parent) {}

CGreenStatic::CGreenStatic(QWidget *parent) : CColorStatic(QColor(0, 255, 0), parent) {}

CBlueListBox::CBlueListBox(QWidget *parent) : QListWidget(parent)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 255));
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    setPalette(palette);
}
