#include "panels/mifare_one/ChangKeyPageDlg.h"

#include "dump/AccessConditions.h"
#include "panels/mifare_one/AccessConditionsText.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/ConnectionState.h"
#include "ui/Fonts.h"
#include "ui/HexEdits.h"
#include "ui/MessageSeam.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <cstdlib>

using t7::mifare::asByte;
using t7::mifare::deviceHandle;
using t7::mifare::state;

namespace
{

void fillSectors(QComboBox *list, int count)
{
    for (int i = 0; i < count; ++i)
        list->addItem(QString::number(i));
}

} // namespace

ChangKeyPageDlg::ChangKeyPageDlg(QWidget *parent) : CMifarePage(QStringLiteral("Update Key"), parent)
{
    setObjectName(QStringLiteral("updateKeyPage"));
    requestCard();
    buildControls();
    fields_.bindText(keyAEdit_, &keyAText_);
    fields_.bindText(keyBEdit_, &keyBText_);
    fields_.bindText(controlWordEdit_, &controlWordText_);
    connectHandlers();
}

void ChangKeyPageDlg::requestCard()
{
    int kind = state().cardKind;
    if (rz_request(deviceHandle(), 1, &kind) == 0)
        state().cardKind = kind;
}

void ChangKeyPageDlg::buildControls()
{
    sectorList_ = new QComboBox(this);
    sectorList_->setObjectName(QStringLiteral("sectorList"));
    fillSectors(sectorList_, 16);
    sectorList_->setCurrentIndex(0);
    sectorLabel_ = captionLabel(QStringLiteral("Sector:"), sectorList_, "sectorLabel");

    const auto hexField = [this](int length, const char *name) {
        auto *edit = new CHexEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(length);
        // Room for every digit, with the access conditions beside.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(12, QLatin1Char('D'))) + 12);
        return edit;
    };
    keyAEdit_ = hexField(12, "keyAEdit");
    keyALabel_ = captionLabel(QStringLiteral("KeyA:"), keyAEdit_, "keyALabel");
    keyBEdit_ = hexField(12, "keyBEdit");
    keyBLabel_ = captionLabel(QStringLiteral("KeyB:"), keyBEdit_, "keyBLabel");
    controlWordEdit_ = hexField(8, "controlWordEdit");
    controlWordEdit_->setReadOnly(true);
    controlWordLabel_ = captionLabel(QStringLiteral("Control Word:"), controlWordEdit_, "controlWordLabel");

    updateButton_ = new QPushButton(QStringLiteral("Update"), this);
    updateButton_->setObjectName(QStringLiteral("updateButton"));
    changeWordButton_ = new QPushButton(QStringLiteral("Change Word"), this);
    changeWordButton_->setObjectName(QStringLiteral("changeWordButton"));

    accessConditions_ = new QLabel(this);
    accessConditions_->setObjectName(QStringLiteral("accessConditions"));
    accessConditions_->setAccessibleName(QStringLiteral("Access conditions"));
    accessConditions_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    accessConditions_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    accessConditions_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    accessConditions_->setWordWrap(false);
    // Room for the widest table from the start, so the page never clips it
    // nor grows while the operator types.
    {
        const unsigned char sample[4] = {0xFF, 0x07, 0x80, 0x69};
        QSize room;
        for (const bool bigSector : {false, true}) {
            const QString table = t7::mifare::describeControlWord(sample, bigSector).table;
            room = room.expandedTo(accessConditions_->fontMetrics().size(0, table));
        }
        accessConditions_->setMinimumSize(room + QSize(8, 0));
    }

    auto *grid = new QGridLayout(this);
    grid->addWidget(sectorLabel_, 0, 0);
    grid->addWidget(sectorList_, 0, 1);
    grid->addWidget(keyALabel_, 1, 0);
    grid->addWidget(keyAEdit_, 1, 1);
    grid->addWidget(keyBLabel_, 2, 0);
    grid->addWidget(keyBEdit_, 2, 1);
    grid->addWidget(controlWordLabel_, 3, 0);
    grid->addWidget(controlWordEdit_, 3, 1);
    grid->addWidget(changeWordButton_, 3, 2);
    grid->addWidget(updateButton_, 4, 1);
    grid->addWidget(accessConditions_, 0, 3, 6, 1);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(5, 1);
}

void ChangKeyPageDlg::connectHandlers()
{
    connect(sectorList_, &QComboBox::currentIndexChanged, this, &ChangKeyPageDlg::onSectorChosen);
    connect(updateButton_, &QPushButton::clicked, this, &ChangKeyPageDlg::onUpdate);
    connect(changeWordButton_, &QPushButton::clicked, this, &ChangKeyPageDlg::onChangeWord);
    connect(controlWordEdit_, &QLineEdit::textChanged, this, &ChangKeyPageDlg::showAccessConditions);
    connect(sectorList_, &QComboBox::currentIndexChanged, this, &ChangKeyPageDlg::showAccessConditions);
}

