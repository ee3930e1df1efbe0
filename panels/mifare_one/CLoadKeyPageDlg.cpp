#include "panels/mifare_one/CLoadKeyPageDlg.h"

#include "panels/mifare_one/KeyChoice.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/ConnectionState.h"
#include "ui/ColoredControls.h"
#include "ui/MessageSeam.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cstring>
#include <tuple>

namespace
{

const char kS50RowLabels[] = "00\n01\n02\n03\n04\n05\n06\n07\n08\n09\n10\n11\n12\n13\n14\n15";
// Row i also stands for sectors i+16 and i+32 of an S70.
const char kS70RowLabels[] = "00(16/32)\n01(17/33)\n02(18/34)\n"
                             "03(19/35)\n04(20/36)\n05(21/37)\n06(22/38)\n07(23/39)"
                             "\n08(24)   \n09(25)   \n10(26)   \n11(27)   \n12(28)   \n13(29)   \n14(30)   \n15(31)   ";

// First and last byte of the key, the first character as the mnemonic: "&6D-97".
QString presetCaption(const QString &key)
{
    return QLatin1Char('&') + key.left(2) + QLatin1Char('-') + key.right(2);
}

} // namespace

const char *const CLoadKeyPageDlg::kPresets[3] = {"6D21F08C4E97", "3A7C19E45B20", "92E4573AC1B8"};

CLoadKeyPageDlg::CLoadKeyPageDlg(QWidget *parent) : CMifarePage(QStringLiteral("Load key"), parent)
{
    setObjectName(QStringLiteral("loadKeyPage"));
    buildControls();
    bindFields();
    connectHandlers();
}

