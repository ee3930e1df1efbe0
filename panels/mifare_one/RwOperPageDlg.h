// "Read and write": reads and writes one block of the sector last verified.
#pragma once

#include "panels/mifare_one/CMifarePage.h"
#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

class CHexEdit;
class CRedStatic;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class RwOperPageDlg : public CMifarePage
{
    Q_OBJECT
public:
    explicit RwOperPageDlg(QWidget *parent = nullptr);

    void opening() override;
    void activated() override;

    int block() const { return block_; }

private:
    void buildControls();
    void connectHandlers();

    void onBlockChosen(int index);
    void onRead();
    void onWriteHex();
    void onWriteAscii();

    // The first block of the verified sector.
    static int firstBlockOfVerifiedSector();
    bool blockOutOfRange() const;
    bool readyToWrite(const QLineEdit *edit, int minimumLength);
    void showReadBlock(const unsigned char *data);
    void setWritable(bool writable);
    void writeBlock(unsigned char *data);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_authentication);
    QVD_ENTRY(lib_, rz_read);
    QVD_ENTRY(lib_, rz_read_S70);
    QVD_ENTRY(lib_, hex_a);
    QVD_ENTRY(lib_, rz_write);
    QVD_ENTRY(lib_, rz_write_S70);

    QString text_;
    QString hexText_;
    int block_ = 0;
    int codeBlock_ = 0;

    QLabel *blockLabel_ = nullptr;
    QComboBox *blockList_ = nullptr;
    QLabel *addressLabel_ = nullptr;
    QPushButton *readButton_ = nullptr;
    QLabel *textLabel_ = nullptr;
    QLineEdit *textEdit_ = nullptr;
    QLabel *hexLabel_ = nullptr;
    CHexEdit *hexEdit_ = nullptr;
    CRedStatic *statusLabel_ = nullptr;
    QPushButton *writeHexButton_ = nullptr;
    QPushButton *writeAsciiButton_ = nullptr;
    t7::FieldBinder fields_;
};
