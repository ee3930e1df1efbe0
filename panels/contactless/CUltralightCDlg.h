// "Ultralight_C": authenticates an Ultralight C card with its 3DES key, lists
// pages 0 to 43 with what each page is and how it is locked or protected,
// writes single pages, sets the protected area, locks pages and changes the
// key. Every result goes to the log at the bottom.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

#include <array>
#include <cstdint>

class CHexEdit;
class CHexOverwriteEdit;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

class CUltralightCDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kListedPages = 44;
    // Page attribute bits.
    static constexpr uint8_t kLocked = 0x80;
    static constexpr uint8_t kProtected = 0x08;
    static constexpr uint8_t kReadProtected = 0x04;

    explicit CUltralightCDlg(QWidget *parent = nullptr);

    // The handlers, as the controls run them.
    void onFindCard();
    void onVerifyKey();
    void onReadCard();
    void onRowSelectionChanged();
    void onWritePage();
    void onSetSafePage();
    void onLockPage();
    void onUpdateKey();

    // Every line since opening, each followed by "\r\n".
    QString logText() const { return log_; }
    int selectedPage() const { return selectedPage_; }
    uint8_t pageAttribute(int page) const { return attributes_[static_cast<size_t>(page)]; }
    QString describePage(int page) const;
    // The page rz_ultralt_C_lockPage is given for a selected page.
    static int lockedPageNumber(int page);

private:
    void buildLayout();
    void bindFields();
    void connectSignals();
    void appendLog(const QString &line);
    bool hexInput(const QString &text, int byteCount, unsigned char *bytes);
    bool aPageIsChosen();
    bool readPage(int page, unsigned char *buffer);
    void insertRow(int row, const QStringList &bytes);
    void computePageAttributes();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_read_ultralt);
    QVD_ENTRY(lib_, rz_write_ultralt);
    QVD_ENTRY(lib_, rz_ultralt_C_authen);
    QVD_ENTRY(lib_, rz_ultralt_C_setSafePage);
    QVD_ENTRY(lib_, rz_ultralt_C_lockPage);
    QVD_ENTRY(lib_, rz_ultralt_C_changePwd);
    QVD_ENTRY(lib_, hex_a);
    QVD_ENTRY(lib_, a_hex);
    // Resolved with the others; the panel finds cards through GetCardSerial.
    QVD_ENTRY(lib_, rz_card);
    QVD_ENTRY(lib_, rz_halt_ultralt);
    QVD_ENTRY(lib_, rz_anticoll2);
    QVD_ENTRY(lib_, rz_select2);

    t7::FieldBinder fields_;
    QString key_;
    QString pageData_;
    QString oldKey_;
    QString newKey_;
    bool readProtect_ = false;
    QString log_;
    int selectedPage_ = -1;
    std::array<uint8_t, kListedPages> attributes_{};

    QPushButton *findCard_ = nullptr;
    QLabel *cardValue_ = nullptr;
    CHexEdit *keyEdit_ = nullptr;
    QPushButton *verifyKey_ = nullptr;
    QPushButton *readCard_ = nullptr;
    QTreeWidget *pages_ = nullptr;
    CHexOverwriteEdit *pageDataEdit_ = nullptr;
    QLabel *pageValue_ = nullptr;
    QLabel *description_ = nullptr;
    QPushButton *writePage_ = nullptr;
    QPushButton *lockPage_ = nullptr;
    QPushButton *setSafePage_ = nullptr;
    QCheckBox *readProtectBox_ = nullptr;
    CHexEdit *oldKeyEdit_ = nullptr;
    CHexEdit *newKeyEdit_ = nullptr;
    QPushButton *updateKey_ = nullptr;
    QPlainTextEdit *logView_ = nullptr;
};
