// The Mifare One sheet against the simulated reader library and its cards.
#include "panels/mifare_one/AuthenPageDlg.h"
#include "panels/mifare_one/AutoTestPageDlg.h"
#include "panels/mifare_one/CLoadKeyPageDlg.h"
#include "panels/mifare_one/CMifareOneDlg.h"
#include "panels/mifare_one/ChangKeyPageDlg.h"
#include "panels/mifare_one/MifareOne.h"
#include "panels/mifare_one/RwOperPageDlg.h"
#include "panels/mifare_one/ValOperPageDlg.h"
#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"
#include "tests/e2e/MifareSheetDriver.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/SimBench.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using t7::mifare::state;
using ::testing::ElementsAre;

namespace
{

const QString kTransportKey = QStringLiteral("FFFFFFFFFFFF");

class MifareOneEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bench.run("place usb1 typea " + cardKind() + " --uid 04A1B2C3");
        state().cardKind = 0;
        state().currentKeyMode = 0;
        state().verified = 0;
        state().verifiedSector = 0;
        t7::connection().reset();
        handle = rz_init(100, 0);
        ASSERT_GT(handle, 0) << "the simulated USB reader opens";
        t7::connection().deviceHandle = handle;
        t7::connection().portOpen = 1;
    }
    void TearDown() override
    {
        driver.reset();
        sheet.reset();
        rz_exit(handle);
        t7::connection().reset();
    }
    virtual std::string cardKind() const { return "s50"; }

    void openSheet(int startPage)
    {
        sheet = std::make_unique<CMifareOneDlg>(startPage);
        sheet->show();
        driver = std::make_unique<e2e::MifareSheetDriver>(*sheet, boxes);
    }
    sim::SimBench bench;
    fake::MessageRecorder boxes;
    qvd::LibraryRef lib = qvd::Library::load();
    QVD_ENTRY(lib, rz_init);
    QVD_ENTRY(lib, rz_exit);
    int handle = 0;
    std::unique_ptr<CMifareOneDlg> sheet;
    std::unique_ptr<e2e::MifareSheetDriver> driver;
};

TEST_F(MifareOneEndToEnd, WritesABlockOfAVerifiedSectorAndReadsItBack)
{
    openSheet(7);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Mifare One CARD"));
    EXPECT_EQ(state().cardKind, t7::mifare::kCardKindS50);
    driver->loadKeys(kTransportKey);
    ASSERT_TRUE(driver->verify(1)) << boxes.texts().join('|').toStdString();

    QWidget *page = sheet->readWritePage();
    driver->readBlock(1);
    driver->setText(page, "hexEdit", QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    boxes.clear();
    driver->click(page, "writeHexButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Writedata success!"));
    driver->setText(page, "hexEdit", QString());
    EXPECT_EQ(driver->readBlock(1), QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();

    // Written through to the bench: the dump shows block 5.
    const std::string dump = bench.run("dump usb1 typea");
    EXPECT_NE(QString::fromStdString(dump).toUpper().indexOf(QStringLiteral("00112233445566778899AABBCCDDEEFF")), -1)
        << dump;
}

TEST_F(MifareOneEndToEnd, ATrailerReadsWithKeyAMasked)
{
    openSheet(0);
    driver->loadKeys(kTransportKey);
    ASSERT_TRUE(driver->verify(1));
    EXPECT_EQ(driver->readBlock(3), QStringLiteral("************FF078069FFFFFFFFFFFF"));
    EXPECT_EQ(driver->text(sheet->readWritePage(), "statusLabel"),
              QStringLiteral("This is the code block,************ the codes"));
    EXPECT_FALSE(driver->child<QAbstractButton>(sheet->readWritePage(), "writeHexButton")->isEnabled());
}

TEST_F(MifareOneEndToEnd, AWrongKeyFailsVerification)
{
    openSheet(0);
    driver->loadKeys(QStringLiteral("6D21F08C4E97"));
    EXPECT_FALSE(driver->verify(1));
    EXPECT_THAT(boxes.texts(), ElementsAre("1Sector authentication error!"));
    EXPECT_EQ(state().verified, 0);
}

TEST_F(MifareOneEndToEnd, ValueOperationsAddAndSubtract)
{
    openSheet(4);
    driver->loadKeys(kTransportKey);
    ASSERT_TRUE(driver->verify(1));
    QWidget *page = sheet->valuePage();
    driver->show(page);
    driver->setText(page, "initialEdit", QStringLiteral("100"));
    boxes.clear();
    driver->click(page, "initialButton");
    driver->setText(page, "addEdit", QStringLiteral("5"));
    driver->click(page, "addButton");
    driver->setText(page, "subtractEdit", QStringLiteral("3"));
    driver->click(page, "subtractButton");
    driver->click(page, "readValueButton");
    EXPECT_THAT(boxes.texts(),
                ElementsAre("Initial value success!", "Increase value success!", "Decrease value success!"));
    EXPECT_EQ(driver->text(page, "readValueEdit"), QStringLiteral("102"));
}

TEST_F(MifareOneEndToEnd, UpdatedKeysAndAccessBitsTakeEffect)
{
    openSheet(6);
    driver->loadKeys(kTransportKey);
    ASSERT_TRUE(driver->verify(2));
    QWidget *page = sheet->updateKeyPage();
    driver->show(page);
    boxes.clear();
    driver->child<QComboBox>(page, "sectorList")->setCurrentIndex(2);
    EXPECT_EQ(driver->text(page, "controlWordEdit"), QStringLiteral("ff078069"));
    driver->click(page, "changeWordButton");
    // Trailer written with key B only; key B no longer readable.
    driver->setText(page, "keyAEdit", QStringLiteral("A1A2A3A4A5A6"));
    driver->setText(page, "keyBEdit", QStringLiteral("B1B2B3B4B5B6"));
    driver->setText(page, "controlWordEdit", QStringLiteral("7F078869"));
    driver->click(page, "updateButton");
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("passwordUpdate success!")) << boxes.texts().join('|').toStdString();

    EXPECT_FALSE(driver->verify(2)) << "the transport key no longer opens sector 2";
    driver->loadKeys(QStringLiteral("A1A2A3A4A5A6"), true, 2);
    EXPECT_TRUE(driver->verify(2));
    driver->loadKeys(QStringLiteral("B1B2B3B4B5B6"), false, 2);
    EXPECT_TRUE(driver->verify(2, false));
    EXPECT_EQ(driver->readBlock(3).mid(12, 8), QStringLiteral("7F078869"));
    EXPECT_TRUE(driver->verify(1, true)) << "other sectors keep the transport key";
}

