#include "app/CQvd50View.h"

#include "app/COperTreeDlg.h"

#include <QResizeEvent>

CQvd50View::CQvd50View(QWidget *parent) : QWidget(parent), tree_(new COperTreeDlg(this))
{
    setObjectName(QStringLiteral("CQvd50View"));
    setAutoFillBackground(true);
    QPalette surface = palette();
    surface.setColor(QPalette::Window, QColor(0, 139, 139));
    setPalette(surface);
    tree_->setGeometry(0, 0, kTreeWidth, height());
}

void CQvd50View::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    tree_->setGeometry(0, 0, kTreeWidth, event->size().height());
}
