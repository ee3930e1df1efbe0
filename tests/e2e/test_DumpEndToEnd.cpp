// Dump files between the tool and t7sim: what the whole-card panel reads and
// saves is what the simulated card holds; a dump t7sim exports is written
// back by the panel, block 0 and trailers left alone.
#include "panels/mifare_one/CMifareOneRwDlg.h"

#include "dump/DumpFile.h"
#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"
#include "tests/support/FileChooserScript.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/SimBench.h"

#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace
{

class DumpEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bench.run("place usb1 typea s50 --uid 04A1B2C3");
        handle = rz_init(100, 0);
        ASSERT_GT(handle, 0);
        t7::connection().deviceHandle = handle;
        t7::connection().portOpen = 1;
        unsigned char transportKey[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        for (unsigned char row = 0; row < 16; ++row)
            ASSERT_EQ(rz_load_key(handle, 0, row, transportKey), 0);
        dialog.show();
    }
    void TearDown() override
    {
        rz_exit(handle);
        t7::connection().reset();
    }
    std::string file(const std::string &name) const { return bench.folder() + "/" + name; }
    dump::CardImage exported(const std::string &reader)
    {
        bench.run("export " + reader + " typea " + file("exported.bin"));
        const dump::Loaded loaded = dump::loadDumpFile(file("exported.bin"), dump::Format::Binary);
        EXPECT_TRUE(loaded.ok()) << loaded.error;
        return loaded.image;
    }
    void click(const char *button) { QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton); }

    sim::SimBench bench;
    fake::MessageRecorder boxes;
    fake::FileChooserScript files;
    qvd::LibraryRef lib = qvd::Library::load();
    QVD_ENTRY(lib, rz_init);
    QVD_ENTRY(lib, rz_exit);
    QVD_ENTRY(lib, rz_load_key);
    int handle = 0;
    CMifareOneRwDlg dialog;
};

TEST_F(DumpEndToEnd, TheSavedDumpHoldsTheCardAndMarksOnlyTheKeyAItKeepsBack)
{
    click("selectAll");
    click("read");
    files.answer(QString::fromStdString(file("read.mct")));
    click("saveDump");
    ASSERT_EQ(boxes.texts().size(), 1) << boxes.texts().join("; ").toStdString();
    const dump::Loaded saved = dump::loadDumpFile(file("read.mct"), dump::Format::Mct);
    ASSERT_TRUE(saved.ok()) << saved.error;
    const dump::CardImage card = exported("usb1");
    for (int b = 0; b < 64; ++b) {
        EXPECT_EQ(saved.image.knownBytes(b), dump::isTrailer(b) ? 0xFFC0 : 0xFFFF) << b;
        for (int i = 0; i < 16; ++i) {
            if (saved.image.knownBytes(b) >> i & 1) {
                EXPECT_EQ(saved.image.block(b)[i], card.block(b)[i]) << b << ":" << i;
            }
        }
    }

    // Imported onto another reader, the keys the dump does not know are a new card's.
    bench.run("import usb2 typea " + file("read.mct"));
    EXPECT_EQ(exported("usb2"), card);
}

TEST_F(DumpEndToEnd, ADumpExportedByT7simIsWrittenBackByThePanel)
{
    const dump::CardImage before = exported("usb1");
    dump::CardImage other = before;
    for (int b = 1; b < 64; ++b)
        if (!dump::isTrailer(b))
            other.setBlock(b, dump::Block{static_cast<uint8_t>(b), 0xA5, 0x5A});
    other.setBlock(0, dump::Block{0x01, 0x02, 0x03, 0x04, 0x04});
    ASSERT_EQ(dump::saveDumpFile(file("other.bin"), other, dump::Format::Binary), "");
    bench.run("import usb2 typea " + file("other.bin"));
    bench.run("export usb2 typea " + file("other.json"));

    files.answer(QString::fromStdString(file("other.json")));
    boxes.answer(true);
    click("writeDump");
    EXPECT_EQ(boxes.texts().last(), "Dump written: 47 blocks.");
    const dump::CardImage after = exported("usb1");
    for (int b = 0; b < 64; ++b)
        EXPECT_EQ(after.block(b), (b == 0 || dump::isTrailer(b) ? before : other).block(b)) << b;
}

} // namespace
