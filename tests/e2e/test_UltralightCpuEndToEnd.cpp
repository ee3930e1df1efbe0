// The Ultralight, Ultralight-C, contactless CPU and Mifare Pro panels against
// the simulated reader library, with cards placed on a private bench.
#include "panels/contactless/CFcpuDlg.h"
#include "panels/contactless/CMifareProDlg.h"
#include "panels/contactless/CUltralightCDlg.h"
#include "panels/contactless/CUltralightDlg.h"
#include "tests/e2e/SimReaderTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace
{

class ContactlessEndToEnd : public e2e::SimReaderTest
{
protected:
    static void click(QWidget *dialog, const char *button)
    {
        QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    }
    // The newest line of a log kept newest first.
    static QString newestLine(const QString &log) { return log.section(QStringLiteral("\r\n"), 0, 0); }
};

TEST_F(ContactlessEndToEnd, UltralightPageIsReadEditedWrittenAndReadBack)
{
    openReaderWith("usb1 typea ultralight --uid 04A1B2C3D4E5F6");
    CUltralightDlg dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_THAT(boxes.texts(), IsEmpty());
    EXPECT_EQ(dialog.pageByte(0, 0), 0x04);
    EXPECT_EQ(dialog.pageByte(1, 3), 0xF6);
    EXPECT_EQ(dialog.pageByte(2, 1), 0x48);

    QTest::mouseDClick(&dialog, Qt::LeftButton, {}, dialog.cellRect(4, 0).center());
    QTest::keyClick(&dialog, Qt::Key_A);
    QTest::keyClick(&dialog, Qt::Key_Right);
    QTest::keyClick(&dialog, Qt::Key_B);
    ASSERT_EQ(dialog.pageByte(4, 0), 0xAB);
    click(&dialog, "writeCard");
    EXPECT_EQ(dialog.statusText(), "4-16 page-data write success!");
    EXPECT_THAT(bench.run("dump usb1 typea"), HasSubstr("04: AB000000"));

    dialog.setPageByte(4, 0, 0);
    click(&dialog, "readCard");
    EXPECT_EQ(dialog.pageByte(4, 0), 0xAB);
    click(&dialog, "findCard");
    EXPECT_EQ(dialog.statusText(), QStringLiteral("Card number:\n%1").arg(0x8804A1B2u ^ 0xC3D4E5F6u));
    EXPECT_THAT(boxes.texts(), IsEmpty());
}

TEST_F(ContactlessEndToEnd, UltralightCAuthenticatesProtectsFromPageThirtyAndDescribesIt)
{
    openReaderWith("usb1 typea ultralightc --uid 04112233445566");
    CUltralightCDlg dialog;
    dialog.show();
    click(&dialog, "findCard");
    EXPECT_EQ(dialog.findChild<QLabel *>("cardValue")->text(), "8804112233445566");
    click(&dialog, "verifyKey"); // the preset is not this card's key
    dialog.findChild<QLineEdit *>("key")->setText(QStringLiteral("425245414B4D454946594F5543414E21"));
    click(&dialog, "findCard");
    click(&dialog, "verifyKey");

    auto *pages = dialog.findChild<QTreeWidget *>("pages");
    click(&dialog, "readCard");
    ASSERT_EQ(pages->topLevelItemCount(), 44);
    pages->setCurrentItem(pages->topLevelItem(30));
    click(&dialog, "setSafePage");
    click(&dialog, "readCard");
    pages->setCurrentItem(pages->topLevelItem(35));
    auto *description = dialog.findChild<QLabel *>("description");
    EXPECT_EQ(description->text(), "dataPg, SafePg, WriteProtect");
    pages->setCurrentItem(pages->topLevelItem(29));
    EXPECT_EQ(description->text(), "dataPg");
    EXPECT_EQ(dialog.logText(),
              "Password authtication failed!\r\nPassword authentication success!\r\nSetup success!\r\n");
    EXPECT_THAT(bench.run("dump usb1 typea"), HasSubstr("AUTH0 1E, AUTH1 01"));
}

TEST_F(ContactlessEndToEnd, CpuCardsOfBothTypesResetAndAnswerSelectAndReadBinary)
{
    openReaderWith("usb1 typea cpua --uid 01020304");
    bench.run("place usb1 typeb typeb --uid A1B2C3D4");
    struct Case {
        int kind;
        unsigned char protocol; // as the card type setting leaves the reader
        QString information;
        int digits;
    };
    const Case cases[] = {{10, 'A', "067577810280", 12}, {CFcpuDlg::kTypeB, 'B', "50A1B2C3D4", 28}};
    for (const Case &c : cases) {
        ASSERT_EQ(rz_config_card(handle, c.protocol), 0);
        CFcpuDlg dialog(c.kind);
        dialog.show();
        click(&dialog, "rfReset");
        click(&dialog, "cardReset");
        const QString information = newestLine(dialog.logText()).mid(QStringLiteral("Reset Information: ").size());
        EXPECT_TRUE(information.startsWith(c.information)) << information.toStdString();
        EXPECT_EQ(information.size(), c.digits);
        if (c.kind != CFcpuDlg::kTypeB) {
            EXPECT_THAT(dialog.logText().toStdString(), HasSubstr("\r\nCard Serial Number: 16909060\r\nrz_card OK!"));
        }
        auto *command = dialog.findChild<QPlainTextEdit *>("command");
        command->setPlainText(QStringLiteral("00A4040C09F00000543744454D4F"));
        click(&dialog, "sendCommand");
        EXPECT_EQ(newestLine(dialog.logText()), "Returned Information: 9000");
        command->setPlainText(QStringLiteral("00B0950004"));
        click(&dialog, "sendCommand");
        EXPECT_EQ(newestLine(dialog.logText()), "Returned Information: 000000009000");
        click(&dialog, "rfReset");
        click(&dialog, "sendCommand");
        EXPECT_EQ(newestLine(dialog.logText()), "Command Error!") << "an RF reset drops the ISO 14443-4 state";
    }
}

TEST_F(ContactlessEndToEnd, MifareProResetsAndExchangesACommand)
{
    openReaderWith("usb1 typea mifarepro --uid 11223344");
    CMifareProDlg dialog;
    dialog.show();
    click(&dialog, "reset");
    EXPECT_EQ(dialog.transcript(), "0B78807002" + QString::fromLatin1(QByteArray("MIFPRO").toHex().toUpper()) + "\r\n");
    dialog.findChild<QLineEdit *>("command")->setText(QStringLiteral("00A40000023F00"));
    click(&dialog, "send");
    const QStringList lines = dialog.transcript().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[1], "Send :");
    EXPECT_EQ(lines[3], "Receive:");
    EXPECT_TRUE(lines[4].startsWith("6F") && lines[4].endsWith("9000")) << lines[4].toStdString();
}

} // namespace
