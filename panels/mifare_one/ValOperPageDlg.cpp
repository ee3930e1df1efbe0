#include "panels/mifare_one/ValOperPageDlg.h"

#include "panels/mifare_one/KeyChoice.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "ui/ColoredControls.h"
#include "ui/Fonts.h"
#include "ui/HexEdits.h"
#include "ui/MessageSeam.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <tuple>

using t7::mifare::asByte;
using t7::mifare::deviceHandle;
using t7::mifare::state;

ValOperPageDlg::ValOperPageDlg(QWidget *parent) : CMifarePage(QStringLiteral("Value Operate"), parent)
{
    setObjectName(QStringLiteral("valuePage"));
    buildControls();
    bindFields();
    connectHandlers();
}

void ValOperPageDlg::buildControls()
{
    auto *keyType = new QGroupBox(this);
    keyType->setObjectName(QStringLiteral("keyTypeGroup"));
    std::tie(keyA_, keyB_) = t7::mifare::makeKeyTypeButtons(keyType);
    auto *keyRow = new QHBoxLayout(keyType);
    keyRow->addWidget(keyA_);
    keyRow->addWidget(keyB_);

    sectorEdit_ = new CDecEdit(this);
    sectorEdit_->setObjectName(QStringLiteral("sectorEdit"));
    sectorLabel_ = captionLabel(QStringLiteral("Sector"), sectorEdit_, "sectorLabel");
    blockList_ = new QComboBox(this);
    blockList_->setObjectName(QStringLiteral("blockList"));
    blockList_->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    blockLabel_ = captionLabel(QStringLiteral("Block"), blockList_, "blockLabel");
    addressLabel_ = new CBlueStatic(this);
    addressLabel_->setObjectName(QStringLiteral("addressLabel"));

    const auto operation = [this](const QString &caption, const char *buttonName, QLineEdit *edit,
                                  const char *editName) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(buttonName));
        edit->setObjectName(QString::fromLatin1(editName));
        edit->setAccessibleName(caption);
        return button;
    };
    initialEdit_ = new CDecEdit(this);
    initialButton_ = operation(QStringLiteral("Initial value"), "initialButton", initialEdit_, "initialEdit");
    readEdit_ = new QLineEdit(this);
    readButton_ = operation(QStringLiteral("Read value"), "readValueButton", readEdit_, "readValueEdit");
    addEdit_ = new CDecEdit(this);
    addButton_ = operation(QStringLiteral("Add value"), "addButton", addEdit_, "addEdit");
    subtractEdit_ = new CDecEdit(this);
    subtractButton_ = operation(QStringLiteral("Subtract value"), "subtractButton", subtractEdit_, "subtractEdit");

    auto *grid = new QGridLayout(this);
    grid->addWidget(keyType, 0, 0, 1, 4);
    grid->addWidget(sectorLabel_, 1, 0);
    grid->addWidget(sectorEdit_, 1, 1);
    grid->addWidget(blockLabel_, 1, 2);
    grid->addWidget(blockList_, 1, 3);
    grid->addWidget(addressLabel_, 2, 0, 1, 4);
    grid->addWidget(initialButton_, 3, 0, 1, 2);
    grid->addWidget(initialEdit_, 3, 2, 1, 2);
    grid->addWidget(readButton_, 4, 0, 1, 2);
    grid->addWidget(readEdit_, 4, 2, 1, 2);
    grid->addWidget(addButton_, 5, 0, 1, 2);
    grid->addWidget(addEdit_, 5, 2, 1, 2);
    grid->addWidget(subtractButton_, 6, 0, 1, 2);
    grid->addWidget(subtractEdit_, 6, 2, 1, 2);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(7, 1);
}

void ValOperPageDlg::bindFields()
{
    fields_.bindInt(sectorEdit_, &sector_, 0, 39);
    fields_.bindComboIndex(blockList_, &blockIndex_);
    fields_.bindInt(initialEdit_, &initialValue_);
    fields_.bindText(readEdit_, &readValueText_);
    fields_.bindInt(addEdit_, &addValue_);
    fields_.bindInt(subtractEdit_, &subtractValue_);
    const QSignalBlocker quiet(blockList_);
    fields_.write();
}

void ValOperPageDlg::connectHandlers()
{
    sectorEdit_->installEventFilter(this);
    connect(blockList_, &QComboBox::currentIndexChanged, this, &ValOperPageDlg::onBlockChosen);
    connect(initialButton_, &QPushButton::clicked, this, &ValOperPageDlg::onInitialValue);
    connect(readButton_, &QPushButton::clicked, this, &ValOperPageDlg::onReadValue);
    connect(addButton_, &QPushButton::clicked, this, &ValOperPageDlg::onAddValue);
    connect(subtractButton_, &QPushButton::clicked, this, &ValOperPageDlg::onSubtractValue);
}

bool ValOperPageDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == sectorEdit_ && event->type() == QEvent::FocusOut)
        onSectorLeft();
    return CMifarePage::eventFilter(watched, event);
}