class MifareOneAutoTest : public MifareOneEndToEnd
{
protected:
    // Test(&B), then Stop(&S) once the worker has run; waits for its end.
    void runAutoTest()
    {
        AutoTestPageDlg *page = sheet->autoTestPage();
        driver->show(page);
        bool ended = false;
        const QMetaObject::Connection ending = QObject::connect(
            page, &AutoTestPageDlg::workerFinished, page, [&ended] { ended = true; }, Qt::QueuedConnection);
        driver->click(page, "testButton");
        driver->click(page, "stopButton");
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(ending);
        QCoreApplication::processEvents();
        ASSERT_FALSE(page->workerRunning());
    }
    QStringList lines() const
    {
        QStringList texts;
        auto *list = driver->child<QListWidget>(sheet->autoTestPage(), "resultList");
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
};

TEST_F(MifareOneAutoTest, AnS50WithTheLoadedKeysCountsOk)
{
    openSheet(2);
    driver->loadKeys(kTransportKey);
    runAutoTest();
    QWidget *page = sheet->autoTestPage();
    // The pass of Test and at least one worker cycle (more when the worker
    // finished a cycle before Stop was pressed).
    EXPECT_GE(driver->text(page, "okEdit").toInt(), 2);
    EXPECT_EQ(driver->text(page, "faultEdit"), QStringLiteral("0"));
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 64);
    // The worker's request after finding the card keeps it selected, so sector 0
    // authenticates at once and its lines take the two-digit form.
    EXPECT_EQ(shown[0].left(12), QStringLiteral("00: 04A1B2C3")) << shown[0].toStdString();
    EXPECT_EQ(shown[4].left(4), QStringLiteral("04: "));
    EXPECT_EQ(shown[7], QStringLiteral("07: 000000000000FF078069FFFFFFFFFFFF"));
    EXPECT_EQ(driver->text(page, "serialLabel"), QStringLiteral("%1").arg(0x04A1B2C3u, 10, 10, QLatin1Char('0')));
}

TEST_F(MifareOneAutoTest, AnS50WithOneSectorKeyChangedCountsFault)
{
    openSheet(6);
    driver->loadKeys(kTransportKey);
    QWidget *update = sheet->updateKeyPage();
    driver->show(update);
    driver->child<QComboBox>(update, "sectorList")->setCurrentIndex(3);
    driver->setText(update, "keyAEdit", QStringLiteral("A1A2A3A4A5A6"));
    driver->setText(update, "keyBEdit", QStringLiteral("B1B2B3B4B5B6"));
    driver->click(update, "updateButton");
    ASSERT_EQ(boxes.texts().last(), QStringLiteral("passwordUpdate success!"));

    runAutoTest();
    QWidget *page = sheet->autoTestPage();
    EXPECT_EQ(driver->text(page, "okEdit"), QStringLiteral("0"));
    EXPECT_GE(driver->text(page, "faultEdit").toInt(), 2);
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 64);
    EXPECT_EQ(shown[12], QStringLiteral("12: Read Error,Reason：Verify Key Failed"));
    EXPECT_EQ(shown[15], QStringLiteral("15: Read Error,Reason：Verify Key Failed"));
    EXPECT_TRUE(shown[16].startsWith(QStringLiteral("16: "))) << "the card is found again after the failure";
    EXPECT_FALSE(shown[16].contains(QStringLiteral("Error")));
}

TEST_F(MifareOneAutoTest, ClosingTheSheetWhileTheWorkerRunsEndsIt)
{
    openSheet(2);
    driver->loadKeys(kTransportKey);
    AutoTestPageDlg *page = sheet->autoTestPage();
    driver->show(page);
    driver->click(page, "testButton");
    ASSERT_TRUE(page->workerRunning());
    driver->click(sheet.get(), "exitButton");
    EXPECT_FALSE(page->workerRunning());
    EXPECT_FALSE(sheet->isVisible());
}

class MifareOneS70 : public MifareOneAutoTest
{
protected:
    std::string cardKind() const override { return "s70"; }
};

TEST_F(MifareOneS70, TheSheetTakesTheS70FormAndAutoTestReadsAllBlocks)
{
    openSheet(2);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("S70 operation"));
    EXPECT_EQ(driver->text(sheet->verifyKeyPage(), "rangeLabel"), QStringLiteral("(Sector: 0-39)"));
    driver->loadKeys(kTransportKey);
    runAutoTest();
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 256);
    EXPECT_TRUE(shown[255].startsWith(QStringLiteral("255: 000000000000FF078069"))) << shown[255].toStdString();
    EXPECT_GE(driver->text(sheet->autoTestPage(), "okEdit").toInt(), 2);

    ASSERT_TRUE(driver->verify(39));
    EXPECT_EQ(driver->readBlock(15), QStringLiteral("************FF078069FFFFFFFFFFFF"));
}

} // namespace
