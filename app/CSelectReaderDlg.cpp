#include "app/CSelectReaderDlg.h"

#include "app/Icons.h"
#include "app/StatusPanes.h"
#include "reader/ConnectionState.h"
#include "ui/MessageSeam.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

enum Column { kDeviceColumn = 0, kTypeColumn = 1, kIndexColumn = 2 };

} // namespace

CSelectReaderDlg::CSelectReaderDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    fillFromReaderTable();
}

void CSelectReaderDlg::buildLayout()
{
    setObjectName(QStringLiteral("CSelectReaderDlg"));
    setWindowTitle(QStringLiteral("Select reader to operate"));

    // Created first: Exit is the first tab stop and has the focus on opening.
    exit_ = new QPushButton(QStringLiteral("Exit"), this);
    exit_->setObjectName(QStringLiteral("exit"));

    count_ = new QLineEdit(this);
    count_->setObjectName(QStringLiteral("readerCount"));
    count_->setReadOnly(true);
    count_->setFixedWidth(60);
    auto *countLabel = new QLabel(QStringLiteral("Current number of readers:"), this);
    countLabel->setBuddy(count_);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("separator"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto *hint = new QLabel(QStringLiteral("D-Click to select operate reader"), this);
    hint->setObjectName(QStringLiteral("hint"));

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("readerList"));
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({QStringLiteral("Device"), QStringLiteral("Device type"), QStringLiteral("Index")});
    list_->setColumnWidth(kDeviceColumn, 100);
    list_->setColumnWidth(kTypeColumn, 200);
    list_->setColumnWidth(kIndexColumn, 60);
    list_->setIconSize(QSize(16, 16));
    list_->setAccessibleName(hint->text());
    list_->setMinimumSize(100 + 200 + 60 + 24, 160);

    auto *top = new QHBoxLayout;
    top->addWidget(countLabel);
    top->addWidget(count_);
    top->addStretch();
    top->addWidget(exit_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addWidget(hint);
    layout->addWidget(list_);

    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &CSelectReaderDlg::onRowDoubleClicked);
}

void CSelectReaderDlg::fillFromReaderTable()
{
    const t7::ConnectionState &state = t7::connection();
    count_->setText(QString::number(state.readerCount));
    const QIcon reader = t7::icon(t7::IconId::Reader);
    for (int i = 0; i < state.readerCount && i < t7::ConnectionState::kCapacity; ++i) {
        const t7::ReaderEntry &entry = state.readers[i];
        auto *row = new QTreeWidgetItem(list_);
        row->setIcon(kDeviceColumn, reader);
        row->setText(kTypeColumn, QString::fromStdString(entry.name));
        row->setText(kIndexColumn, QString::number(entry.index));
    }
}

void CSelectReaderDlg::onRowDoubleClicked(QTreeWidgetItem *item)
{
    selectReader(list_->indexOfTopLevelItem(item));
}

void CSelectReaderDlg::selectReader(int row)
{
    if (row < 0 || row >= list_->topLevelItemCount())
        return;
    t7::ConnectionState &state = t7::connection();
    const int handle = state.readers[row].handle;
    if (rz_beep(handle, 20) != 0) {
        t7::panelBox(this, QStringLiteral("Invalid device!"));
        state.deviceHandle = 0;
    } else {
        state.deviceHandle = handle;
    }
    t7::setStatusPaneText(t7::kPaneDevice, QStringLiteral("Device Verision") + QStringLiteral(": ") +
                                               list_->topLevelItem(row)->text(kTypeColumn));
}
