// "S70 easy operate": all blocks of one S70 sector as editable lines, read as
// soon as the sector is chosen and written back in one go.
#pragma once

#include "dump/CardImage.h"
#include "panels/mifare_one/DumpTransfer.h"
#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"
#include "ui/InPlaceLineEditor.h"

#include <QDialog>

#include <array>

class CBlueListBox;
class CHexKeyEdit;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

class CS70EasyDlg : public QDialog
{
    Q_OBJECT
public:
    // Shown in place of a block the card would not give: not hexadecimal, so
    // it can never pass for data, and "Write" leaves such a block alone.
    static const QString kUnreadBlock;

    explicit CS70EasyDlg(QWidget *parent = nullptr);

    // The handlers, as the controls run them.
    void onSectorChanged();
    void onLineDoubleClicked();
    void onLineSelectionChanged();
    void onWrite();
    void onSaveDump();
    void onWriteDump();

    t7::InPlaceLineEditor &lineEditor() { return *lineEditor_; }
    // Every sector read while the panel is open, as last read (or written).
    const dump::CardImage &image() const { return image_; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void bindFields();
    void connectSignals();
    void opening();
    void readSector(int sector);
    void readBlocks(int firstBlock, int count, bool s70Area);
    QString readBlockText(int block, bool s70Area, bool keyB);
    void showBlockLabels(int firstBlock, int count);
    bool isTrailerLine(int line) const;
    void takeOverEdit();
    int blockOfLine(int line) const;

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_authentication);
    QVD_ENTRY(lib_, rz_read);
    QVD_ENTRY(lib_, rz_read_S70);
    QVD_ENTRY(lib_, rz_write_S70);
    QVD_ENTRY(lib_, hex_a);
    QVD_ENTRY(lib_, a_hex);

    t7::FieldBinder fields_;
    int keySet_ = 0;
    int keyType_ = 0; // 0 KeyA, 1 KeyB
    std::array<int, 16> blockNumbers_{};
    bool opened_ = false;
    dump::CardImage image_{dump::kBlocks4K};
    QString imageSerial_; // the card image_ belongs to

    QComboBox *keySetBox_ = nullptr;
    QRadioButton *keyA_ = nullptr;
    QRadioButton *keyB_ = nullptr;
    QComboBox *sectorBox_ = nullptr;
    QLabel *blockLabels_ = nullptr;
    CBlueListBox *lines_ = nullptr;
    CHexKeyEdit *editor_ = nullptr;
    t7::InPlaceLineEditor *lineEditor_ = nullptr;
    QPushButton *write_ = nullptr;
    QPushButton *exit_ = nullptr;
    t7::mifare::DumpControls dumps_;
};
