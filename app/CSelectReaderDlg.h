// "Select reader to operate": the readers of the last opening; a double-click
// makes one of them current.
#pragma once

#include "reader/QvdLibrary.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CSelectReaderDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSelectReaderDlg(QWidget *parent = nullptr);

    // Double-click on row i.
    void selectReader(int row);

private:
    void buildLayout();
    void fillFromReaderTable();
    void onRowDoubleClicked(QTreeWidgetItem *item);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_beep);

    QLineEdit *count_ = nullptr;
    QTreeWidget *list_ = nullptr;
    QPushButton *exit_ = nullptr;
};
