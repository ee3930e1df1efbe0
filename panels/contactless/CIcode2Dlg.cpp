#include "panels/contactless/CIcode2Dlg.h"

#include "panels/contactless/ContactlessWidgets.h"
#include "panels/contactless/HexLineList.h"
#include "reader/ConnectionState.h"
#include "reader/HexText.h"
#include "reader/LibraryHex.h"
#include "reader/ReaderResult.h"
#include "ui/CrLfText.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cstring>
#include <vector>

using t7::contactless::caption;
using t7::contactless::lineField;

namespace
{

// Addressed request at high data rate; inventory at high data rate, AFI
// present, one slot (ISO/IEC 15693-3 flag bytes).
constexpr unsigned char kAddressed = 0x22;
constexpr unsigned char kInventory = 0x36;
constexpr int kBlockDigits = 8;
constexpr int kReplySize = 256;
constexpr unsigned char kSecurityFirstBlock = 10;
constexpr unsigned char kSecurityBlocks = 10;

const QString kNoCard = QStringLiteral("No card or card type error!");

struct ValueTexts {
    QString name;
    QString writeSuccess;
    QString writeFailure;
    QString lockQuestion;
    QString lockSuccess;
    QString lockFailure;
};

const ValueTexts &textsFor(bool afi)
{
    static const ValueTexts afiTexts{
        QStringLiteral("AFI"),
        QStringLiteral("Write AFI success!"),
        QStringLiteral("Write AFI error!"),
        QStringLiteral("Once locked, you will never be allowed to write AFI again, contiue?"),
        QStringLiteral("Lock AFI success!"),
        QStringLiteral("Lock AFI error!")};
    static const ValueTexts dsfidTexts{
        QStringLiteral("DSFID"),
        QStringLiteral("Write DSFID success!"),
        QStringLiteral("Write DSFID failed!"),
        QStringLiteral("Once locked,you will never allowed to write DSFID again,continue?"),
        QStringLiteral("Lock DSFID success!"),
        QStringLiteral("Lock DSFID failed!")};
    return afi ? afiTexts : dsfidTexts;
}

} // namespace

CIcode2Dlg::CIcode2Dlg(QWidget *parent) : QDialog(parent), handle_(t7::connection().deviceHandle)
{
    buildLayout();
    connectSignals();
}

