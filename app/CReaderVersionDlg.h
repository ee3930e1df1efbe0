// "Version of reader": the current reader's version text.
#pragma once

#include "reader/QvdLibrary.h"

#include <QDialog>

class CBlueStatic;

class CReaderVersionDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CReaderVersionDlg(QWidget *parent = nullptr);

    QString versionText() const;

private:
    void showReaderVersion();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_getver);

    CBlueStatic *version_ = nullptr;
};