void ChangKeyPageDlg::showAccessConditions()
{
    const QString text = controlWordEdit_->text();
    unsigned char controlWord[4] = {};
    t7::mifare::AccessConditionsText shown;
    if (text.size() < 8)
        shown.table.clear();
    else if (!t7::mifare::HexTextToBytes(text.left(8), controlWord, 4))
        shown.table = shown.sentences = QStringLiteral("Not hexadecimal: nothing to decode.");
    else
        shown = t7::mifare::describeControlWord(controlWord, sectorList_->currentIndex() >= 32);
    accessConditions_->setText(shown.table);
    accessConditions_->setAccessibleDescription(shown.sentences);
    accessConditions_->setStyleSheet(shown.locksSector ? QStringLiteral("color: rgb(200, 0, 0);") : QString());
}

bool ChangKeyPageDlg::confirmLockingControlWord(const unsigned char *controlWord, int sector)
{
    if (dump::accessBytesValid(controlWord))
        return true;
    return t7::question(this, t7::mifare::lockingControlWordWarning() +
                                  QStringLiteral("\nWrite it to sector %1 all the same?").arg(sector));
}

void ChangKeyPageDlg::opening()
{
    const QSignalBlocker quiet(sectorList_);
    sectorList_->setCurrentIndex(0);
    for (QLabel *label : {sectorLabel_, keyALabel_, keyBLabel_, controlWordLabel_})
        label->setFont(t7::boldFont());
    if (state().cardKind == t7::mifare::kCardKindS70) {
        sectorList_->clear();
        fillSectors(sectorList_, 40);
        sectorList_->setCurrentIndex(-1);
    }
    controlWordEdit_->setReadOnly(true);
}

bool ChangKeyPageDlg::findAndAuthenticate(int sector)
{
    unsigned int serial = 0;
    if (rz_card(deviceHandle(), 1, &serial) != 0) {
        t7::appBox(QStringLiteral("Find card error!"));
        return false;
    }
    if (rz_authentication(deviceHandle(), asByte(state().currentKeyMode), asByte(sector)) != 0) {
        t7::panelBox(this, t7::mifare::sectorAuthenticationError(sector));
        return false;
    }
    return true;
}

bool ChangKeyPageDlg::readTrailer(int sector, unsigned char *data)
{
    const unsigned char trailer = asByte(t7::mifare::trailerBlockOfSector(sector));
    switch (state().cardKind) {
    case t7::mifare::kCardKindS70:
        return rz_read_S70(deviceHandle(), trailer, data) == 0;
    case t7::mifare::kCardKindS50:
        return rz_read(deviceHandle(), trailer, data) == 0;
    default:
        return false;
    }
}

void ChangKeyPageDlg::onSectorChosen(int index)
{
    fields_.read();
    if (index < 0)
        return;
    sector_ = index;
    if (!findAndAuthenticate(sector_))
        return;
    unsigned char data[32] = {};
    if (readTrailer(sector_, data)) {
        keyAText_ = QString::fromLatin1(kDefaultKey);
        keyBText_ = QString::fromLatin1(kDefaultKey);
        controlWordText_ = t7::mifare::BytesToHexText(data + 6, 4);
    } else {
        t7::appBox(QStringLiteral("Read") + QStringLiteral("password") + QStringLiteral(" failed!"));
    }
    fields_.write();
}

bool ChangKeyPageDlg::refuseShort(const QString &text, int length, const QString &field)
{
    if (text.size() >= length)
        return false;
    t7::appBox(QStringLiteral("enter") + field + QStringLiteral("The median is not enough!"));
    return true;
}

void ChangKeyPageDlg::onUpdate()
{
    fields_.read();
    const QByteArray sectorText = sectorList_->currentText().toLatin1();
    const int sector = std::atoi(sectorText.constData());
    if (sector == 0 && sectorText != "0") {
        t7::appBox(QStringLiteral("Please enter the numbers!"));
        return;
    }
    sector_ = sector;
    if (refuseShort(keyAText_, 12, QStringLiteral("Password A")) ||
        refuseShort(keyBText_, 12, QStringLiteral("Password B")) ||
        refuseShort(controlWordText_, 8, QStringLiteral("Control Word")))
        return;

    unsigned char keyA[6] = {};
    unsigned char keyB[6] = {};
    unsigned char controlWord[4] = {};
    if (!t7::mifare::HexTextToBytes(keyAText_.left(12), keyA, 6) ||
        !t7::mifare::HexTextToBytes(keyBText_.left(12), keyB, 6) ||
        !t7::mifare::HexTextToBytes(controlWordText_.left(8), controlWord, 4)) {
        t7::appBox(QStringLiteral("Input data is incorrect!"));
        return;
    }
    if (!confirmLockingControlWord(controlWord, sector_))
        return;
    if (!findAndAuthenticate(sector_))
        return;

    if (rz_changeb3(deviceHandle(), asByte(sector_), keyA, controlWord, 0, keyB) == 0) {
        // Over USB the card is halted, so the next operation has to find it again.
        if (t7::connection().serialLink == 0)
            rz_halt(deviceHandle());
        t7::appBox(QStringLiteral("password") + QStringLiteral("Update") + QStringLiteral(" success!"));
    } else {
        t7::appBox(QStringLiteral("password") + QStringLiteral("Update") + QStringLiteral(" failed!"));
    }
    controlWordEdit_->setReadOnly(true);
}

void ChangKeyPageDlg::onChangeWord()
{
    if (controlWordEdit_->isReadOnly() &&
        t7::question(this, QStringLiteral("Control bits once changed,the data this sector may not be read, continue?")))
        controlWordEdit_->setReadOnly(false);
    controlWordEdit_->setFocus();
}