void CIcode2Dlg::buildLayout()
{
    setObjectName(QStringLiteral("CIcode2Dlg"));
    setWindowTitle(QStringLiteral("I-CODE2 CARD"));

    serial_ = lineField(this, "serialNumber", 23, QStringLiteral("Serial number:"), true);
    serial_->setMinimumWidth(serial_->fontMetrics().horizontalAdvance(QString(25, QLatin1Char('D'))));
    afi_ = lineField(this, "afi", 2, QStringLiteral("AFI:"), true);
    dsfid_ = lineField(this, "dsfid", 2, QStringLiteral("DSFID:"), true);
    for (QLineEdit *value : {afi_, dsfid_})
        value->setMaximumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("DDDDD")));
    writeAfi_ = t7::makeNamedButton(QStringLiteral("Write AFI"), "writeAfi", this);
    writeDsfid_ = t7::makeNamedButton(QStringLiteral("Write DSFID"), "writeDsfid", this);
    lockAfi_ = t7::makeNamedButton(QStringLiteral("Lock AFI"), "lockAfi", this);
    lockDsfid_ = t7::makeNamedButton(QStringLiteral("Lock DSFID"), "lockDsfid", this);
    systemInfo_ = t7::makeNamedButton(QStringLiteral("SystemInfo"), "systemInfo", this);

    functions_ = new QComboBox(this);
    functions_->setObjectName(QStringLiteral("functions"));
    functions_->setAccessibleName(QStringLiteral("Other functions"));
    functions_->addItems({QStringLiteral("[ Other functions test ]"), QStringLiteral("rz_get_securityinfo"),
                          QStringLiteral("rz_reset_to_ready"), QStringLiteral("rz_select_uid"),
                          QStringLiteral("rz_stay_quiet"), QString()});

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setAccessibleName(QStringLiteral("Status"));
    status_->setAlignment(Qt::AlignCenter);
    status_->setFrameShape(QFrame::StyledPanel);
    status_->setWordWrap(true);
    status_->setMinimumHeight(3 * status_->fontMetrics().lineSpacing());

    blocks_ = new HexLineList(kBlockDigits, 16, QStringLiteral("Block"), this);
    blocks_->setObjectName(QStringLiteral("blocks"));
    blocks_->setLabels(0, 16);
    reportView_ = t7::contactless::reportView(this, "report", QStringLiteral("Report"));
    reportView_->setMinimumWidth(
        reportView_->fontMetrics().horizontalAdvance(QStringLiteral("Read the00 block success!")) + 40);

    readLow_ = t7::makeNamedButton(QStringLiteral("read (0-15)"), "readLow", this);
    readHigh_ = t7::makeNamedButton(QStringLiteral("read(16-27)"), "readHigh", this);
    write_ = t7::makeNamedButton(QStringLiteral("write"), "write", this);
    lockBlock_ = t7::makeNamedButton(QStringLiteral("lock block"), "lockBlock", this);
    close_ = t7::makeNamedButton(QStringLiteral("close"), "close", this);

    auto *card = new QGridLayout;
    card->addWidget(caption(this, QStringLiteral("Serial number:"), serial_), 0, 0);
    card->addWidget(serial_, 0, 1, 1, 3);
    card->addWidget(systemInfo_, 0, 4);
    card->addWidget(caption(this, QStringLiteral("AFI:"), afi_), 1, 0);
    card->addWidget(afi_, 1, 1);
    card->addWidget(writeAfi_, 1, 2);
    card->addWidget(lockAfi_, 1, 3);
    card->addWidget(caption(this, QStringLiteral("DSFID:"), dsfid_), 2, 0);
    card->addWidget(dsfid_, 2, 1);
    card->addWidget(writeDsfid_, 2, 2);
    card->addWidget(lockDsfid_, 2, 3);
    card->addWidget(functions_, 1, 4, 2, 1, Qt::AlignVCenter);
    card->addWidget(status_, 3, 0, 1, 5);

    auto *data = new QHBoxLayout;
    data->addWidget(blocks_, 0, Qt::AlignTop);
    data->addWidget(reportView_, 1);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {readLow_, readHigh_, write_, lockBlock_})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close_);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(card);
    layout->addLayout(data, 1);
    layout->addLayout(buttons);
}

void CIcode2Dlg::connectSignals()
{
    connect(systemInfo_, &QPushButton::clicked, this, &CIcode2Dlg::onSystemInfo);
    connect(readLow_, &QPushButton::clicked, this, &CIcode2Dlg::onReadLow);
    connect(readHigh_, &QPushButton::clicked, this, &CIcode2Dlg::onReadHigh);
    connect(write_, &QPushButton::clicked, this, &CIcode2Dlg::onWrite);
    connect(lockBlock_, &QPushButton::clicked, this, &CIcode2Dlg::onLockBlock);
    connect(writeAfi_, &QPushButton::clicked, this, &CIcode2Dlg::onWriteAfi);
    connect(writeDsfid_, &QPushButton::clicked, this, &CIcode2Dlg::onWriteDsfid);
    connect(lockAfi_, &QPushButton::clicked, this, &CIcode2Dlg::onLockAfi);
    connect(lockDsfid_, &QPushButton::clicked, this, &CIcode2Dlg::onLockDsfid);
    connect(functions_, &QComboBox::currentIndexChanged, this, &CIcode2Dlg::onFunctionChosen);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    connect(blocks_, &HexLineList::editRefused, this, [this](int line) {
        status_->setText(QStringLiteral("Line %1 kept: a block needs %2 hexadecimal digits!")
                             .arg(line, 2, 10, QLatin1Char('0'))
                             .arg(kBlockDigits));
    });
}

void CIcode2Dlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        opening();
    }
}

void CIcode2Dlg::opening()
{
    {
        const QSignalBlocker quiet(functions_);
        functions_->setCurrentIndex(0);
    }
    std::memset(uid_, 0, sizeof uid_);
    onSystemInfo();
    readRange(0, 16);
}

