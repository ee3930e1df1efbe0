#include "panels/mifare_one/CMifareOneRwDlg.h"

#include "panels/mifare_one/DumpTransfer.h"
#include "panels/mifare_one/KeyChoice.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "ui/HexEdits.h"
#include "ui/MessageSeam.h"
#include "ui/SectorMap.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cstring>
#include <tuple>

using t7::mifare::deviceHandle;
namespace
{

constexpr int kBlocksPerSector = 4;
constexpr int kBlockDigits = 32;

// The captions as the dialog has always spelt them.
QString sectorCaption(int sector)
{
    if (sector == 0)
        return QStringLiteral("Setor0");
    if (sector == 10)
        return QStringLiteral("Secotr10");
    return QStringLiteral("Sector%1").arg(sector);
}

QString readError(int sector)
{
    return QString::number(sector) + QStringLiteral("Read sector data error!");
}

QString readErrorWithReason(int sector, const QString &reason)
{
    return readError(sector) + QStringLiteral("Reason") + QStringLiteral(":") + reason;
}

} // namespace

CMifareOneRwDlg::CMifareOneRwDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    bindFields();
    connectSignals();
    keyA_->setChecked(true);
}

void CMifareOneRwDlg::buildLayout()
{
    setObjectName(QStringLiteral("CMifareOneRwDlg"));
    setWindowTitle(QStringLiteral("Mifare One Read and Write"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    selectAll_ = new QPushButton(QStringLiteral("Sel-All"), this);
    selectAll_->setObjectName(QStringLiteral("selectAll"));
    clearAll_ = new QPushButton(QStringLiteral("Clear-All"), this);
    clearAll_->setObjectName(QStringLiteral("clearAll"));
    auto *boxes = new QHBoxLayout;
    boxes->addWidget(selectAll_);
    boxes->addWidget(clearAll_);
    for (int s = 0; s < kSectors; ++s) {
        sectorBoxes_[s] = new QCheckBox(QString::number(s), this);
        sectorBoxes_[s]->setObjectName(QStringLiteral("sectorBox%1").arg(s));
        boxes->addWidget(sectorBoxes_[s]);
    }
    boxes->addStretch();

    std::tie(keyA_, keyB_) = t7::mifare::makeKeyTypeButtons(this);
    read_ = new QPushButton(QStringLiteral("Read"), this);
    read_->setObjectName(QStringLiteral("read"));
    exit_ = new QPushButton(QStringLiteral("Exit"), this);
    exit_->setObjectName(QStringLiteral("exit"));
    auto *commands = new QHBoxLayout;
    commands->addWidget(keyA_);
    commands->addWidget(keyB_);
    commands->addStretch();
    commands->addWidget(read_);
    commands->addWidget(exit_);

    auto *lists = new QGridLayout;
    const int listWidth = QFontMetrics(fixed).horizontalAdvance(QString(kBlockDigits + 2, QLatin1Char('0'))) + 8;
    for (int s = 0; s < kSectors; ++s) {
        auto *list = new QListWidget(this);
        list->setObjectName(QStringLiteral("sectorList%1").arg(s));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setFont(fixed);
        list->setFixedSize(listWidth, QFontMetrics(fixed).lineSpacing() * kBlocksPerSector + 14);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        sectorLists_[s] = list;
        auto *label = new QLabel(sectorCaption(s), this);
        label->setObjectName(QStringLiteral("sectorLabel%1").arg(s));
        label->setBuddy(list);
        list->setAccessibleName(label->text());
        const int row = (s / 4) * 2;
        const int column = s % 4;
        lists->addWidget(label, row, column);
        lists->addWidget(list, row + 1, column);
    }

    blockEdit_ = new CHexEdit(this);
    blockEdit_->setObjectName(QStringLiteral("blockEdit"));
    blockEdit_->setMaxLength(kBlockDigits);
    blockEdit_->setFont(fixed);
    blockEdit_->setAccessibleName(QStringLiteral("Block data"));
    write_ = new QPushButton(QStringLiteral("Write(&W)"), this);
    write_->setObjectName(QStringLiteral("write"));
    auto *writeRow = new QHBoxLayout;
    writeRow->addWidget(blockEdit_, 1);
    writeRow->addWidget(write_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setMinimumWidth(QFontMetrics(status_->font()).horizontalAdvance(QStringLiteral("Reading...")) + 8);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setAccessibleName(QStringLiteral("Progress"));
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(status_);
    progressRow->addWidget(progress_, 1);

    results_ = new QListWidget(this);
    results_->setObjectName(QStringLiteral("results"));
    results_->setAccessibleName(QStringLiteral("Results"));
    results_->setMinimumHeight(90);

    sectorMap_ = new SectorMap(this);
    sectorMap_->setSectorCount(kSectors, 4);
    auto *listsAndMap = new QHBoxLayout;
    listsAndMap->addLayout(lists);
    listsAndMap->addSpacing(8);
    listsAndMap->addWidget(sectorMap_, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addLayout(commands);
    layout->addLayout(listsAndMap);
    dumps_ = t7::mifare::makeDumpControls(this);
    layout->addLayout(dumps_.row);
    layout->addLayout(writeRow);
    layout->addLayout(progressRow);
    layout->addWidget(results_, 1);
}

void CMifareOneRwDlg::bindFields()
{
    fields_.bindText(blockEdit_, &blockText_);
    fields_.bindRadio({keyA_, keyB_}, &keyType_);
}

void CMifareOneRwDlg::connectSignals()
{
    connect(selectAll_, &QPushButton::clicked, this, &CMifareOneRwDlg::onSelectAll);
    connect(clearAll_, &QPushButton::clicked, this, &CMifareOneRwDlg::onClearAll);
    connect(read_, &QPushButton::clicked, this, &CMifareOneRwDlg::onRead);
    connect(write_, &QPushButton::clicked, this, &CMifareOneRwDlg::onWrite);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
    connect(dumps_.save, &QPushButton::clicked, this, &CMifareOneRwDlg::onSaveDump);
    connect(dumps_.write, &QPushButton::clicked, this, &CMifareOneRwDlg::onWriteDump);
    for (int s = 0; s < kSectors; ++s)
        connect(sectorLists_[s], &QListWidget::itemSelectionChanged, this, [this, s] { onSectorSelectionChanged(s); });
}

void CMifareOneRwDlg::onSelectAll()
{
    checkAllSectors(true);
}

void CMifareOneRwDlg::onClearAll()
{
    checkAllSectors(false);
}

void CMifareOneRwDlg::checkAllSectors(bool checked)
{
    fields_.read();
    for (QCheckBox *box : sectorBoxes_) {
        box->setChecked(checked);
        fields_.write();
    }
}

void CMifareOneRwDlg::clearLists()
{
    for (QListWidget *list : sectorLists_)
        list->clear();
    results_->clear();
    image_ = dump::CardImage(dump::kBlocks1K);
    sectorMap_->clear();
}

int CMifareOneRwDlg::checkedSectorCount() const
{
    int count = 0;
    for (const QCheckBox *box : sectorBoxes_)
        count += box->isChecked() ? 1 : 0;
    return count;
}

void CMifareOneRwDlg::onRead()
{
    progress_->setValue(progress_->minimum());
    clearLists();
    int remaining = checkedSectorCount();
    if (remaining == 0)
        return;
    fields_.read();
    status_->setText(QStringLiteral("Reading..."));
    status_->repaint();
    for (int s = 0; s < kSectors; ++s) {
        if (!sectorBoxes_[s]->isChecked())
            continue;
        readSector(s);
        stepProgress(remaining);
        --remaining;
    }
    fields_.write();
    status_->clear();
    rz_beep(deviceHandle(), 10);
}

void CMifareOneRwDlg::readSector(int sector)
{
    QListWidget *list = sectorLists_[sector];
    list->clear();
    const int keyMode = t7::mifare::MakeKeyMode(keyType_ == 0, 0);
    unsigned int serial = 0;
    const bool found = !t7::GetCardSerial(deviceHandle(), serial).isEmpty();
    const bool authenticated = found && rz_authentication(deviceHandle(), static_cast<unsigned char>(keyMode),
                                                          static_cast<unsigned char>(sector)) == 0;
    // A failed search or authentication is reported, and the blocks are still tried.
    if (!found)
        addResult(readErrorWithReason(sector, QStringLiteral("Find card error!")));
    else if (!authenticated)
        addResult(readErrorWithReason(sector, QStringLiteral("Password authtication failed!")));
    bool allRead = true;
    const int first = sector * kBlocksPerSector;
    for (int block = first; block < first + kBlocksPerSector && allRead; ++block) {
        allRead = readBlockInto(block, list);
        if (!allRead)
            addResult(readError(sector));
    }
    using State = SectorMap::State;
    sectorMap_->setState(sector, found && !authenticated    ? State::AuthenticationFailed
                                 : authenticated && allRead ? State::ReadOk
                                                            : State::ReadFailed);
}

bool CMifareOneRwDlg::readBlockInto(int block, QListWidget *list)
{
    unsigned char data[16] = {};
    if (rz_read(deviceHandle(), static_cast<unsigned char>(block), data) != 0)
        return false;
    t7::mifare::recordReadBlock(image_, block, data, keyType_ == 1);
    char text[40] = {};
    hex_a(text, data, kBlockDigits);
    list->addItem(QString::fromLatin1(text, static_cast<int>(strnlen(text, kBlockDigits))));
    return true;
}

void CMifareOneRwDlg::stepProgress(int remaining)
{
    const int step = (progress_->maximum() - progress_->minimum()) / remaining;
    // The bar stops at its maximum, as a native progress bar does.
    progress_->setValue(std::min(progress_->value() + step, progress_->maximum()));
}

void CMifareOneRwDlg::addResult(const QString &line)
{
    results_->addItem(line);
}

void CMifareOneRwDlg::onSectorSelectionChanged(int sector)
{
    fields_.read();
    QListWidget *list = sectorLists_[sector];
    const QList<QListWidgetItem *> selected = list->selectedItems();
    // Without a selected line the block stays the one last chosen; taking
    // "no line" as a block would point Write at a block nobody picked.
    if (selected.isEmpty())
        return;
    const int row = list->row(selected.first());
    selectOnly(list, row);
    block_ = row + kBlocksPerSector * sector;
    blockText_ = selected.first()->text();
    fields_.write();
}

void CMifareOneRwDlg::selectOnly(QListWidget *list, int row)
{
    for (QListWidget *other : sectorLists_) {
        const QSignalBlocker quiet(other);
        other->clearSelection();
    }
    {
        const QSignalBlocker quiet(results_);
        results_->clearSelection();
    }
    const QSignalBlocker quiet(list);
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void CMifareOneRwDlg::onWrite()
{
    fields_.read();
    if (!block_) {
        t7::appBox(QStringLiteral("Please choose a block from a sector list first!"));
        return;
    }
    if (blockText_.size() < kBlockDigits) {
        t7::appBox(QStringLiteral("Length of chars inserted not enough!"));
        return;
    }
    QByteArray text = blockText_.left(kBlockDigits).toLatin1();
    unsigned char bytes[16] = {};
    if ((a_hex(bytes, text.data(), 16) & 0xFFFF) != 0) {
        t7::appBox(QStringLiteral("Input data is incorrect!"));
        return;
    }
    const int block = *block_;
    if (block % kBlocksPerSector == 3) {
        t7::appBox(QStringLiteral("This is the code block!"));
        return;
    }
    // Its failure was already reported; the write is attempted all the same.
    t7::mifare::FindCardAndAuthenticate(deviceHandle(), block / kBlocksPerSector, t7::mifare::state().currentKeyMode);
    if (rz_write(deviceHandle(), static_cast<unsigned char>(block), bytes) == 0)
        t7::panelBox(this, QStringLiteral("Write") + QStringLiteral("data") + QStringLiteral(" success!"));
    else
        t7::appBox(QStringLiteral("Write") + QStringLiteral("data") + QStringLiteral(" failed!"));
}

void CMifareOneRwDlg::onSaveDump()
{
    t7::mifare::saveDump(this, image_);
}

void CMifareOneRwDlg::onWriteDump()
{
    fields_.read();
    const int keyMode = t7::mifare::MakeKeyMode(keyType_ == 0, 0);
    t7::mifare::writeDump(this, dump::kBlocks1K, dumps_.withTrailers->isChecked(), keyMode,
                          t7::mifare::BlockWrite::Plain);
}
