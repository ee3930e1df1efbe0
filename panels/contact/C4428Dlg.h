// "4428 CARD": an SLE4428 card one 256-byte page at a time, its PSC and its
// protection bits, with every result logged in a status list.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class MemoryLinesView;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class C4428Dlg : public QDialog
{
    Q_OBJECT
public:
    explicit C4428Dlg(QWidget *parent = nullptr);

    // The handlers, as the buttons and lists run them.
    void onVerify();
    void onReadPage();
    void onWritePage();
    void onReadProtection();
    void onWriteProtection();
    void onUpdateKey();
    void onClear();

    MemoryLinesView *view() const { return view_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void bindFields();
    void connectSignals();
    void log(const QString &text);
    int pageAddress() const;
    std::optional<int> protectionAddress();
    // The first 4 characters of text as 2 bytes; a shorter or non-hex text is
    // refused through refuse and gives nothing.
    std::optional<std::vector<unsigned char>> pscOf(const QString &text,
                                                    const std::function<void(const QString &)> &refuse);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_authentikey_4428);
    QVD_ENTRY(lib_, rz_changkey_4428);
    QVD_ENTRY(lib_, rz_read_4428);
    QVD_ENTRY(lib_, rz_write_4428);
    QVD_ENTRY(lib_, rz_getProtectData_4428);
    QVD_ENTRY(lib_, rz_setProtectData_4428);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, hex_a);

    t7::FieldBinder fields_;
    QString psc_ = QStringLiteral("5B9D");
    int page_ = 0;
    QString address_ = QStringLiteral("0000");
    int length_ = 1;
    QString protectionData_;
    QString newPsc_;
    int lastStatusLine_ = -1;
    bool opened_ = false;

    QLineEdit *pscEdit_ = nullptr;
    QPushButton *verify_ = nullptr;
    QComboBox *pageBox_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *write_ = nullptr;
    QLineEdit *addressEdit_ = nullptr;
    QLineEdit *lengthEdit_ = nullptr;
    QPushButton *readProtection_ = nullptr;
    QPushButton *writeProtection_ = nullptr;
    QLineEdit *protectionEdit_ = nullptr;
    QLineEdit *newPscEdit_ = nullptr;
    QPushButton *updateKey_ = nullptr;
    MemoryLinesView *view_ = nullptr;
    QListWidget *statusList_ = nullptr;
    QPushButton *clear_ = nullptr;
};