QString CIcode2Dlg::hexText(const unsigned char *bytes, int digits)
{
    return t7::libraryHexText(hex_a, bytes, (digits + 1) / 2).left(digits);
}

// The UID changes only when a card answers.
bool CIcode2Dlg::takeInventory()
{
    unsigned char reply[kReplySize] = {};
    unsigned char uid[8] = {};
    if (!t7::succeeded(rz_inventory(handle_, kInventory, 0, 0, reply, uid)))
        return false;
    std::memcpy(uid_, uid, sizeof uid_);
    return true;
}

QString CIcode2Dlg::uidText()
{
    return takeInventory() ? t7::InsertHexSpaces(hexText(uid_, 16)) : QString();
}

void CIcode2Dlg::onSystemInfo()
{
    serial_->setText(uidText());
    unsigned char length = 0;
    unsigned char reply[kReplySize] = {};
    if (!t7::succeeded(rz_get_systeminfo(handle_, kAddressed, uid_, &length, reply))) {
        status_->setText(QStringLiteral("System information read error!"));
        return;
    }
    const QString afi = hexText(reply + 11, 2);
    const QString dsfid = hexText(reply + 10, 2);
    afi_->setText(afi);
    dsfid_->setText(dsfid);
    status_->setText(QStringLiteral("AFI: %1,DSFID: %2,BLOCKS: %3").arg(afi, dsfid).arg(reply[12]));
}

void CIcode2Dlg::showReport(const QString &text)
{
    report_ = text;
    t7::showCrLfText(reportView_, report_);
}

void CIcode2Dlg::readRange(int first, int end)
{
    if (!takeInventory()) {
        t7::appBox(kNoCard);
        return;
    }
    QString report;
    for (int block = first; block < end; ++block) {
        QString line = QStringLiteral("Read the%1").arg(block, 2, 10, QLatin1Char('0'));
        unsigned char length = 0;
        unsigned char data[kReplySize] = {};
        if (t7::succeeded(
                rz_readblock(handle_, kAddressed, static_cast<unsigned char>(block), 1, uid_, &length, data))) {
            blocks_->addLine(t7::InsertHexSpaces(hexText(data, kBlockDigits)));
            line += QStringLiteral(" block success!");
        } else {
            // Keeps the lines in step with the blocks.
            blocks_->addLine(QString());
            line += QStringLiteral(" block error!");
        }
        if (block != end - 1)
            line += QStringLiteral("\r\n");
        report += line;
    }
    showReport(report);
}

void CIcode2Dlg::readButton(int first, int end, int range)
{
    blocks_->clear();
    showReport(QString());
    readRange(first, end);
    blocks_->setLabels(first, end - first);
    blockRange_ = range;
}

void CIcode2Dlg::onReadLow()
{
    readButton(0, 16, 1);
}

void CIcode2Dlg::onReadHigh()
{
    readButton(16, 28, 2);
}

void CIcode2Dlg::onWrite()
{
    blocks_->commitEdit();
    showReport(QString());
    if (blockRange_ != 1 && blockRange_ != 2)
        return;
    const int first = blockRange_ == 1 ? 0 : 16;
    if (!takeInventory()) {
        t7::appBox(kNoCard);
        return;
    }
    QString report;
    for (int j = 0; j < blocks_->count(); ++j) {
        const QString digits = t7::contactless::leadingHexDigits(blocks_->line(j), kBlockDigits);
        // Lines of blocks that could not be read stay empty and are skipped.
        if (digits.isEmpty())
            continue;
        std::optional<std::vector<unsigned char>> data = t7::libraryHexBytes(a_hex, digits, 4);
        const int block = first + j;
        const bool written = data && t7::succeeded(rz_writeblock(handle_, kAddressed, static_cast<unsigned char>(block),
                                                                 1, uid_, 4, data->data()));
        report += QStringLiteral("Write the%1").arg(block) +
                  (written ? QStringLiteral(" block success!") : QStringLiteral(" block error!")) +
                  QStringLiteral("\r\n");
    }
    showReport(report);
}

