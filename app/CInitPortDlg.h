// "Init port": opens USB or a serial port, records the readers found there
// and makes the last one current.
#pragma once

#include "reader/QvdLibrary.h"

#include <QDialog>

#include <array>

class QComboBox;
class QPushButton;

class CInitPortDlg : public QDialog
{
    Q_OBJECT
public:
    // Menu variant.
    explicit CInitPortDlg(QWidget *parent = nullptr);
    // Tree variant: after a successful opening the panel of the node opens
    // (none for a node with children).
    CInitPortDlg(int nodeItemData, bool nodeHasChildren, QWidget *parent = nullptr);

    // The "OK" button.
    void OpenReaders();

    // Port list index -> port number for rz_init; baud list index -> rate.
    static int portNumber(int portIndex);
    static int baudRate(int baudIndex);
    // Port number -> the name shown in the status bar.
    static QString portName(int portNumber);

private:
    void buildLayout();
    void onPortChanged(int index);
    void openUsbReaders();
    void openSerialReader(int portIndex, int baud);
    bool readVersion(int handle);
    void recordReader(const QString &name, int handle);
    void reportConnection(int portNumberShown);
    void afterOpening();

    qvd::LibraryRef lib_ = qvd::Library::load();
    // Called by the opening.
    QVD_ENTRY(lib_, rz_init);
    QVD_ENTRY(lib_, rz_beep);
    QVD_ENTRY(lib_, rz_getver);
    // Closes USB readers of another family again.
    QVD_ENTRY(lib_, rz_exit);
    // Resolved with the dialog for the panels opened after it.
    QVD_ENTRY(lib_, rz_request);
    QVD_ENTRY(lib_, rz_load_key);
    QVD_ENTRY(lib_, rz_config_card);
    QVD_ENTRY(lib_, rz_card);
    QVD_ENTRY(lib_, rz_authentication);
    QVD_ENTRY(lib_, rz_request_b);
    QVD_ENTRY(lib_, rz_inventory);

    int portIndex_ = 0;
    int baudIndex_ = 0;
    unsigned char openedFromTree_ = 0;
    int nodeItemData_ = 0;
    bool nodeHasChildren_ = false;
    std::array<char, 255> version_{};

    QComboBox *portList_ = nullptr;
    QComboBox *baudList_ = nullptr;
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
};
