// "Common data read and write" page of the SLE4442 sheet: the 256-byte main
// memory as 16 lines; lines 2-15 (bytes 32-255) are edited and written.
#pragma once

#include "panels/contact/C42Page.h"

#include <QFont>

class MemoryLinesView;
class QLabel;
class QPushButton;

class C42CrwDlg : public C42Page
{
    Q_OBJECT
public:
    explicit C42CrwDlg(QWidget *parent = nullptr);

    // The handlers, as the buttons and the list run them.
    void onRead();
    void onWrite();

    MemoryLinesView *view() const { return view_; }

protected:
    // Reads the card, then chooses the reader.
    void firstShown() override;

private:
    void buildLayout();

    QVD_ENTRY(lib_, rz_read_4442);
    QVD_ENTRY(lib_, rz_write_4442);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, hex_a);

    QFont editorFont_;
    MemoryLinesView *view_ = nullptr;
    QLabel *status_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *write_ = nullptr;
};
