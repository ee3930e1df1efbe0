// "Card type setting": switches the reader's contactless protocol.
#pragma once

#include "reader/QvdLibrary.h"

#include <QDialog>

class CBlueStatic;
class QPushButton;

class CCardTypeSetDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CCardTypeSetDlg(QWidget *parent = nullptr);

    QString resultLine() const;

private:
    void buildLayout();
    // setting: 1 TYPEA, 2 TYPEB, 3 ISO15693.
    void setupCardType(unsigned char protocol, const QString &name, int setting);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_config_card);
    const int handle_;

    QPushButton *typeA_ = nullptr;
    QPushButton *typeB_ = nullptr;
    QPushButton *iso15693_ = nullptr;
    QPushButton *close_ = nullptr;
    CBlueStatic *result_ = nullptr;
};