void ValOperPageDlg::opening()
{
    keyA_->setChecked(true);
    sectorLabel_->setFont(t7::boldFont());
    blockLabel_->setFont(t7::boldFont());
    absoluteBlock_ = blockIndex_ + 4 * sector_;
    wordInitial_ = QStringLiteral("Initial value");
    wordIncrease_ = QStringLiteral("Increase value");
    wordDecrease_ = QStringLiteral("Decrease value");
    wordSuccess_ = QStringLiteral(" success!");
    wordFailed_ = QStringLiteral(" failed!");
}

void ValOperPageDlg::onSectorLeft()
{
    // The range message itself takes the focus away; one report is enough.
    if (readingSector_)
        return;
    readingSector_ = true;
    const bool read = fields_.read();
    readingSector_ = false;
    if (!read)
        return;
    const QSignalBlocker quiet(blockList_);
    blockList_->clear();
    const int entries = sector_ > 31 ? 16 : 4;
    for (int i = 0; i < entries; ++i)
        blockList_->addItem(QString::number(i));
    blockList_->setCurrentIndex(-1);
}

// Every handler stops when a field was refused: going on with the older values
// would write a block or an amount the operator did not enter.
bool ValOperPageDlg::sectorFitsCard() const
{
    return sector_ <= (state().cardKind == t7::mifare::kCardKindS50 ? 15 : 39);
}

bool ValOperPageDlg::refuseCodeBlock() const
{
    if (!t7::mifare::isTrailerBlock(absoluteBlock_))
        return false;
    t7::appBox(QStringLiteral("This is the code block!"));
    return true;
}

void ValOperPageDlg::onBlockChosen()
{
    if (!fields_.read() || !sectorFitsCard())
        return;
    absoluteBlock_ = sector_ < 32 ? blockIndex_ + 4 * sector_ : blockIndex_ + 16 * sector_ - 384;
    addressLabel_->setText(QStringLiteral("Absolute address") + QStringLiteral(": ") + QString::number(absoluteBlock_));
    const QSignalBlocker quiet(blockList_);
    fields_.write();
}

bool ValOperPageDlg::findAndAuthenticate()
{
    unsigned int serial = 0;
    if (t7::GetCardSerial(deviceHandle(), serial).isEmpty()) {
        t7::appBox(QStringLiteral("Find card error!"));
        return false;
    }
    if (rz_authentication(deviceHandle(), asByte(state().currentKeyMode), asByte(sector_)) != 0) {
        t7::panelBox(this, t7::mifare::sectorAuthenticationError(sector_));
        return false;
    }
    return true;
}

void ValOperPageDlg::onInitialValue()
{
    if (!fields_.read() || !sectorFitsCard() || refuseCodeBlock() || !findAndAuthenticate())
        return;
    const int result = rz_initval(deviceHandle(), asByte(absoluteBlock_), initialValue_);
    if (result != 0)
        t7::appBox(QString::number(result));
    else
        t7::panelBox(this, wordInitial_ + wordSuccess_);
}

void ValOperPageDlg::onReadValue()
{
    if (!fields_.read() || !sectorFitsCard() || !findAndAuthenticate())
        return;
    int value = 0;
    if (rz_readval(deviceHandle(), asByte(absoluteBlock_), &value) != 0) {
        t7::appBox(QStringLiteral("Read value") + wordFailed_);
        return;
    }
    readValueText_ = QString::number(value);
    const QSignalBlocker quiet(blockList_);
    fields_.write();
}

bool ValOperPageDlg::increase()
{
    if (!findAndAuthenticate())
        return false;
    if (rz_increment(deviceHandle(), asByte(absoluteBlock_), addValue_) != 0) {
        t7::appBox(wordIncrease_ + wordFailed_);
        return false;
    }
    return true;
}

void ValOperPageDlg::onAddValue()
{
    if (!fields_.read() || !sectorFitsCard() || refuseCodeBlock())
        return;
    if (!increase()) {
        t7::panelBox(this, wordIncrease_ + wordFailed_);
        return;
    }
    const bool stored = rz_transfer(deviceHandle(), asByte(absoluteBlock_)) == 0;
    t7::panelBox(this, wordIncrease_ + (stored ? wordSuccess_ : wordFailed_));
}

void ValOperPageDlg::onSubtractValue()
{
    if (!fields_.read() || !sectorFitsCard() || refuseCodeBlock())
        return;
    if (!t7::mifare::FindCardAndAuthenticate(deviceHandle(), sector_, state().currentKeyMode))
        return;
    if (rz_decrement(deviceHandle(), asByte(absoluteBlock_), subtractValue_) != 0) {
        t7::appBox(wordDecrease_ + wordFailed_);
        return;
    }
    if (rz_transfer(deviceHandle(), asByte(absoluteBlock_)) == 0)
        t7::panelBox(this, wordDecrease_ + wordSuccess_);
    else
        t7::appBox(wordDecrease_ + wordFailed_);
}
