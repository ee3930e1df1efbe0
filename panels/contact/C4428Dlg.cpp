#include "panels/contact/C4428Dlg.h"

#include "panels/contact/ContactCards.h"
#include "panels/contact/MemoryLinesView.h"
#include "reader/HexText.h"
#include "reader/LibraryHex.h"
#include "ui/HexEdits.h"
#include "ui/InPlaceLineEditor.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"
#include "ui/UpperCaseValidator.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using t7::contact::deviceHandle;

namespace
{

constexpr int kPscBytes = 2;
constexpr int kPscDigits = 2 * kPscBytes;
constexpr int kPageBytes = 256;

QString inputIncorrect()
{
    return QStringLiteral("Input data is incorrect!");
}

QString lengthNotEnough()
{
    return QStringLiteral("Length of chars inserted not enough!");
}

QString outcome(bool ok)
{
    return ok ? QStringLiteral(" success!") : QStringLiteral(" failed!");
}

} // namespace

C4428Dlg::C4428Dlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    bindFields();
    connectSignals();
}

void C4428Dlg::buildLayout()
{
    setObjectName(QStringLiteral("C4428Dlg"));
    setWindowTitle(QStringLiteral("4428 CARD"));

    auto edit = [this](const char *name, const QString &accessibleName, int maxLength) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setAccessibleName(accessibleName);
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        return e;
    };

    pscEdit_ = edit("psc", QStringLiteral("PSC"), kPscDigits);
    t7::makeUpperCase(pscEdit_);
    verify_ = t7::makeNamedButton(QStringLiteral("Verify"), "verify", this);

    pageBox_ = new QComboBox(this);
    pageBox_->setObjectName(QStringLiteral("page"));
    pageBox_->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    auto *pageLabel = new QLabel(QStringLiteral("page"), this);
    pageLabel->setObjectName(QStringLiteral("pageLabel"));
    pageLabel->setBuddy(pageBox_);
    read_ = t7::makeNamedButton(QStringLiteral("Read"), "read", this);
    write_ = t7::makeNamedButton(QStringLiteral("Write"), "write", this);

    addressEdit_ = edit("address", QStringLiteral("Addr: 0X"), 4);
    addressEdit_->setMinimumWidth(addressEdit_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    auto *addressLabel = new QLabel(QStringLiteral("Addr:"), this);
    addressLabel->setObjectName(QStringLiteral("addressLabel"));
    addressLabel->setBuddy(addressEdit_);
    auto *prefix = new QLabel(QStringLiteral("0X"), this);
    prefix->setObjectName(QStringLiteral("addressPrefix"));
    lengthEdit_ = new CDecEdit(this);
    lengthEdit_->setObjectName(QStringLiteral("length"));
    lengthEdit_->setMaxLength(3);
    auto *lengthLabel = new QLabel(QStringLiteral("Len"), this);
    lengthLabel->setObjectName(QStringLiteral("lengthLabel"));
    lengthLabel->setBuddy(lengthEdit_);
    readProtection_ = t7::makeNamedButton(QStringLiteral("Read Pro"), "readProtection", this);
    writeProtection_ = t7::makeNamedButton(QStringLiteral("Write Pro"), "writeProtection", this);
    protectionEdit_ = edit("protectionData", QStringLiteral("Protection data"), 0);
    // Made here so that Tab reaches them after the protection controls, as laid out.
    newPscEdit_ = edit("newPsc", QStringLiteral("New PSC"), kPscDigits);
    updateKey_ = t7::makeNamedButton(QStringLiteral("Update key"), "updateKey", this);

    view_ = new MemoryLinesView(t7::contact::lineNumbers(), 0, this);
    statusList_ = new QListWidget(this);
    statusList_->setObjectName(QStringLiteral("statusList"));
    statusList_->setAccessibleName(QStringLiteral("Status"));
    statusList_->setMinimumHeight(80);
    clear_ = t7::makeNamedButton(QStringLiteral("Clear"), "clear", this);

    // Two buttons side by side, equally wide.
    auto pair = [](QPushButton *left, QPushButton *right) {
        auto *row = new QHBoxLayout;
        row->addWidget(left, 1);
        row->addWidget(right, 1);
        return row;
    };
    auto *controls = new QGridLayout;
    controls->addWidget(pscEdit_, 0, 0, 1, 3);
    controls->addWidget(verify_, 0, 3);
    controls->addWidget(pageLabel, 1, 0);
    controls->addWidget(pageBox_, 1, 1, 1, 2);
    controls->addLayout(pair(read_, write_), 2, 0, 1, 4);
    controls->addWidget(addressLabel, 3, 0);
    controls->addWidget(prefix, 3, 1);
    controls->addWidget(addressEdit_, 3, 2);
    controls->addWidget(lengthLabel, 4, 0);
    controls->addWidget(lengthEdit_, 4, 1, 1, 2);
    controls->addLayout(pair(readProtection_, writeProtection_), 5, 0, 1, 4);
    controls->addWidget(protectionEdit_, 6, 0, 1, 4);
    controls->addWidget(newPscEdit_, 7, 0, 1, 3);
    controls->addWidget(updateKey_, 7, 3);
    controls->setRowStretch(8, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(view_, 0, Qt::AlignTop);
    top->addLayout(controls, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(statusList_, 1);
    bottom->addWidget(clear_, 0, Qt::AlignBottom);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom, 1);
}

void C4428Dlg::bindFields()
{
    fields_.bindText(pscEdit_, &psc_);
    fields_.bindComboIndex(pageBox_, &page_);
    fields_.bindText(addressEdit_, &address_);
    fields_.bindInt(lengthEdit_, &length_, 0, 255);
    fields_.bindText(protectionEdit_, &protectionData_);
    fields_.bindText(newPscEdit_, &newPsc_);
    fields_.write();
}

void C4428Dlg::connectSignals()
{
    connect(verify_, &QPushButton::clicked, this, &C4428Dlg::onVerify);
    connect(read_, &QPushButton::clicked, this, &C4428Dlg::onReadPage);
    connect(write_, &QPushButton::clicked, this, &C4428Dlg::onWritePage);
    connect(readProtection_, &QPushButton::clicked, this, &C4428Dlg::onReadProtection);
    connect(writeProtection_, &QPushButton::clicked, this, &C4428Dlg::onWriteProtection);
    connect(updateKey_, &QPushButton::clicked, this, &C4428Dlg::onUpdateKey);
    connect(clear_, &QPushButton::clicked, this, &C4428Dlg::onClear);
}

void C4428Dlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (opened_)
        return;
    opened_ = true;
    pageBox_->setCurrentIndex(0);
    view_->setLines(t7::contact::placeholderLines());
    view_->editor().setEditedRow(-1);
    lastStatusLine_ = -1;
    t7::appBox(QStringLiteral("Please check whether or not have card insert!"));
}

