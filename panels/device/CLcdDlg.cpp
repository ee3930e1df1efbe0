#include "panels/device/CLcdDlg.h"

#include "panels/device/DevicePanels.h"
#include "reader/ConnectionState.h"
#include "ui/MessageSeam.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QPushButton *lcdButton(QWidget *parent, const QString &caption, const char *name)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CLcdDlg::CLcdDlg(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    fields_.bindText(textEdit_, &displayText_);
    connect(lightOn_, &QPushButton::clicked, this, &CLcdDlg::onLightOn);
    connect(lightOff_, &QPushButton::clicked, this, &CLcdDlg::onLightOff);
    connect(show_, &QPushButton::clicked, this, &CLcdDlg::onShow);
    connect(clear_, &QPushButton::clicked, this, &CLcdDlg::onClear);
}

void CLcdDlg::buildLayout()
{
    setObjectName(QStringLiteral("CLcdDlg"));
    setWindowTitle(QStringLiteral("LCD operation"));

    lightOn_ = lcdButton(this, QStringLiteral("Light ON"), "lightOn");
    lightOff_ = lcdButton(this, QStringLiteral("Light OFF"), "lightOff");
    auto *lightGroup = new QGroupBox(this);
    lightGroup->setObjectName(QStringLiteral("lightGroup"));
    auto *lightRow = new QHBoxLayout(lightGroup);
    lightRow->addWidget(lightOn_);
    lightRow->addWidget(lightOff_);

    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setObjectName(QStringLiteral("displayText"));
    textEdit_->setTabChangesFocus(true);
    textEdit_->setMinimumSize(280, 90);
    show_ = lcdButton(this, QStringLiteral("Show"), "show");
    clear_ = lcdButton(this, QStringLiteral("Clear"), "clear");
    auto *textGroup = new QGroupBox(this);
    textGroup->setObjectName(QStringLiteral("textGroup"));
    auto *textBox = new QVBoxLayout(textGroup);
    textBox->addWidget(
        t7::device::captionLabel(this, QStringLiteral("Enter the string to LCD show"), textEdit_, "displayTextLabel"));
    textBox->addWidget(textEdit_);
    auto *textButtons = new QHBoxLayout;
    textButtons->addWidget(show_);
    textButtons->addWidget(clear_);
    textBox->addLayout(textButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lightGroup);
    layout->addWidget(textGroup, 1);
    layout->addLayout(t7::device::exitRow(this, QStringLiteral("Exit(&E)")));
}

void CLcdDlg::onLightOn()
{
    t7::panelBox(
        this, t7::device::outcome(QStringLiteral("Light"), rz_lcd_setbright(t7::connection().deviceHandle, kLightOn)));
}

void CLcdDlg::onLightOff()
{
    t7::panelBox(this, t7::device::outcome(QStringLiteral("Backlight off"),
                                           rz_lcd_setbright(t7::connection().deviceHandle, kLightOff)));
}

void CLcdDlg::onShow()
{
    fields_.read();
    // A line break reaches the reader as CR LF, as typed in a multi-line edit.
    QString text = displayText_;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QByteArray bytes = text.toLocal8Bit();
    t7::panelBox(
        this, t7::device::outcome(QStringLiteral("Show"), rz_lcd_dispstr(t7::connection().deviceHandle, bytes.data())));
}

void CLcdDlg::onClear()
{
    t7::panelBox(this, t7::device::outcome(QStringLiteral("Clear"), rz_lcd_dispclear(t7::connection().deviceHandle)));
}
