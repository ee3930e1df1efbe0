#include "panels/contactless/CMfPlusLevel3Page.h"

#include "panels/contactless/ContactlessWidgets.h"
#include "ui/NamedButton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using t7::contactless::caption;

CMfPlusLevel3Page::CMfPlusLevel3Page(CMfPlusCard &card, Log log, QWidget *parent)
    : CMfPlusPage(card, std::move(log), parent)
{
    setObjectName(QStringLiteral("level3"));
    buildLayout();
    bindFields();
    fields_.write();
    connectButtons();
}

QLineEdit *CMfPlusLevel3Page::numberEdit(const char *name, const QString &accessibleName)
{
    QLineEdit *edit = t7::contactless::lineField(this, name, 32767, accessibleName);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000000000")));
    return edit;
}

void CMfPlusLevel3Page::buildLayout()
{
    key_ = keyField("key", QStringLiteral("Key"));
    keyNumber_ = numberField("keyNumber", QStringLiteral("Key Number"));
    verify_ = t7::makeNamedButton(QStringLiteral("Verify"), "verify", this);
    update_ = t7::makeNamedButton(QStringLiteral("Update"), "update", this);
    sectorEdit_ = numberEdit("sector", QStringLiteral("Sector"));
    sectorKey_ = keyField("sectorKey", QStringLiteral("Sector key"));
    verifySector_ = t7::makeNamedButton(QStringLiteral("Verify sector key"), "verifySectorKey", this);
    blockStartEdit_ = numberEdit("blockStart", QStringLiteral("Blk-Start"));
    blocksEdit_ = numberEdit("blocks", QStringLiteral("Blocks:"));
    blockEdit_ = numberEdit("block", QStringLiteral("Block:"));
    writeData_ = keyField("writeData", QStringLiteral("Block data"));
    readResult_ = new QComboBox(this);
    readResult_->setObjectName(QStringLiteral("readResult"));
    readResult_->setAccessibleName(QStringLiteral("Blocks read"));
    readResult_->setMinimumWidth(writeData_->minimumWidth());
    read_ = t7::makeNamedButton(QStringLiteral("Read"), "read", this);
    write_ = t7::makeNamedButton(QStringLiteral("Write"), "write", this);
    initEdit_ = numberEdit("initValue", QStringLiteral("Initival"));
    incrementEdit_ = numberEdit("incrementValue", QStringLiteral("Increment"));
    decrementEdit_ = numberEdit("decrementValue", QStringLiteral("Decrement"));
    readValueEdit_ = numberEdit("readValueValue", QStringLiteral("Read value"));
    init_ = t7::makeNamedButton(QStringLiteral("Initival"), "initival", this);
    increment_ = t7::makeNamedButton(QStringLiteral("Increment"), "increment", this);
    decrement_ = t7::makeNamedButton(QStringLiteral("Decrement"), "decrement", this);
    readValue_ = t7::makeNamedButton(QStringLiteral("Read value"), "readValue", this);

    auto *keys = new QGridLayout;
    keys->addWidget(caption(this, QStringLiteral("Key"), key_), 0, 0);
    keys->addWidget(key_, 0, 1, 1, 3);
    keys->addWidget(caption(this, QStringLiteral("Key Number"), keyNumber_), 1, 0);
    keys->addWidget(keyNumber_, 1, 1);
    keys->addWidget(verify_, 1, 2);
    keys->addWidget(update_, 1, 3);
    keys->addWidget(caption(this, QStringLiteral("Sector"), sectorEdit_), 2, 0);
    keys->addWidget(sectorEdit_, 2, 1);
    keys->addWidget(sectorKey_, 3, 0, 1, 3);
    keys->addWidget(verifySector_, 3, 3);
    keys->setColumnStretch(1, 1);

    auto *blocks = new QGridLayout;
    blocks->addWidget(caption(this, QStringLiteral("Blk-Start"), blockStartEdit_), 0, 0);
    blocks->addWidget(blockStartEdit_, 0, 1);
    blocks->addWidget(caption(this, QStringLiteral("Blocks:"), blocksEdit_), 0, 2);
    blocks->addWidget(blocksEdit_, 0, 3);
    blocks->addWidget(read_, 0, 4);
    blocks->addWidget(readResult_, 1, 0, 1, 5);
    blocks->addWidget(caption(this, QStringLiteral("Block:"), blockEdit_), 2, 0);
    blocks->addWidget(blockEdit_, 2, 1);
    blocks->addWidget(write_, 2, 4);
    blocks->addWidget(writeData_, 3, 0, 1, 5);

    auto *values = new QGridLayout;
    const std::pair<QPushButton *, QLineEdit *> rows[] = {
        {init_, initEdit_}, {increment_, incrementEdit_}, {decrement_, decrementEdit_}, {readValue_, readValueEdit_}};
    int row = 0;
    for (const auto &[b, edit] : rows) {
        values->addWidget(b, row, 0);
        values->addWidget(edit, row, 1);
        ++row;
    }
    values->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(keys);
    layout->addSpacing(8);
    layout->addLayout(blocks);
    layout->addSpacing(8);
    layout->addLayout(values);
    layout->addStretch();
}

