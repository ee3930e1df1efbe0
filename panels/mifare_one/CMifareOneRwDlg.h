// "Mifare One Read and Write": reads any set of the 16 sectors of an S50 card
// into one list per sector and writes one block chosen from those lists.
#pragma once

#include "dump/CardImage.h"
#include "panels/mifare_one/DumpTransfer.h"
#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

#include <array>
#include <optional>

class CHexEdit;
class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class SectorMap;

class CMifareOneRwDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kSectors = 16;

    explicit CMifareOneRwDlg(QWidget *parent = nullptr);

    // The handlers, as the buttons and lists run them.
    void onRead();
    void onWrite();
    void onSelectAll();
    void onClearAll();
    void onSectorSelectionChanged(int sector);
    void onSaveDump();
    void onWriteDump();

    // The block the last selected line stands for; empty before any selection.
    std::optional<int> blockNumber() const { return block_; }
    // What the last read gave, block by block; unread blocks are unknown.
    const dump::CardImage &image() const { return image_; }

private:
    void buildLayout();
    void bindFields();
    void connectSignals();
    void checkAllSectors(bool checked);
    void clearLists();
    int checkedSectorCount() const;
    void readSector(int sector);
    bool readBlockInto(int block, QListWidget *list);
    void stepProgress(int remaining);
    void addResult(const QString &line);
    void selectOnly(QListWidget *list, int row);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_authentication);
    QVD_ENTRY(lib_, rz_read);
    QVD_ENTRY(lib_, rz_write);
    QVD_ENTRY(lib_, rz_beep);
    QVD_ENTRY(lib_, hex_a);
    QVD_ENTRY(lib_, a_hex);

    t7::FieldBinder fields_;
    QString blockText_;
    int keyType_ = 0; // 0 KeyA, 1 KeyB
    std::optional<int> block_;
    dump::CardImage image_{dump::kBlocks1K};

    std::array<QCheckBox *, kSectors> sectorBoxes_{};
    std::array<QListWidget *, kSectors> sectorLists_{};
    QPushButton *selectAll_ = nullptr;
    QPushButton *clearAll_ = nullptr;
    QRadioButton *keyA_ = nullptr;
    QRadioButton *keyB_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *exit_ = nullptr;
    CHexEdit *blockEdit_ = nullptr;
    QPushButton *write_ = nullptr;
    QLabel *status_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QListWidget *results_ = nullptr;
    SectorMap *sectorMap_ = nullptr;
    t7::mifare::DumpControls dumps_;
};
