// The Mifare One sheet on libqvd-pcsc.so: Load key, Verify Key, Read and
// write, Value Operate and Update Key through pcscd, vpcd and the virtual
// MIFARE Classic 1K in reader "Virtual PCD 00 00".
#include "panels/mifare_one/CMifareOneDlg.h"
#include "panels/mifare_one/ChangKeyPageDlg.h"
#include "panels/mifare_one/MifareOne.h"
#include "panels/mifare_one/ValOperPageDlg.h"
#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"
#include "tests/e2e/MifareSheetDriver.h"
#include "tests/e2e/pcsc/VirtualCardInReader.h"
#include "tests/support/MessageRecorder.h"

#include <QAbstractButton>
#include <QComboBox>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using t7::mifare::state;
using ::testing::ElementsAre;

namespace
{

const QString kTransportKey = QStringLiteral("FFFFFFFFFFFF");

// The tool loads the PC/SC library instead of libqvd.so while it lives.
struct PcscLibraryInUse {
    PcscLibraryInUse() { qvd::setLibraryFileForTesting(pcsctest::pcscLibraryFile()); }
    ~PcscLibraryInUse() { qvd::setLibraryFileForTesting(std::string()); }
};

class MifareOneOnPcsc : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!pcsctest::fixturePort())
            GTEST_SKIP() << "no private pcscd (the fixture needs root; see pcsc_fixture.start)";
        card = std::make_unique<pcsctest::VirtualCardInReader>(0, "mifare1k", "04A1B2C3");
        ASSERT_TRUE(card->present()) << "pcscd never saw the virtual card in " << pcsctest::readerName(0);
        state().cardKind = 0;
        state().currentKeyMode = 0;
        state().verified = 0;
        state().verifiedSector = 0;
        t7::connection().reset();
        handle = rz_init(100, 0);
        ASSERT_GT(handle, 0) << "the first PC/SC reader opens";
        t7::connection().deviceHandle = handle;
        t7::connection().portOpen = 1;
    }
    void TearDown() override
    {
        driver.reset();
        sheet.reset();
        if (handle > 0)
            rz_exit(handle);
        t7::connection().reset();
    }

    void openSheet(int startPage)
    {
        sheet = std::make_unique<CMifareOneDlg>(startPage);
        sheet->show();
        driver = std::make_unique<e2e::MifareSheetDriver>(*sheet, boxes);
    }

    PcscLibraryInUse pcscLibrary;
    fake::MessageRecorder boxes;
    qvd::LibraryRef lib = qvd::Library::load();
    QVD_ENTRY(lib, rz_init);
    QVD_ENTRY(lib, rz_exit);
    std::unique_ptr<pcsctest::VirtualCardInReader> card;
    int handle = 0;
    std::unique_ptr<CMifareOneDlg> sheet;
    std::unique_ptr<e2e::MifareSheetDriver> driver;
};

TEST_F(MifareOneOnPcsc, LoadsKeysVerifiesAndWritesABlockItReadsBack)
{
    openSheet(7);
    EXPECT_EQ(state().cardKind, t7::mifare::kCardKindS50) << "a 1K answers as an S50";
    driver->loadKeys(kTransportKey);
    ASSERT_TRUE(driver->verify(1)) << boxes.texts().join('|').toStdString();

    QWidget *page = sheet->readWritePage();
    EXPECT_EQ(driver->readBlock(1), QStringLiteral("00000000000000000000000000000000"));
    driver->setText(page, "hexEdit", QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    boxes.clear();
    driver->click(page, "writeHexButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Writedata success!"));
    driver->setText(page, "hexEdit", QString());
    EXPECT_EQ(driver->readBlock(1), QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
}

TEST_F(MifareOneOnPcsc, ATrailerReadsMaskedAndAWrongKeyFailsVerification)
{
    openSheet(0);
    driver->loadKeys(kTransportKey);
    ASSERT_TRUE(driver->verify(1));
    EXPECT_EQ(driver->readBlock(3), QStringLiteral("************FF078069FFFFFFFFFFFF"));
    EXPECT_FALSE(driver->child<QAbstractButton>(sheet->readWritePage(), "writeHexButton")->isEnabled());

    driver->loadKeys(QStringLiteral("6D21F08C4E97"));
    EXPECT_FALSE(driver->verify(2));
    EXPECT_THAT(boxes.texts(), ElementsAre("2Sector authentication error!"));
    EXPECT_EQ(state().verifiedSector, 1);
}

TEST_F(MifareOneOnPcsc, ValueOperationsAddAndSubtract)
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

TEST_F(MifareOneOnPcsc, UpdatedKeysAndAccessBitsTakeEffect)
{
    openSheet(6);
    driver->loadKeys(kTransportKey);
    ASSERT_TRUE(driver->verify(2));
    QWidget *page = sheet->updateKeyPage();
    driver->show(page);
    driver->child<QComboBox>(page, "sectorList")->setCurrentIndex(2);
    driver->click(page, "changeWordButton");
    driver->setText(page, "keyAEdit", QStringLiteral("A1A2A3A4A5A6"));
    driver->setText(page, "keyBEdit", QStringLiteral("B1B2B3B4B5B6"));
    driver->setText(page, "controlWordEdit", QStringLiteral("7F078869"));
    boxes.clear();
    driver->click(page, "updateButton");
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("passwordUpdate success!")) << boxes.texts().join('|').toStdString();

    EXPECT_FALSE(driver->verify(2)) << "the transport key no longer opens sector 2";
    driver->loadKeys(QStringLiteral("B1B2B3B4B5B6"), false, 2);
    EXPECT_TRUE(driver->verify(2, false)) << boxes.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(driver->readBlock(3).mid(12, 8), QStringLiteral("7F078869"));
    driver->loadKeys(kTransportKey, true);
    EXPECT_TRUE(driver->verify(1, true)) << "other sectors keep the transport key";
}

} // namespace
