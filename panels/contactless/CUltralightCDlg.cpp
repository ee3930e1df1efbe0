#include "panels/contactless/CUltralightCDlg.h"

#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "reader/LibraryHex.h"
#include "ui/CrLfText.h"
#include "ui/HexEdits.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

constexpr int kKeyBytes = 16;
constexpr int kKeyDigits = 2 * kKeyBytes;
constexpr int kPageBytes = 4;
constexpr int kPageBuffer = 8;
constexpr int kLockPage = 40;
constexpr int kAuth0Page = 42;
constexpr int kAuth1Page = 43;

const QString kPresetKey = QStringLiteral("8F03B6D25EA1749C0D3BE6587A21C49F");
const QString kPresetNewKey = QStringLiteral("c4e1097b3a5f28d61e90b74a352cf8e6");
const QString kUnreadByte = QStringLiteral("??");

int deviceHandle()
{
    return t7::connection().deviceHandle;
}

QString pageKind(int page)
{
    if (page == 0 || page == 1)
        return QStringLiteral("Card number:");
    if (page == 2 || page == 40 || page == 42 || page == 43)
        return QStringLiteral("Setup");
    if (page == 3)
        return QStringLiteral("OPT");
    if (page >= 4 && page <= 39)
        return QStringLiteral("data");
    if (page == 41)
        return QStringLiteral("CNT");
    return QString();
}

CHexEdit *makeKeyEdit(const char *name, const QString &preset, QWidget *parent)
{
    auto *edit = new CHexEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(kKeyDigits);
    edit->setText(preset);
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(kKeyDigits + 2, QLatin1Char('0'))));
    return edit;
}

QLabel *makeCaption(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed());
    return label;
}

} // namespace

CUltralightCDlg::CUltralightCDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    bindFields();
    connectSignals();
}