void C4428Dlg::log(const QString &text)
{
    statusList_->addItem(text);
    ++lastStatusLine_;
    statusList_->setCurrentRow(lastStatusLine_);
}

int C4428Dlg::pageAddress() const
{
    return kPageBytes * pageBox_->currentIndex();
}

std::optional<int> C4428Dlg::protectionAddress()
{
    bool ok = false;
    const int address = address_.toInt(&ok, 16);
    // Digits only: a sign or a 0x in the field is not an address.
    if (!ok || !t7::parseHexBytes(address_.rightJustified(4, QLatin1Char('0'))))
        return std::nullopt;
    return address;
}

std::optional<std::vector<unsigned char>> C4428Dlg::pscOf(const QString &text,
                                                          const std::function<void(const QString &)> &refuse)
{
    if (text.size() < kPscDigits) {
        refuse(lengthNotEnough());
        return std::nullopt;
    }
    auto psc = t7::libraryHexBytes(a_hex, text.left(kPscDigits), kPscBytes);
    if (!psc)
        refuse(inputIncorrect());
    return psc;
}

void C4428Dlg::onVerify()
{
    if (!fields_.read())
        return;
    auto psc = pscOf(psc_, [this](const QString &text) { log(text); });
    if (!psc)
        return;
    if (rz_authentikey_4428(deviceHandle(), psc->data()) == 0)
        log(QStringLiteral("Password authentication success!"));
    else
        log(QStringLiteral("Password authtication failed!"));
}

void C4428Dlg::onUpdateKey()
{
    if (!fields_.read())
        return;
    auto psc = pscOf(newPsc_, [](const QString &text) { t7::appBox(text); });
    if (!psc)
        return;
    const bool changed = rz_changkey_4428(deviceHandle(), psc->data()) == 0;
    log(QStringLiteral("Update") + QStringLiteral("password") + outcome(changed));
}

void C4428Dlg::onReadPage()
{
    const std::vector<int> failed = view_->readLines(
        pageAddress(),
        [this](int address, unsigned char *bytes) {
            return rz_read_4428(deviceHandle(), address, bytes, t7::contact::kLineBytes) == 0;
        },
        hex_a);
    for (const int row : failed)
        log(QStringLiteral("Read the") + QString::number(row) + QStringLiteral("line data") + outcome(false));
    log(QStringLiteral("Read") + QStringLiteral(" card ") + QStringLiteral(" complete!"));
}

void C4428Dlg::onWritePage()
{
    view_->commitEdit();
    // No line goes to the card unless every line holds its 16 bytes.
    if (!view_->holdsWholeLines()) {
        t7::appBox(inputIncorrect());
        return;
    }
    const std::vector<int> failed = view_->writeLines(
        pageAddress(),
        [this](int address, unsigned char *bytes) {
            return rz_write_4428(deviceHandle(), address, bytes, t7::contact::kLineBytes) == 0;
        },
        a_hex);
    for (const int row : failed)
        log(QStringLiteral("Write the") + QString::number(row) + QStringLiteral("line data") + outcome(false));
    log(QStringLiteral("Write") + QStringLiteral(" card ") + QStringLiteral(" complete!"));
}

void C4428Dlg::onReadProtection()
{
    if (!fields_.read())
        return;
    const auto address = protectionAddress();
    if (!address) {
        t7::appBox(inputIncorrect());
        return;
    }
    std::vector<unsigned char> status(static_cast<size_t>(std::max(length_, 1)), 0);
    const bool read = rz_getProtectData_4428(deviceHandle(), *address, status.data(), length_) == 0;
    if (read) {
        protectionData_ = t7::libraryHexText(hex_a, status.data(), length_);
        fields_.write();
    }
    log(QStringLiteral("Read") + QStringLiteral(" protection bits") + outcome(read));
}

void C4428Dlg::onWriteProtection()
{
    if (!fields_.read())
        return;
    if (protectionData_.size() < 2 * length_) {
        t7::appBox(lengthNotEnough());
        return;
    }
    const auto address = protectionAddress();
    auto data = t7::libraryHexBytes(a_hex, protectionData_.left(2 * length_), length_);
    if (!address || !data) {
        t7::appBox(inputIncorrect());
        return;
    }
    data->resize(static_cast<size_t>(std::max(length_, 1)));
    const bool done = rz_setProtectData_4428(deviceHandle(), *address, data->data(), length_) == 0;
    log(QStringLiteral("Write") + QStringLiteral(" protection bits") + outcome(done));
}

void C4428Dlg::onClear()
{
    statusList_->clear();
    lastStatusLine_ = -1;
}
