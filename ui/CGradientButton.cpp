#include "ui/CGradientButton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace
{

// The face sits inside a sunken-edge margin of this many pixels.
constexpr int kEdge = 2;
constexpr int kColours = 64;

QPen framePen(int width, QColor colour)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

CGradientButton::CGradientButton(QWidget *parent)
    : QPushButton(parent), boundary_(framePen(1, QColor(0, 0, 0))), hoverLeft_(framePen(3, QColor(250, 196, 88))),
      hoverRight_(framePen(3, QColor(251, 202, 106))), hoverTop_(framePen(2, QColor(252, 210, 121))),
      hoverBottom_(framePen(2, QColor(229, 151, 0))), focusLeft_(framePen(3, QColor(153, 198, 252))),
      focusRight_(framePen(3, QColor(162, 189, 252))), focusTop_(framePen(2, QColor(162, 201, 255))),
      focusBottom_(framePen(2, QColor(162, 201, 255))), hoverBrush_(QColor(223, 222, 236)),
      normalBrush_(QColor(222, 223, 236))
{
    setMouseTracking(true);
}

void CGradientButton::mouseMoveEvent(QMouseEvent *event)
{
    startTracking();
    QPushButton::mouseMoveEvent(event);
}

void CGradientButton::enterEvent(QEnterEvent *event)
{
    startTracking();
    QPushButton::enterEvent(event);
}

void CGradientButton::leaveEvent(QEvent *event)
{
    onMouseLeave();
    QPushButton::leaveEvent(event);
}

void CGradientButton::startTracking()
{
    if (tracking_)
        return;
    // The widget is told when the mouse leaves; it rests on the button as
    // soon as it arrives.
    tracking_ = true;
    onMouseHover();
}

void CGradientButton::onMouseHover()
{
    hover_ = true;
    update();
}

void CGradientButton::onMouseLeave()
{
    hover_ = false;
    tracking_ = false;
    update();
}

QColor CGradientButton::gradientColour(int k, bool hovered, bool highlighted)
{
    const int a = 255 - k / 3;
    const int b = 255 - k / 4;
    const int c = 255 - k / 5;
    if (hovered)
        return highlighted ? QColor(b, b, a) : QColor(b, b, c);
    return highlighted ? QColor(a, a, b) : QColor(a, a, c);
}

void CGradientButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.save();
    const QRect outer = rect();

    painter.setPen(boundary_);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(outer.adjusted(0, 0, -1, -1), 2.5, 2.5);

    focus_ = hasFocus();
    highlight_ = focus_ || isDown() || isDefault();

    const QRect face = outer.adjusted(kEdge, kEdge, -kEdge, -kEdge);
    painter.setBrush(hover_ ? hoverBrush_ : normalBrush_);
    fillGradient(painter, face);
    if (hover_ || focus_)
        drawFrame(painter, face, focus_ && !hover_);
    drawCaption(painter, face);
    painter.restore();
}

void CGradientButton::fillGradient(QPainter &painter, const QRect &face) const
{
    const int height = face.height();
    if (height <= 0)
        return;
    for (int y = 0; y <= height; ++y) {
        const QColor colour = gradientColour(y * (kColours - 1) / height, hover_, highlight_);
        painter.fillRect(QRect(face.left(), face.top() + y, face.width(), 1), colour);
    }
}

void CGradientButton::drawFrame(QPainter &painter, const QRect &face, bool focusFrame) const
{
    // Edges as exclusive coordinates: right and bottom lie just outside.
    const int left = face.left();
    const int top = face.top();
    const int right = face.left() + face.width();
    const int bottom = face.top() + face.height();
    painter.setPen(focusFrame ? focusLeft_ : hoverLeft_);
    painter.drawLine(QPoint(left, bottom - 1), QPoint(left, top + 1));
    painter.setPen(focusFrame ? focusRight_ : hoverRight_);
    painter.drawLine(QPoint(right - 1, bottom - 1), QPoint(right - 1, top));
    painter.setPen(focusFrame ? focusTop_ : hoverTop_);
    painter.drawLine(QPoint(left - 1, top), QPoint(right - 1, top));
    painter.setPen(focusFrame ? focusBottom_ : hoverBottom_);
    painter.drawLine(QPoint(left, bottom), QPoint(right - 1, bottom));
    if (focusFrame)
        drawFocusRectangle(painter, face);
}

void CGradientButton::drawFocusRectangle(QPainter &painter, const QRect &face) const
{
    QPen dotted(QColor(0, 0, 0), 1, Qt::DotLine);
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(face.adjusted(0, 0, -1, -1));
}

void CGradientButton::drawCaption(QPainter &painter, const QRect &face) const
{
    QRect area = face;
    if (isDown())
        area.translate(1, 1);
    painter.setFont(font());
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(isEnabled() ? palette().color(QPalette::Active, QPalette::ButtonText)
                               : palette().color(QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}
