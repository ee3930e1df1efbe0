// "24C64 CARD": an AT24C64 EEPROM card (8192 bytes) one 256-byte page at a time.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

class MemoryLinesView;
class QLabel;
class QLineEdit;
class QPushButton;

class C24C64Dlg : public QDialog
{
    Q_OBJECT
public:
    explicit C24C64Dlg(QWidget *parent = nullptr);

    // The handlers, as the buttons run them.
    void onReadPage();
    void onWritePage();

    MemoryLinesView *view() const { return view_; }

private:
    void buildLayout();
    // A card is there and the page field holds 1-32; said otherwise.
    bool cardAndPageReady();
    int pageAddress() const;

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_check_24c64);
    QVD_ENTRY(lib_, rz_read_24c64);
    QVD_ENTRY(lib_, rz_write_24c64);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, hex_a);

    t7::FieldBinder fields_;
    int page_ = 1;

    QLineEdit *pageEdit_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *write_ = nullptr;
    MemoryLinesView *view_ = nullptr;
    QLabel *result_ = nullptr;
};
