// A small grid with one cell per card sector, coloured by what the last read
// made of it, with a legend below. Every cell tells assistive technology its
// sector and state.
#pragma once

#include <QWidget>

#include <vector>

class QGridLayout;
class QLabel;

class SectorMap : public QWidget
{
    Q_OBJECT
public:
    enum class State { NotRead, ReadOk, AuthenticationFailed, ReadFailed };

    explicit SectorMap(QWidget *parent = nullptr);

    // 16 or 40 cells, all not read; `columns` cells to a row.
    void setSectorCount(int count, int columns = 8);
    int sectorCount() const { return static_cast<int>(cells_.size()); }

    void setState(int sector, State state);
    State state(int sector) const { return states_[static_cast<size_t>(sector)]; }
    // Every cell back to not read.
    void clear();

    // "read OK", "authentication failed", "read failed", "not read".
    static QString stateText(State state);

private:
    static QColor stateColor(State state);
    static void paintCell(QLabel *cell, State state);
    QLabel *makeCell(int sector);
    QGridLayout *makeLegend();

    QGridLayout *cellGrid_ = nullptr;
    std::vector<QLabel *> cells_;
    std::vector<State> states_;
};