void CIcode2Dlg::onLockBlock()
{
    blocks_->commitEdit();
    const int line = blocks_->selectedRow();
    if (line < 0) {
        t7::appBox(QStringLiteral("Select the block to operate first please!"));
        return;
    }
    // Asked under the application's title, not the panel's.
    if (!t7::question(nullptr, QStringLiteral("Once locked,you will never write this block,continue?")))
        return;
    const int block = blockRange_ == 2 ? line + 16 : line;
    const bool locked = t7::succeeded(rz_lock_block(handle_, kAddressed, static_cast<unsigned char>(block), uid_));
    showReport(locked ? QStringLiteral("Lock block success!") : QStringLiteral("Lock block error!"));
}

// A lock that follows cannot be undone: only two hex digits are written.
bool CIcode2Dlg::valueOf(const QLineEdit *field, bool afi, const QString &emptyStatus, unsigned char *value)
{
    const QString text = field->text();
    if (text.isEmpty()) {
        status_->setText(emptyStatus);
        return false;
    }
    const std::optional<std::vector<unsigned char>> byte = t7::libraryHexBytes(a_hex, text, 1);
    if (!byte) {
        status_->setText(textsFor(afi).name + QStringLiteral(" must be two hexadecimal digits!"));
        return false;
    }
    *value = byte->front();
    return true;
}

void CIcode2Dlg::writeValue(const QLineEdit *field, bool afi)
{
    const ValueTexts &texts = textsFor(afi);
    unsigned char value = 0;
    if (!valueOf(field, afi, texts.writeFailure, &value))
        return;
    const int result =
        afi ? rz_write_afi(handle_, kAddressed, value, uid_) : rz_write_dsfid(handle_, kAddressed, value, uid_);
    status_->setText(t7::succeeded(result) ? texts.writeSuccess : texts.writeFailure);
}

void CIcode2Dlg::lockValue(const QLineEdit *field, bool afi)
{
    const ValueTexts &texts = textsFor(afi);
    unsigned char value = 0;
    if (!valueOf(field, afi, texts.lockFailure, &value))
        return;
    if (!t7::question(this, texts.lockQuestion))
        return;
    const int result =
        afi ? rz_lock_afi(handle_, kAddressed, value, uid_) : rz_lock_dsfid(handle_, kAddressed, value, uid_);
    status_->setText(t7::succeeded(result) ? texts.lockSuccess : texts.lockFailure);
}

void CIcode2Dlg::onWriteAfi()
{
    writeValue(afi_, true);
}

void CIcode2Dlg::onWriteDsfid()
{
    writeValue(dsfid_, false);
}

void CIcode2Dlg::onLockAfi()
{
    lockValue(afi_, true);
}

void CIcode2Dlg::onLockDsfid()
{
    lockValue(dsfid_, false);
}

void CIcode2Dlg::onFunctionChosen(int index)
{
    switch (index) {
    case 1: {
        unsigned char length = 0;
        unsigned char reply[kReplySize] = {};
        if (!t7::succeeded(
                rz_get_securityinfo(handle_, kAddressed, kSecurityFirstBlock, kSecurityBlocks, uid_, &length, reply))) {
            status_->setText(QStringLiteral("rz_get_securityinfo Error!"));
            return;
        }
        // Every byte of the reply, one status byte per block; the buffer
        // holds every byte a one-byte length can name.
        status_->setText(QStringLiteral("rz_get_securityinfo OK!\n Infor: ") + hexText(reply, 2 * length));
        return;
    }
    case 2:
        status_->setText(t7::succeeded(rz_reset_to_ready(handle_, kAddressed, uid_))
                             ? QStringLiteral("rz_reset_to_ready OK!")
                             : QStringLiteral("rz_reset_to_ready Error!"));
        return;
    case 3:
        status_->setText(t7::succeeded(rz_select_uid(handle_, kAddressed, uid_))
                             ? QStringLiteral("rz_select_uid OK!")
                             : QStringLiteral("rz_select_uid Error!"));
        return;
    case 4:
        status_->setText(t7::succeeded(rz_stay_quiet(handle_, kAddressed, uid_))
                             ? QStringLiteral("rz_stay_quiet OK!")
                             : QStringLiteral("rz_stay_quiet Error!"));
        return;
    default:
        status_->clear();
        return;
    }
}
