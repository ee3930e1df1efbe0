// The whole-card, S70 quick and ID card panels against the simulated reader
// library, with cards placed on a private bench.
#include "panels/mifare_one/CIdCardDlg.h"
#include "panels/mifare_one/CMifareOneRwDlg.h"
#include "panels/mifare_one/CS70EasyDlg.h"

#include "tests/e2e/SimReaderTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::IsEmpty;

namespace
{

class QuickPanelsEndToEnd : public e2e::SimReaderTest
{
protected:
    // Places the card, opens the first USB reader and loads the transport key
    // FFFFFFFFFFFF as key A of the first key set for all 16 rows.
    void openReaderWith(const std::string &placeArgs)
    {
        SimReaderTest::openReaderWith(placeArgs);
        if (HasFatalFailure())
            return;
        ASSERT_NE(handle, 32);
        unsigned char transportKey[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        for (unsigned char row = 0; row < 16; ++row)
            ASSERT_EQ(rz_load_key(handle, 0, row, transportKey), 0) << int(row);
    }

    static QStringList upperLines(const QListWidget *list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text().toUpper();
        return texts;
    }
    static void clickLine(QListWidget *list, int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    static void click(QWidget *dialog, const char *button)
    {
        QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    }

    QVD_ENTRY(lib, rz_load_key);
};

TEST_F(QuickPanelsEndToEnd, WholeCardPanelReadsAnS50WritesOneBlockAndReadsItBack)
{
    openReaderWith("usb1 typea s50 --uid 04A1B2C3");
    CMifareOneRwDlg dialog;
    dialog.show();
    click(&dialog, "selectAll");
    click(&dialog, "read");
    EXPECT_THAT(boxes.texts(), IsEmpty());
    EXPECT_EQ(dialog.findChild<QListWidget *>("results")->count(), 0);
    for (int s = 0; s < CMifareOneRwDlg::kSectors; ++s)
        EXPECT_EQ(dialog.findChild<QListWidget *>(QStringLiteral("sectorList%1").arg(s))->count(), 4) << s;
    QListWidget *sector0 = dialog.findChild<QListWidget *>("sectorList0");
    EXPECT_TRUE(sector0->item(0)->text().toUpper().startsWith("04A1B2C3")) << sector0->item(0)->text().toStdString();

    QListWidget *sector5 = dialog.findChild<QListWidget *>("sectorList5");
    clickLine(sector5, 2);
    ASSERT_EQ(dialog.blockNumber(), 22);
    const QString data = QStringLiteral("0123456789ABCDEFFEDCBA9876543210");
    dialog.findChild<QLineEdit *>("blockEdit")->setText(data);
    click(&dialog, "write");
    EXPECT_EQ(boxes.texts(), QStringList({"Writedata success!"}));

    click(&dialog, "clearAll");
    dialog.findChild<QCheckBox *>("sectorBox5")->setChecked(true);
    click(&dialog, "read");
    ASSERT_EQ(sector5->count(), 4);
    EXPECT_EQ(sector5->item(2)->text().toUpper(), data);
    EXPECT_EQ(sector0->count(), 0);
}

TEST_F(QuickPanelsEndToEnd, QuickPanelReadsAndWritesASixteenBlockSectorOfAnS70)
{
    openReaderWith("usb1 typea s70");
    CS70EasyDlg dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_THAT(boxes.texts(), IsEmpty());
    QListWidget *lines = dialog.findChild<QListWidget *>("lines");
    EXPECT_EQ(lines->count(), 4);

    QComboBox *sector = dialog.findChild<QComboBox *>("sector");
    sector->setCurrentIndex(35);
    ASSERT_THAT(boxes.texts(), IsEmpty());
    ASSERT_EQ(lines->count(), 16);
    EXPECT_TRUE(dialog.findChild<QLabel *>("blockLabels")->text().startsWith("176\n177\n"));

    clickLine(lines, 4);
    QTest::mouseDClick(lines->viewport(), Qt::LeftButton, {}, lines->visualItemRect(lines->item(4)).center());
    QLineEdit *editor = dialog.findChild<QLineEdit *>("lineEditor");
    ASSERT_TRUE(editor->isVisible());
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    const QString data = QStringLiteral("A5A5A5A5000000001111111122222222");
    QTest::keyClicks(editor, data);
    clickLine(lines, 5);
    ASSERT_EQ(lines->item(4)->text(), data);
    const QStringList before = upperLines(lines);
    click(&dialog, "write");
    EXPECT_EQ(boxes.texts(), QStringList({"Write success!"}));

    sector->setCurrentIndex(34);
    sector->setCurrentIndex(35);
    EXPECT_EQ(upperLines(lines), before);
    EXPECT_EQ(lines->item(4)->text(), data);
}

TEST_F(QuickPanelsEndToEnd, IdCardPanelReadsTheNumberOfTheCardOnTheReader)
{
    openReaderWith("usb1 id125 id --number 12345678");
    CIdCardDlg dialog;
    dialog.show();
    click(&dialog, "read");
    EXPECT_EQ(dialog.logText(), "0012345678\r\n");
    bench.run("remove usb1 id125");
    click(&dialog, "read");
    EXPECT_EQ(dialog.logText(), "0012345678\r\n");
    EXPECT_THAT(boxes.texts(), IsEmpty());
}

} // namespace