void CUltralightCDlg::buildLayout()
{
    setObjectName(QStringLiteral("CUltralightCDlg"));
    setWindowTitle(QStringLiteral("Ultralight_C"));

    findCard_ = t7::makeNamedButton(QStringLiteral("Find Card"), "findCard", this);
    cardValue_ = new QLabel(this);
    cardValue_->setObjectName(QStringLiteral("cardValue"));
    cardValue_->setMinimumWidth(cardValue_->fontMetrics().horizontalAdvance(QString(18, QLatin1Char('0'))));
    cardValue_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *cardCaption = makeCaption(QStringLiteral("Card: "), cardValue_, this);
    keyEdit_ = makeKeyEdit("key", kPresetKey, this);
    auto *keyCaption = makeCaption(QStringLiteral("&Key:"), keyEdit_, this);
    verifyKey_ = t7::makeNamedButton(QStringLiteral("Verify Key"), "verifyKey", this);
    readCard_ = t7::makeNamedButton(QStringLiteral("Read Card"), "readCard", this);

    auto *top = new QGridLayout;
    top->addWidget(findCard_, 0, 0);
    top->addWidget(cardCaption, 0, 1);
    top->addWidget(cardValue_, 0, 2);
    top->addWidget(keyCaption, 1, 1);
    top->addWidget(keyEdit_, 1, 2);
    top->addWidget(verifyKey_, 1, 3);
    top->addWidget(readCard_, 1, 4);
    top->setColumnStretch(5, 1);

    pages_ = new QTreeWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->setAccessibleName(QStringLiteral("Pages"));
    pages_->setRootIsDecorated(false);
    pages_->setUniformRowHeights(true);
    pages_->setSelectionMode(QAbstractItemView::SingleSelection);
    pages_->setSelectionBehavior(QAbstractItemView::SelectRows);
    pages_->setHeaderLabels({QStringLiteral("Page"), QStringLiteral("Byte0"), QStringLiteral("Byte1"),
                             QStringLiteral("Byte2"), QStringLiteral("Byte3")});
    pages_->setColumnWidth(0, 100);
    for (int column = 1; column <= kPageBytes; ++column)
        pages_->setColumnWidth(column, 60);
    pages_->setMinimumSize(100 + 4 * 60 + 24, 300);

    pageDataEdit_ = new CHexOverwriteEdit(this);
    pageDataEdit_->setObjectName(QStringLiteral("pageData"));
    pageDataEdit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *pageDataCaption = makeCaption(QStringLiteral("Page &data:"), pageDataEdit_, this);
    pageValue_ = new QLabel(this);
    pageValue_->setObjectName(QStringLiteral("pageValue"));
    auto *pageCaption = makeCaption(QStringLiteral("Page"), pageValue_, this);
    description_ = new QLabel(this);
    description_->setObjectName(QStringLiteral("description"));
    description_->setAccessibleName(QStringLiteral("Page description"));
    description_->setMinimumWidth(
        description_->fontMetrics().horizontalAdvance(QStringLiteral("dataPg, Lock, SafePg, ReadWriteProtect")) + 8);
    writePage_ = t7::makeNamedButton(QStringLiteral("Write Page"), "writePage", this);
    lockPage_ = t7::makeNamedButton(QStringLiteral("Lock Page"), "lockPage", this);
    setSafePage_ = t7::makeNamedButton(QStringLiteral("Set To Safe Page"), "setSafePage", this);
    readProtectBox_ = new QCheckBox(QStringLiteral("Read Protect"), this);
    readProtectBox_->setObjectName(QStringLiteral("readProtect"));

    auto *pageRow = new QHBoxLayout;
    pageRow->addWidget(pageCaption);
    pageRow->addWidget(pageValue_, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(pageDataCaption);
    side->addWidget(pageDataEdit_);
    side->addLayout(pageRow);
    side->addWidget(description_);
    side->addWidget(writePage_);
    side->addWidget(lockPage_);
    side->addWidget(setSafePage_);
    side->addWidget(readProtectBox_);
    side->addStretch();
    auto *middle = new QHBoxLayout;
    middle->addWidget(pages_, 1);
    middle->addLayout(side);

    oldKeyEdit_ = makeKeyEdit("oldKey", kPresetKey, this);
    newKeyEdit_ = makeKeyEdit("newKey", kPresetNewKey, this);
    updateKey_ = t7::makeNamedButton(QStringLiteral("Update Key"), "updateKey", this);
    auto *keys = new QGridLayout;
    keys->addWidget(makeCaption(QStringLiteral("&Old Key"), oldKeyEdit_, this), 0, 0);
    keys->addWidget(oldKeyEdit_, 0, 1);
    keys->addWidget(makeCaption(QStringLiteral("&New Key"), newKeyEdit_, this), 1, 0);
    keys->addWidget(newKeyEdit_, 1, 1);
    keys->addWidget(updateKey_, 0, 2, 2, 1);
    keys->setColumnStretch(3, 1);

    logView_ = new QPlainTextEdit(this);
    logView_->setObjectName(QStringLiteral("log"));
    logView_->setAccessibleName(QStringLiteral("Log"));
    logView_->setReadOnly(true);
    logView_->setMinimumHeight(110);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(keys);
    layout->addWidget(logView_);
}

void CUltralightCDlg::bindFields()
{
    fields_.bindText(keyEdit_, &key_);
    fields_.bindText(pageDataEdit_, &pageData_);
    fields_.bindCheck(readProtectBox_, &readProtect_);
    fields_.bindText(oldKeyEdit_, &oldKey_);
    fields_.bindText(newKeyEdit_, &newKey_);
}

void CUltralightCDlg::connectSignals()
{
    connect(findCard_, &QPushButton::clicked, this, &CUltralightCDlg::onFindCard);
    connect(verifyKey_, &QPushButton::clicked, this, &CUltralightCDlg::onVerifyKey);
    connect(readCard_, &QPushButton::clicked, this, &CUltralightCDlg::onReadCard);
    connect(pages_, &QTreeWidget::itemSelectionChanged, this, &CUltralightCDlg::onRowSelectionChanged);
    connect(writePage_, &QPushButton::clicked, this, &CUltralightCDlg::onWritePage);
    connect(lockPage_, &QPushButton::clicked, this, &CUltralightCDlg::onLockPage);
    connect(setSafePage_, &QPushButton::clicked, this, &CUltralightCDlg::onSetSafePage);
    connect(updateKey_, &QPushButton::clicked, this, &CUltralightCDlg::onUpdateKey);
}

void CUltralightCDlg::appendLog(const QString &line)
{
    log_ += line + QStringLiteral("\r\n");
    t7::showCrLfText(logView_, log_, t7::ShowFrom::End);
}

bool CUltralightCDlg::hexInput(const QString &text, int byteCount, unsigned char *bytes)
{
    if (text.isEmpty() || text.size() != 2 * byteCount) {
        appendLog(QStringLiteral("Length of chars inserted not enough!"));
        return false;
    }
    QByteArray digits = text.toLatin1();
    return a_hex(bytes, digits.data(), byteCount) == 0;
}

// Before any selection the page would be -1, after one was cleared the row
// count (a key page): neither is a page to work on.
bool CUltralightCDlg::aPageIsChosen()
{
    if (selectedPage_ >= 0 && selectedPage_ < pages_->topLevelItemCount())
        return true;
    appendLog(QStringLiteral("Please select a page in the list first!"));
    return false;
}

bool CUltralightCDlg::readPage(int page, unsigned char *buffer)
{
    return rz_read_ultralt(deviceHandle(), static_cast<unsigned char>(page), buffer) == 0;
}

// ---- operations ----

void CUltralightCDlg::onFindCard()
{
    unsigned int serial = 0;
    const QString text = t7::GetCardSerial(deviceHandle(), serial);
    if (text.isEmpty())
        appendLog(QStringLiteral("Find NO Card."));
    else
        cardValue_->setText(text);
}

void CUltralightCDlg::onVerifyKey()
{
    fields_.read();
    unsigned char key[kKeyBytes] = {};
    if (!hexInput(key_, kKeyBytes, key))
        return;
    appendLog(rz_ultralt_C_authen(deviceHandle(), key) == 0 ? QStringLiteral("Password authentication success!")
                                                            : QStringLiteral("Password authtication failed!"));
}

void CUltralightCDlg::onReadCard()
{
    {
        // Emptying the list is no row selection: the selected page stays.
        const QSignalBlocker quiet(pages_);
        pages_->clear();
    }
    for (int page = 0; page < kListedPages; ++page) {
        unsigned char buffer[kPageBuffer] = {};
        QStringList bytes;
        if (readPage(page, buffer)) {
            const QString digits = t7::libraryHexText(hex_a, buffer, kPageBytes);
            for (int byte = 0; byte < kPageBytes; ++byte)
                bytes << digits.mid(2 * byte, 2);
        } else {
            bytes = QStringList{kUnreadByte, kUnreadByte, kUnreadByte, kUnreadByte};
            appendLog(QString::asprintf("Read PAGE:%d Error", page));
            // A refused page leaves the card idle; find it for the next one.
            unsigned int serial = 0;
            t7::GetCardSerial(deviceHandle(), serial);
        }
        insertRow(page, bytes);
    }
    computePageAttributes();
}

void CUltralightCDlg::insertRow(int row, const QStringList &bytes)
{
    auto *item = new QTreeWidgetItem(QStringList{QString::asprintf("%d", row)} + bytes);
    pages_->insertTopLevelItem(row, item);
}

void CUltralightCDlg::onRowSelectionChanged()
{
    int selected = pages_->topLevelItemCount();
    for (int row = 0; row < pages_->topLevelItemCount(); ++row)
        if (pages_->topLevelItem(row)->isSelected()) {
            selected = row;
            break;
        }
    selectedPage_ = selected;
    const QTreeWidgetItem *item = pages_->topLevelItem(selected);
    QString data;
    for (int column = 1; column <= kPageBytes; ++column)
        data += (item ? item->text(column) : QString()) + QLatin1Char(' ');
    pageDataEdit_->setText(data);
    pageValue_->setText(QString::asprintf("%d", selected));
    description_->setText(describePage(selected));
}

void CUltralightCDlg::onWritePage()
{
    if (!aPageIsChosen())
        return;
    fields_.read();
    unsigned char data[kPageBytes + 1] = {};
    if (!hexInput(QString(pageData_).remove(QLatin1Char(' ')), kPageBytes, data)) {
        appendLog(QStringLiteral("Input data is incorrect!"));
        return;
    }
    const int page = selectedPage_;
    if (rz_write_ultralt(deviceHandle(), static_cast<unsigned char>(page), data) != 0) {
        appendLog(QStringLiteral("Write") + QStringLiteral("page failed!"));
        return;
    }
    appendLog(QStringLiteral("Write success!"));
    {
        const QSignalBlocker quiet(pages_);
        delete pages_->takeTopLevelItem(page);
    }
    QStringList bytes;
    for (int byte = 0; byte < kPageBytes; ++byte)
        bytes << QString::asprintf("%02x", data[byte]);
    insertRow(page, bytes);
    QTreeWidgetItem *item = pages_->topLevelItem(page);
    pages_->setCurrentItem(item);
    item->setSelected(true);
}

void CUltralightCDlg::onSetSafePage()
{
    if (!aPageIsChosen())
        return;
    fields_.read();
    const int result =
        rz_ultralt_C_setSafePage(deviceHandle(), static_cast<unsigned char>(selectedPage_), readProtect_ ? 1 : 0);
    const QString line =
        QStringLiteral("Setup") + (result == 0 ? QStringLiteral(" success!") : QStringLiteral(" failed!"));
    computePageAttributes();
    appendLog(line);
}

void CUltralightCDlg::onLockPage()
{
    if (!aPageIsChosen())
        return;
    if (!t7::question(this, QStringLiteral("Once locked,you will never write this block,continue?")))
        return;
    const int page = lockedPageNumber(selectedPage_);
    const QString line = rz_ultralt_C_lockPage(deviceHandle(), static_cast<unsigned char>(page)) == 0
                             ? QStringLiteral("Lock block success!")
                             : QStringLiteral("Lock block error!");
    computePageAttributes();
    appendLog(line);
}

void CUltralightCDlg::onUpdateKey()
{
    fields_.read();
    const QString prefix = QStringLiteral("password") + QStringLiteral("Update");
    unsigned char oldKey[kKeyBytes] = {};
    unsigned char newKey[kKeyBytes] = {};
    if (!hexInput(oldKey_, kKeyBytes, oldKey) || !hexInput(newKey_, kKeyBytes, newKey))
        return;
    const int result = rz_ultralt_C_changePwd(deviceHandle(), oldKey, newKey);
    appendLog(prefix + (result == 0 ? QStringLiteral(" success!") : QStringLiteral(" failed!")));
}

int CUltralightCDlg::lockedPageNumber(int page)
{
    // Pages 16-35 lock by groups of four, named by their first page; so do
    // the key pages.
    if ((page >= 16 && page <= 35) || (page >= 44 && page <= 47))
        return page - page % 4;
    return page;
}

// ---- page attributes ----

void CUltralightCDlg::computePageAttributes()
{
    unsigned char page2[kPageBuffer] = {};
    if (!readPage(2, page2))
        return;
    attributes_.fill(0);
    auto mark = [this](int first, int last) {
        for (int page = first; page <= last; ++page)
            attributes_[static_cast<size_t>(page)] |= kLocked;
    };
    const uint8_t lockA = page2[2];
    const uint8_t lockB = page2[3];
    for (int k = 0; k < 8; ++k) {
        if (lockA & (1 << k))
            mark(k <= 2 ? 2 : k, k <= 2 ? 2 : k);
        if (lockB & (1 << k))
            mark(8 + k, 8 + k);
    }

    unsigned char page40[kPageBuffer] = {};
    if (!readPage(kLockPage, page40))
        return;
    const uint8_t lockC = page40[0];
    const uint8_t lockD = page40[1];
    static constexpr int kGroupOfBit[8] = {2, 2, 2, 24, -1, 28, 32, 36};
    for (int k = 0; k < 8; ++k) {
        const int first = kGroupOfBit[k];
        if ((lockC & (1 << k)) && first >= 0)
            mark(first, first == 2 ? 2 : first + 3);
        // Bit 7 stands for the key pages, which have no attribute.
        if ((lockD & (1 << k)) && k >= 4 && k <= 6)
            mark(41 + (k - 4), 41 + (k - 4));
    }

    unsigned char auth0[kPageBuffer] = {};
    unsigned char auth1[kPageBuffer] = {};
    if (!readPage(kAuth0Page, auth0) || !readPage(kAuth1Page, auth1))
        return;
    const int firstProtected = auth0[0];
    const bool readToo = auth1[0] == 0;
    for (int page = firstProtected; page < kListedPages; ++page)
        attributes_[static_cast<size_t>(page)] |= readToo ? (kProtected | kReadProtected) : kProtected;
}

QString CUltralightCDlg::describePage(int page) const
{
    const QString kind = pageKind(page);
    if (kind.isEmpty())
        return QString();
    const uint8_t attribute = attributes_[static_cast<size_t>(page)];
    QString text = kind + QStringLiteral("Pg");
    if (attribute & kLocked)
        text += QStringLiteral(", ") + QStringLiteral("Lock");
    if (attribute & kProtected) {
        text += QStringLiteral(", ") + QStringLiteral("Safe") + QStringLiteral("Pg") + QStringLiteral(", ");
        if (attribute & kReadProtected)
            text += QStringLiteral("Read");
        text += QStringLiteral("Write") + QStringLiteral("Protect");
    }
    return text;
}
