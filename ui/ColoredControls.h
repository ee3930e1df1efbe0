// Labels and list box in the tool's fixed colours.
#pragma once

#include <QColor>
#include <QLabel>
#include <QListWidget>

// A label drawn in one text colour on the light-green dialog background.
class CColorStatic : public QLabel
{
    Q_OBJECT
public:
    CColorStatic(const QColor &text, QWidget *parent = nullptr);
};

class CBlueStatic : public CColorStatic
{
    Q_OBJECT
public:
    explicit CBlueStatic(QWidget *parent = nullptr);
};

class CRedStatic : public CColorStatic
{
    Q_OBJECT
public:
    explicit CRedStatic(QWidget *parent = nullptr);
};

class CGreenStatic : public CColorStatic
{
    Q_OBJECT
public:
    explicit CGreenStatic(QWidget *parent = nullptr);
};

// Blue text on white.
class CBlueListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit CBlueListBox(QWidget *parent = nullptr);
};
