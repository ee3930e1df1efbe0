// The Mifare One sheet on libqvd-pcsc.so: Load key, Verify Key, Read and
// write, Value Operate and Update Key through pcscd, vpcd and the virtual
// MIFARE Classic 1K in reader "Virtual PCD 00 00".
#include "panels/mifare_one/AuthenPageDlg.h"
#include "panels/mifare_one/CLoadKeyPageDlg.h"
#include "panels/mifare_one/CMifareOneDlg.h"
#include "panels/mifare_one/ChangKeyPageDlg.h"
#include "panels/mifare_one/MifareOne.h"
#include "panels/mifare_one/RwOperPageDlg.h"
#include "panels/mifare_one/ValOperPageDlg.h"
#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"
#include "tests/e2e/pcsc/VirtualCardInReader.h"
#include "tests/support/MessageRecorder.h"

#include <QAbstractButton>
#include <QComboBox>
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
        sheet.reset();
        if (handle > 0)
            rz_exit(handle);
        t7::connection().reset();
    }

    void openSheet(int startPage)
    {
        sheet = std::make_unique<CMifareOneDlg>(startPage);
        sheet->show();
    }
    template <typename T> T *child(QWidget *page, const char *name) const
    {
        T *found = page->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(QWidget *page, const char *button)
    {
        QTest::mouseClick(child<QAbstractButton>(page, button), Qt::LeftButton);
    }
    // A synthetic mouse click does not always reach a radio button of a page
    // that just became current; the button's own click() does.
    void choose(QWidget *page, const char *radio) { child<QAbstractButton>(page, radio)->click(); }
    void setText(QWidget *page, const char *edit, const QString &text) { child<QLineEdit>(page, edit)->setText(text); }
    QString text(QWidget *page, const char *edit) const { return child<QLineEdit>(page, edit)->text(); }
    void show(QWidget *page) { sheet->tabs()->setCurrentWidget(page); }

    void loadKeys(const QString &key, bool keyA = true, int onlyRow = -1)
    {
        QWidget *page = sheet->loadKeyPage();
        show(page);
        setText(page, "currentValue", key);
        auto *list = child<QListWidget>(page, "keyList");
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setSelected(onlyRow < 0 || row == onlyRow);
        click(page, "changeValueButton");
        choose(page, keyA ? "keyA" : "keyB");
        boxes.clear();
        click(page, "loadKeyButton");
        EXPECT_THAT(boxes.texts(), ElementsAre("Loadpassword success!"));
    }
    bool verify(int sector, bool keyA = true)
    {
        QWidget *page = sheet->verifyKeyPage();
        show(page);
        choose(page, keyA ? "keyA" : "keyB");
        setText(page, "sectorEdit", QString::number(sector));
        boxes.clear();
        click(page, "verifyButton");
        return boxes.texts() == QStringList{QStringLiteral("Password authentication success!")};
    }
    QString readBlock(int indexInSector)
    {
        QWidget *page = sheet->readWritePage();
        show(page);
        child<QComboBox>(page, "blockList")->setCurrentIndex(indexInSector);
        boxes.clear();
        click(page, "readButton");
        return text(page, "hexEdit").toUpper();
    }

    PcscLibraryInUse pcscLibrary;
    fake::MessageRecorder boxes;
    qvd::LibraryRef lib = qvd::Library::load();
    QVD_ENTRY(lib, rz_init);
    QVD_ENTRY(lib, rz_exit);
    std::unique_ptr<pcsctest::VirtualCardInReader> card;
    int handle = 0;
    std::unique_ptr<CMifareOneDlg> sheet;
};

TEST_F(MifareOneOnPcsc, LoadsKeysVerifiesAndWritesABlockItReadsBack)
{
    openSheet(7);
    EXPECT_EQ(state().cardKind, t7::mifare::kCardKindS50) << "a 1K answers as an S50";
    loadKeys(kTransportKey);
    ASSERT_TRUE(verify(1)) << boxes.texts().join('|').toStdString();

    QWidget *page = sheet->readWritePage();
    EXPECT_EQ(readBlock(1), QStringLiteral("00000000000000000000000000000000"));
    setText(page, "hexEdit", QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    boxes.clear();
    click(page, "writeHexButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Writedata success!"));
    setText(page, "hexEdit", QString());
    EXPECT_EQ(readBlock(1), QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
}

TEST_F(MifareOneOnPcsc, ATrailerReadsMaskedAndAWrongKeyFailsVerification)
{
    openSheet(0);
    loadKeys(kTransportKey);
    ASSERT_TRUE(verify(1));
    EXPECT_EQ(readBlock(3), QStringLiteral("************FF078069FFFFFFFFFFFF"));
    EXPECT_FALSE(child<QAbstractButton>(sheet->readWritePage(), "writeHexButton")->isEnabled());

    loadKeys(QStringLiteral("6D21F08C4E97"));
    EXPECT_FALSE(verify(2));
    EXPECT_THAT(boxes.texts(), ElementsAre("2Sector authentication error!"));
    EXPECT_EQ(state().verifiedSector, 1);
}

TEST_F(MifareOneOnPcsc, ValueOperationsAddAndSubtract)
{
    openSheet(4);
    loadKeys(kTransportKey);
    ASSERT_TRUE(verify(1));
    QWidget *page = sheet->valuePage();
    show(page);
    setText(page, "initialEdit", QStringLiteral("100"));
    boxes.clear();
    click(page, "initialButton");
    setText(page, "addEdit", QStringLiteral("5"));
    click(page, "addButton");
    setText(page, "subtractEdit", QStringLiteral("3"));
    click(page, "subtractButton");
    click(page, "readValueButton");
    EXPECT_THAT(boxes.texts(),
                ElementsAre("Initial value success!", "Increase value success!", "Decrease value success!"));
    EXPECT_EQ(text(page, "readValueEdit"), QStringLiteral("102"));
}

TEST_F(MifareOneOnPcsc, UpdatedKeysAndAccessBitsTakeEffect)
{
    openSheet(6);
    loadKeys(kTransportKey);
    ASSERT_TRUE(verify(2));
    QWidget *page = sheet->updateKeyPage();
    show(page);
    child<QComboBox>(page, "sectorList")->setCurrentIndex(2);
    click(page, "changeWordButton");
    setText(page, "keyAEdit", QStringLiteral("A1A2A3A4A5A6"));
    setText(page, "keyBEdit", QStringLiteral("B1B2B3B4B5B6"));
    setText(page, "controlWordEdit", QStringLiteral("7F078869"));
    boxes.clear();
    click(page, "updateButton");
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("passwordUpdate success!")) << boxes.texts().join('|').toStdString();

    EXPECT_FALSE(verify(2)) << "the transport key no longer opens sector 2";
    loadKeys(QStringLiteral("B1B2B3B4B5B6"), false, 2);
    EXPECT_TRUE(verify(2, false)) << boxes.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(readBlock(3).mid(12, 8), QStringLiteral("7F078869"));
    loadKeys(kTransportKey, true);
    EXPECT_TRUE(verify(1, true)) << "other sectors keep the transport key";
}

} // namespace