void CMfPlusLevel3Page::bindFields()
{
    fields_.bindInt(sectorEdit_, &sector_);
    fields_.bindInt(blockStartEdit_, &blockStart_);
    fields_.bindInt(blocksEdit_, &blocks_);
    fields_.bindInt(blockEdit_, &block_);
    fields_.bindInt(initEdit_, &initAmount_);
    fields_.bindInt(incrementEdit_, &incrementAmount_);
    fields_.bindInt(decrementEdit_, &decrementAmount_);
    fields_.bindInt(readValueEdit_, &readAmount_);
}

void CMfPlusLevel3Page::connectButtons()
{
    connect(verify_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onVerify);
    connect(update_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onUpdate);
    connect(verifySector_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onVerifySectorKey);
    connect(read_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onRead);
    connect(readResult_, &QComboBox::currentIndexChanged, this, &CMfPlusLevel3Page::onReadResultChosen);
    connect(write_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onWrite);
    connect(init_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onInitValue);
    connect(increment_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onIncrement);
    connect(decrement_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onDecrement);
    connect(readValue_, &QPushButton::clicked, this, &CMfPlusLevel3Page::onReadValue);
}

void CMfPlusLevel3Page::onVerify()
{
    const std::optional<QByteArray> key = keyFrom(key_);
    if (!key)
        return;
    if (const std::optional<unsigned short> number = numberFrom(keyNumber_))
        logOutcome(card().verifyLevel3Key(*key, *number));
}

void CMfPlusLevel3Page::onUpdate()
{
    const std::optional<QByteArray> key = keyFrom(key_);
    if (!key)
        return;
    if (const std::optional<unsigned short> number = numberFrom(keyNumber_))
        logOutcome(card().updateKey(*number, *key));
}

void CMfPlusLevel3Page::onVerifySectorKey()
{
    if (!fields_.read())
        return;
    if (const std::optional<QByteArray> key = keyFrom(sectorKey_))
        logOutcome(card().verifySectorKey(sector_, *key));
}

void CMfPlusLevel3Page::onRead()
{
    if (!fields_.read())
        return;
    // More would overrun the read buffer (a negative count's low byte too).
    if (blocks_ < 0 || blocks_ > kMaxBlocks) {
        log(QStringLiteral("Blocks: must be from 0 to %1!").arg(kMaxBlocks));
        return;
    }
    readResult_->clear();
    unsigned char buffer[CMfPlusCard::kReadBufferSize] = {};
    if (card().readPlain(blockStart_, blocks_, buffer) != 0) {
        logOutcome(1);
        return;
    }
    for (int i = 0; i < blocks_; ++i)
        readResult_->addItem(card().blockText(buffer + 16 * i));
    if (blocks_ > 0) {
        writeData_->setText(readResult_->itemText(0));
        block_ = blockStart_;
        fields_.write();
        readResult_->setCurrentIndex(0);
    }
    logOutcome(0);
}

void CMfPlusLevel3Page::onReadResultChosen(int index)
{
    int start = 0;
    if (index < 0 || !t7::parseInteger(blockStartEdit_->text(), &start))
        return;
    writeData_->setText(readResult_->itemText(index));
    blockEdit_->setText(QString::number(start + index));
}

void CMfPlusLevel3Page::onWrite()
{
    if (!fields_.read())
        return;
    if (const std::optional<QByteArray> data = keyFrom(writeData_, QStringLiteral("Data Input Format Error!")))
        logOutcome(card().writePlain(block_, *data));
}

void CMfPlusLevel3Page::onInitValue()
{
    if (fields_.read())
        logOutcome(card().initValue(block_, initAmount_));
}

void CMfPlusLevel3Page::onIncrement()
{
    if (fields_.read())
        logOutcome(card().increment(block_, incrementAmount_));
}

void CMfPlusLevel3Page::onDecrement()
{
    if (fields_.read())
        logOutcome(card().decrement(block_, decrementAmount_));
}

void CMfPlusLevel3Page::onReadValue()
{
    if (!fields_.read())
        return;
    int value = 0;
    const int result = card().readValue(block_, &value);
    logOutcome(result);
    if (result == 0) {
        readAmount_ = value;
        fields_.write();
    }
}
