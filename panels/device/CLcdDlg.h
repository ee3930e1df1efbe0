// "LCD operation": the reader's text display: backlight on and off, a text
// shown, the display cleared.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class CLcdDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr unsigned char kLightOn = 15;
    static constexpr unsigned char kLightOff = 0;

    explicit CLcdDlg(QWidget *parent = nullptr);

    void onLightOn();
    void onLightOff();
    void onShow();
    void onClear();

private:
    void buildLayout();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_lcd_setbright);
    QVD_ENTRY(lib_, rz_lcd_dispstr);
    QVD_ENTRY(lib_, rz_lcd_dispclear);

    QString displayText_;
    t7::FieldBinder fields_;

    QPlainTextEdit *textEdit_ = nullptr;
    QPushButton *lightOn_ = nullptr;
    QPushButton *lightOff_ = nullptr;
    QPushButton *show_ = nullptr;
    QPushButton *clear_ = nullptr;
};