void CLoadKeyPageDlg::buildControls()
{
    rowLabels_ = new CBlueStatic(this);
    rowLabels_->setObjectName(QStringLiteral("rowLabels"));
    rowLabels_->setText(QString::fromLatin1(kS50RowLabels));
    rowLabels_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    keyList_ = new QListWidget(this);
    keyList_->setObjectName(QStringLiteral("keyList"));
    keyList_->setSelectionMode(QAbstractItemView::MultiSelection);
    keyList_->setUniformItemSizes(true);
    keyList_->setAccessibleName(QStringLiteral("Sector keys"));
    keyList_->setFont(rowLabels_->font());
    keyList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // One list row per label line, so the sector numbers stand beside their keys.
    const int lineHeight = rowLabels_->fontMetrics().lineSpacing();
    keyList_->setStyleSheet(
        QStringLiteral("QListWidget::item { height: %1px; padding: 0px; margin: 0px; }").arg(lineHeight));
    keyList_->setFixedHeight(lineHeight * kRows + 2 * keyList_->frameWidth() + 2);
    keyList_->setMinimumWidth(keyList_->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000000")) + 12);

    std::tie(keyA_, keyB_) = t7::mifare::makeKeyTypeButtons(this);

    keySet_ = t7::mifare::makeKeySetSelector(this);
    keySet_->setCurrentIndex(0);
    keySet_->setVisible(false);

    loadButton_ = new QPushButton(QStringLiteral("Load key(&L)"), this);
    loadButton_->setObjectName(QStringLiteral("loadKeyButton"));

    currentValue_ = new QLineEdit(this);
    currentValue_->setObjectName(QStringLiteral("currentValue"));
    currentValue_->setMaxLength(12);
    currentValue_->setAccessibleName(QStringLiteral("Current value"));
    changeButton_ = new QPushButton(QStringLiteral("Change Cur-Value(&C)"), this);
    changeButton_->setObjectName(QStringLiteral("changeValueButton"));

    auto *presets = new QGroupBox(QStringLiteral("Select key"), this);
    presets->setObjectName(QStringLiteral("selectKeyGroup"));
    auto *presetRow = new QHBoxLayout(presets);
    for (int i = 0; i < 3; ++i) {
        presetButtons_[i] = new QPushButton(presetCaption(QString::fromLatin1(kPresets[i])), presets);
        presetButtons_[i]->setObjectName(QStringLiteral("presetButton%1").arg(i));
        presetRow->addWidget(presetButtons_[i]);
    }

    auto *side = new QVBoxLayout;
    auto *keyType = new QHBoxLayout;
    keyType->addWidget(keyA_);
    keyType->addWidget(keyB_);
    keyType->addStretch();
    side->addLayout(keyType);
    side->addWidget(loadButton_);
    side->addSpacing(16);
    side->addWidget(currentValue_);
    side->addWidget(changeButton_);
    side->addSpacing(16);
    side->addWidget(presets);
    side->addStretch();

    auto *listRow = new QHBoxLayout;
    listRow->setSpacing(2);
    listRow->addWidget(rowLabels_, 0, Qt::AlignTop);
    listRow->addWidget(keyList_, 0, Qt::AlignTop);

    auto *page = new QHBoxLayout(this);
    page->addLayout(listRow);
    page->addSpacing(16);
    page->addLayout(side, 1);
}

void CLoadKeyPageDlg::bindFields()
{
    fields_.bindText(currentValue_, &editText_);
    fields_.bindComboIndex(keySet_, &keySetIndex_);
    fields_.write();
}

void CLoadKeyPageDlg::connectHandlers()
{
    for (int i = 0; i < 3; ++i)
        connect(presetButtons_[i], &QPushButton::clicked, this, [this, i] { choosePreset(i); });
    connect(changeButton_, &QPushButton::clicked, this, &CLoadKeyPageDlg::onChangeCurrentValue);
    connect(loadButton_, &QPushButton::clicked, this, &CLoadKeyPageDlg::onLoadKey);
}

void CLoadKeyPageDlg::opening()
{
    presetText_ = QString::fromLatin1(kPresets[1]);
    keyA_->setChecked(true);
    fillKeyList(presetText_);
    if (t7::mifare::state().cardKind == t7::mifare::kCardKindS70)
        rowLabels_->setText(QString::fromLatin1(kS70RowLabels));
}

void CLoadKeyPageDlg::fillKeyList(const QString &key)
{
    keyList_->clear();
    for (int i = 0; i < kRows; ++i)
        keyList_->addItem(key);
}

void CLoadKeyPageDlg::choosePreset(int preset)
{
    presetText_ = QString::fromLatin1(kPresets[preset]);
    editText_ = presetText_;
    fillKeyList(presetText_);
    fields_.write();
}

void CLoadKeyPageDlg::onChangeCurrentValue()
{
    fields_.read();
    if (editText_.size() != 12) {
        t7::appBox(QStringLiteral("Length of chars inserted not enough!"));
    } else {
        for (int row = 0; row < kRows; ++row) {
            if (!keyList_->item(row)->isSelected())
                continue;
            delete keyList_->takeItem(row);
            keyList_->insertItem(row, editText_);
        }
    }
    fields_.write();
}

void CLoadKeyPageDlg::onLoadKey()
{
    const QString message = QStringLiteral("Load") + QStringLiteral("password");
    const int handle = t7::connection().deviceHandle;
    for (int row = 0; row < kRows; ++row) {
        const QByteArray rowText = keyList_->item(row)->text().toLatin1();
        char buffer[17] = {};
        std::memcpy(buffer, rowText.constData(), std::min<std::size_t>(rowText.size(), 16));
        unsigned char key[6] = {};
        a_hex(key, buffer, 6);
        fields_.read();
        const int keyMode = t7::mifare::MakeKeyMode(keyA_->isChecked(), keySetIndex_);
        if (rz_load_key(handle, static_cast<unsigned char>(keyMode), static_cast<unsigned char>(row), key) != 0) {
            t7::appBox(message + QStringLiteral(" failed!"));
            return;
        }
    }
    t7::panelBox(this, message + QStringLiteral(" success!"));
}
