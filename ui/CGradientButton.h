// A push button drawn by itself: a vertical gradient face that warms up under
// the mouse, an orange frame while hovered and a blue one while focused.
#pragma once

#include <QBrush>
#include <QPen>
#include <QPushButton>

class CGradientButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CGradientButton(QWidget *parent = nullptr);

    bool hovered() const { return hover_; }
    bool tracking() const { return tracking_; }
    // As of the last drawing.
    bool drewFocus() const { return focus_; }
    bool drewHighlight() const { return highlight_; }

    // The face colour of gradient row k (0 at the top, 63 at the bottom).
    static QColor gradientColour(int k, bool hovered, bool highlighted);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void startTracking();
    void onMouseHover();
    void onMouseLeave();
    void fillGradient(QPainter &painter, const QRect &face) const;
    void drawFrame(QPainter &painter, const QRect &face, bool focusFrame) const;
    void drawFocusRectangle(QPainter &painter, const QRect &face) const;
    void drawCaption(QPainter &painter, const QRect &face) const;

    const QPen boundary_;
    const QPen hoverLeft_, hoverRight_, hoverTop_, hoverBottom_;
    const QPen focusLeft_, focusRight_, focusTop_, focusBottom_;
    const QBrush hoverBrush_;
    const QBrush normalBrush_;

    bool hover_ = false;
    bool tracking_ = false;
    bool focus_ = false;
    bool highlight_ = false;
};
