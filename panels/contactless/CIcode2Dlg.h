// "I-CODE2 CARD": an ISO15693 vicinity card of 28 blocks of 4 bytes. Finds
// the card by inventory, shows its UID, AFI, DSFID and block count, reads
// and writes blocks 0-15 or 16-27 through an editable list, locks blocks,
// AFI and DSFID, and runs the card's state commands.
#pragma once

#include "reader/QvdLibrary.h"

#include <QDialog>

class HexLineList;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CIcode2Dlg : public QDialog
{
    Q_OBJECT
public:
    explicit CIcode2Dlg(QWidget *parent = nullptr);

    void onSystemInfo();
    void onReadLow();
    void onReadHigh();
    void onWrite();
    void onLockBlock();
    void onWriteAfi();
    void onWriteDsfid();
    void onLockAfi();
    void onLockDsfid();
    void onFunctionChosen(int index);

    // The report as kept, with CR LF line ends.
    QString reportText() const { return report_; }
    int blockRange() const { return blockRange_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void connectSignals();
    void opening();
    bool takeInventory();
    QString uidText();
    void readRange(int first, int end);
    void readButton(int first, int end, int range);
    void showReport(const QString &text);
    QString hexText(const unsigned char *bytes, int digits);
    // The field's two hex digits as a byte; false after setting the status.
    bool valueOf(const QLineEdit *field, bool afi, const QString &emptyStatus, unsigned char *value);
    void writeValue(const QLineEdit *field, bool afi);
    void lockValue(const QLineEdit *field, bool afi);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_inventory);
    QVD_ENTRY(lib_, rz_get_systeminfo);
    QVD_ENTRY(lib_, rz_readblock);
    QVD_ENTRY(lib_, rz_writeblock);
    QVD_ENTRY(lib_, rz_lock_block);
    QVD_ENTRY(lib_, rz_write_afi);
    QVD_ENTRY(lib_, rz_lock_afi);
    QVD_ENTRY(lib_, rz_write_dsfid);
    QVD_ENTRY(lib_, rz_lock_dsfid);
    QVD_ENTRY(lib_, rz_get_securityinfo);
    QVD_ENTRY(lib_, rz_reset_to_ready);
    QVD_ENTRY(lib_, rz_select_uid);
    QVD_ENTRY(lib_, rz_stay_quiet);
    QVD_ENTRY(lib_, hex_a);
    QVD_ENTRY(lib_, a_hex);

    const int handle_;
    unsigned char uid_[8] = {};
    int blockRange_ = 1;
    QString report_;
    bool opened_ = false;

    QLineEdit *serial_ = nullptr;
    QLineEdit *afi_ = nullptr;
    QLineEdit *dsfid_ = nullptr;
    QPushButton *writeAfi_ = nullptr;
    QPushButton *writeDsfid_ = nullptr;
    QPushButton *lockAfi_ = nullptr;
    QPushButton *lockDsfid_ = nullptr;
    QPushButton *systemInfo_ = nullptr;
    QComboBox *functions_ = nullptr;
    QLabel *status_ = nullptr;
    HexLineList *blocks_ = nullptr;
    QPlainTextEdit *reportView_ = nullptr;
    QPushButton *readLow_ = nullptr;
    QPushButton *readHigh_ = nullptr;
    QPushButton *write_ = nullptr;
    QPushButton *lockBlock_ = nullptr;
    QPushButton *close_ = nullptr;
};
