#include "ui/SectorMap.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace
{

constexpr SectorMap::State kStates[] = {SectorMap::State::ReadOk, SectorMap::State::AuthenticationFailed,
                                        SectorMap::State::ReadFailed, SectorMap::State::NotRead};

} // namespace

SectorMap::SectorMap(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("sectorMap"));
    setAccessibleName(QStringLiteral("Sector map"));
    cellGrid_ = new QGridLayout;
    cellGrid_->setSpacing(2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(cellGrid_);
    layout->addLayout(makeLegend());
    layout->addStretch();
    setSectorCount(16);
}

QString SectorMap::stateText(State state)
{
    switch (state) {
    case State::ReadOk:
        return QStringLiteral("read OK");
    case State::AuthenticationFailed:
        return QStringLiteral("authentication failed");
    case State::ReadFailed:
        return QStringLiteral("read failed");
    case State::NotRead:
        break;
    }
    return QStringLiteral("not read");
}

QColor SectorMap::stateColor(State state)
{
    switch (state) {
    case State::ReadOk:
        return QColor(60, 179, 113);
    case State::AuthenticationFailed:
        return QColor(255, 165, 0);
    case State::ReadFailed:
        return QColor(220, 20, 60);
    case State::NotRead:
        break;
    }
    return QColor(211, 211, 211);
}

void SectorMap::paintCell(QLabel *cell, State state)
{
    QPalette palette = cell->palette();
    palette.setColor(QPalette::Window, stateColor(state));
    palette.setColor(QPalette::WindowText, state == State::ReadFailed ? Qt::white : Qt::black);
    cell->setPalette(palette);
}

QLabel *SectorMap::makeCell(int sector)
{
    auto *cell = new QLabel(QString::number(sector), this);
    cell->setObjectName(QStringLiteral("sectorCell%1").arg(sector));
    cell->setAlignment(Qt::AlignCenter);
    cell->setAutoFillBackground(true);
    const QFontMetrics metrics(cell->font());
    cell->setFixedSize(metrics.horizontalAdvance(QStringLiteral("00")) + 10, metrics.height() + 6);
    cell->setAccessibleName(QStringLiteral("Sector %1").arg(sector));
    return cell;
}

QGridLayout *SectorMap::makeLegend()
{
    auto *legend = new QGridLayout;
    legend->setHorizontalSpacing(4);
    for (int i = 0; i < 4; ++i) {
        auto *swatch = new QLabel(this);
        swatch->setAutoFillBackground(true);
        swatch->setFixedSize(10, 10);
        paintCell(swatch, kStates[i]);
        swatch->setAccessibleName(stateText(kStates[i]));
        auto *text = new QLabel(stateText(kStates[i]), this);
        text->setObjectName(QStringLiteral("legend%1").arg(i));
        legend->addWidget(swatch, i, 0);
        legend->addWidget(text, i, 1);
    }
    legend->setColumnStretch(2, 1);
    return legend;
}

void SectorMap::setSectorCount(int count, int columns)
{
    for (QLabel *cell : cells_)
        delete cell;
    cells_.clear();
    states_.assign(static_cast<size_t>(count), State::NotRead);
    for (int s = 0; s < count; ++s) {
        QLabel *cell = makeCell(s);
        cells_.push_back(cell);
        cellGrid_->addWidget(cell, s / columns, s % columns);
        setState(s, State::NotRead);
    }
}

void SectorMap::setState(int sector, State state)
{
    if (sector < 0 || sector >= sectorCount())
        return;
    states_[static_cast<size_t>(sector)] = state;
    QLabel *cell = cells_[static_cast<size_t>(sector)];
    paintCell(cell, state);
    cell->setAccessibleDescription(stateText(state));
    cell->setToolTip(QStringLiteral("Sector %1: %2").arg(sector).arg(stateText(state)));
}

void SectorMap::clear()
{
    for (int s = 0; s < sectorCount(); ++s)
        setState(s, State::NotRead);
}
