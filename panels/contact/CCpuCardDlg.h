// "CPU card operation": an ISO 7816 card in the user slot or one of the three
// SAM sockets: reset, protocol parameters, command APDUs, power down.
#pragma once

#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

class CCpuCardDlg : public QDialog
{
    Q_OBJECT
public:
    // The longest command text Send takes.
    static constexpr int kMaxCommandCharacters = 1024;

    explicit CCpuCardDlg(QWidget *parent = nullptr);

    // The handlers, as the buttons run them.
    void onReset();
    void onSetParameters();
    void onSend();
    void onPowerDown();

    // 0x0C CPU, 0x0D-0x0F SAM1-SAM3, 0 with none selected.
    unsigned char slotCode() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void bindFields();
    void connectSignals();
    void opening();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_setcpu);
    QVD_ENTRY(lib_, rz_cpureset);
    QVD_ENTRY(lib_, rz_setcpupara);
    QVD_ENTRY(lib_, rz_cpuapdu);
    QVD_ENTRY(lib_, rz_cpudown);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, hex_a);

    t7::FieldBinder fields_;
    QString command_;
    QString resetInfo_;
    QString returned_;
    int protocol_ = 0;
    int timeParameter_ = 92;
    bool opened_ = false;

    QRadioButton *sam1_ = nullptr;
    QRadioButton *sam2_ = nullptr;
    QRadioButton *sam3_ = nullptr;
    QRadioButton *cpu_ = nullptr;
    QLineEdit *resetEdit_ = nullptr;
    QLineEdit *protocolEdit_ = nullptr;
    QLineEdit *timeEdit_ = nullptr;
    QLineEdit *commandEdit_ = nullptr;
    QLineEdit *returnedEdit_ = nullptr;
    QPushButton *reset_ = nullptr;
    QPushButton *setup_ = nullptr;
    QPushButton *send_ = nullptr;
    QPushButton *powerDown_ = nullptr;
    QPushButton *exit_ = nullptr;
};
