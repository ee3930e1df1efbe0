#include "app/CInitPortDlg.h"

#include "app/CSelectReaderDlg.h"
#include "app/PanelDispatch.h"
#include "app/StatusPanes.h"
#include "reader/ConnectionState.h"
#include "reader/ReaderFamily.h"
#include "ui/MessageSeam.h"
#include "ui/ModalRunner.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace
{

constexpr int kUsbPort = 100;
const char *const kUnknownType = "Unknown type";

bool isReaderHandle(int handle)
{
    return handle > 0 && handle != 32;
}

} // namespace

CInitPortDlg::CInitPortDlg(QWidget *parent) : QDialog(parent)
{
    t7::connection().deviceHandle = 0;
    t7::connection().serialLink = 0;
    buildLayout();
}

CInitPortDlg::CInitPortDlg(int nodeItemData, bool nodeHasChildren, QWidget *parent)
    : QDialog(parent), openedFromTree_(1), nodeItemData_(nodeItemData), nodeHasChildren_(nodeHasChildren)
{
    t7::connection().deviceHandle = 0;
    buildLayout();
}

void CInitPortDlg::buildLayout()
{
    setObjectName(QStringLiteral("CInitPortDlg"));
    setWindowTitle(QStringLiteral("Init port"));

    portList_ = new QComboBox(this);
    portList_->setObjectName(QStringLiteral("portList"));
    portList_->addItems({"USB", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6"});
    baudList_ = new QComboBox(this);
    baudList_->setObjectName(QStringLiteral("baudList"));
    baudList_->addItems({"115200", "1200", "2400", "4800", "9600", "19200", "14400", "28800", "38400", "57600"});
    baudList_->setEnabled(false);

    auto *portLabel = new QLabel(QStringLiteral("Chose Port:"), this);
    portLabel->setBuddy(portList_);
    auto *baudLabel = new QLabel(QStringLiteral("Chose baud:"), this);
    baudLabel->setBuddy(baudList_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(ok_, QDialogButtonBox::ActionRole);
    buttons->addButton(cancel_, QDialogButtonBox::RejectRole);

    auto *fields = new QFormLayout;
    fields->addRow(portLabel, portList_);
    fields->addRow(baudLabel, baudList_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    connect(portList_, &QComboBox::currentIndexChanged, this, &CInitPortDlg::onPortChanged);
    connect(ok_, &QPushButton::clicked, this, &CInitPortDlg::OpenReaders);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CInitPortDlg::onPortChanged(int index)
{
    baudList_->setEnabled(index != 0);
}

int CInitPortDlg::portNumber(int portIndex)
{
    return portIndex == 0 ? kUsbPort : portIndex - 1;
}

int CInitPortDlg::baudRate(int baudIndex)
{
    // Every entry passes the rate it shows; the first is 115200.
    static const int rates[] = {115200, 1200, 2400, 4800, 9600, 19200, 14400, 28800, 38400, 57600};
    if (baudIndex < 0 || baudIndex >= int(std::size(rates)))
        return 115200;
    return rates[baudIndex];
}

QString CInitPortDlg::portName(int portNumber)
{
    if (portNumber >= 0 && portNumber <= 8)
        return QStringLiteral("COM%1").arg(portNumber + 1);
    if (portNumber == kUsbPort)
        return QStringLiteral("USB");
    return QStringLiteral("Port is opened");
}

void CInitPortDlg::OpenReaders()
{
    portIndex_ = portList_->currentIndex();
    baudIndex_ = baudList_->currentIndex();
    t7::connection().readerCount = 0;

    if (portIndex_ == 0)
        openUsbReaders();
    else
        openSerialReader(portIndex_, baudRate(baudIndex_));

    t7::ConnectionState &state = t7::connection();
    if (state.readerCount == 0) {
        t7::panelBox(this, QStringLiteral("Initial port error!"));
        return;
    }
    state.deviceHandle = state.readers[state.readerCount - 1].handle;
    reportConnection(portNumber(portIndex_));
    rz_beep(state.deviceHandle.load(), 10);
    state.portOpen = 1;
    t7::notifyConnectionChanged();
    accept();
    afterOpening();
}

void CInitPortDlg::openUsbReaders()
{
    t7::connection().serialLink = 0;
    std::vector<int> unlisted;
    // Readers past the table's capacity are not opened at all.
    while (t7::connection().readerCount < t7::ConnectionState::kCapacity) {
        const int handle = rz_init(kUsbPort, 0);
        if (!isReaderHandle(handle))
            break;
        if (!readVersion(handle))
            recordReader(QString::fromLatin1(kUnknownType), handle);
        else if (t7::acceptedOnUsb(version_.data()))
            recordReader(QString::fromLatin1(version_.data()), handle);
        else
            unlisted.push_back(handle);
    }
    // Closed only after the enumeration, so that none of them is found again;
    // Close Port could never reach them.
    for (const int handle : unlisted)
        rz_exit(handle);
}

void CInitPortDlg::openSerialReader(int portIndex, int baud)
{
    const int handle = rz_init(portNumber(portIndex), baud);
    if (isReaderHandle(handle)) {
        const bool known = readVersion(handle) && t7::acceptedOnSerial(version_.data());
        recordReader(known ? QString::fromLatin1(version_.data()) : QString::fromLatin1(kUnknownType), handle);
    }
    t7::connection().serialLink = 1;
}

bool CInitPortDlg::readVersion(int handle)
{
    version_.fill(0);
    const int result = rz_getver(handle, version_.data());
    // Never read past the buffer, whatever the reader wrote.
    version_.back() = 0;
    return result == 0;
}

void CInitPortDlg::recordReader(const QString &name, int handle)
{
    t7::ConnectionState &state = t7::connection();
    t7::ReaderEntry &entry = state.readers[state.readerCount];
    entry.reserved = 0;
    entry.name = name.toStdString();
    entry.index = state.readerCount;
    entry.handle = handle;
    ++state.readerCount;
}

void CInitPortDlg::reportConnection(int portNumberShown)
{
    // The buffer still holds the last enumerated text; the result is not examined.
    rz_getver(t7::connection().deviceHandle.load(), version_.data());
    version_.back() = 0;
    t7::setStatusPaneText(t7::kPaneDevice, QStringLiteral("Device Verision") + QStringLiteral(": ") +
                                               QString::fromLatin1(version_.data()));
    t7::setStatusPaneText(t7::kPanePort, QStringLiteral("Type of port:") + portName(portNumberShown));
}

void CInitPortDlg::afterOpening()
{
    CSelectReaderDlg select(parentWidget());
    t7::runModal(select);
    if (openedFromTree_ && !nodeHasChildren_)
        t7::openPanel(nodeItemData_, parentWidget());
}
