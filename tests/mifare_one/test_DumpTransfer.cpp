// Dump files and the sector map on the whole-card and S70 quick panels,
// against the scripted card: what is saved, what is written back, what is refused.
#include "panels/mifare_one/CMifareOneRwDlg.h"
#include "panels/mifare_one/CS70EasyDlg.h"

#include "dump/AccessConditions.h"
#include "dump/DumpFile.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/ConnectionState.h"
#include "tests/mifare_one/FakeMifareCard.h"
#include "tests/support/FakeReader.h"
#include "tests/support/FileChooserScript.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/QtPrinters.h"
#include "ui/SectorMap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace
{

constexpr int kHandle = 7;

// Every block known: block b holds the fake card's pattern of b + 100, the
// trailers the transport access bits.
dump::CardImage completeImage(int blocks)
{
    dump::CardImage image(blocks);
    for (int b = 0; b < blocks; ++b) {
        dump::Block data = fake::patternBlock(b + 100);
        if (dump::isTrailer(b)) {
            data.fill(0xFF);
            data[6] = 0xFF, data[7] = 0x07, data[8] = 0x80, data[9] = 0x69;
        }
        image.setBlock(b, data);
    }
    return image;
}

class DumpPanelTest : public ::testing::Test
{
protected:
    DumpPanelTest()
    {
        t7::connection().deviceHandle = kHandle;
        t7::mifare::state().currentKeyMode = 0;
    }
    ~DumpPanelTest() override { t7::connection().deviceHandle = 0; }

    static void click(QWidget &dialog, const char *button)
    {
        QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    }
    QString file(const char *name) const { return folder.filePath(QString::fromLatin1(name)); }
    void writeFile(const QString &path, const dump::CardImage &image, dump::Format format)
    {
        ASSERT_EQ(dump::saveDumpFile(path.toStdString(), image, format), "");
    }
    std::vector<std::string> writes() const { return fake.callsTo({"rz_write", "rz_write_S70"}); }

    QTemporaryDir folder;
    fake::FakeReader fake;
    fake::FakeMifareCard card{fake};
    fake::MessageRecorder boxes;
    fake::FileChooserScript files;
};

class WholeCardDumps : public DumpPanelTest
{
protected:
    WholeCardDumps() { dialog.show(); }
    void readSectors(std::initializer_list<int> sectors)
    {
        for (const int s : sectors)
            dialog.findChild<QCheckBox *>(QStringLiteral("sectorBox%1").arg(s))->setChecked(true);
        click(dialog, "read");
    }
    SectorMap *map() { return dialog.findChild<SectorMap *>("sectorMap"); }

    CMifareOneRwDlg dialog;
};

TEST_F(WholeCardDumps, TheSectorMapShowsEverySectorAfterARead)
{
    FAKE_ON(fake, rz_authentication, [](int, unsigned char, unsigned char sector) { return sector == 2 ? 1 : 0; });
    card.failReadOf(13);
    readSectors({1, 2, 3});
    using State = SectorMap::State;
    ASSERT_EQ(map()->sectorCount(), 16);
    const State expected[] = {State::NotRead, State::ReadOk, State::AuthenticationFailed, State::ReadFailed};
    for (int s = 0; s < 16; ++s)
        EXPECT_EQ(map()->state(s), expected[std::min(s, 4) % 4]) << s;
    auto *cell = map()->findChild<QLabel *>("sectorCell2");
    EXPECT_EQ(cell->accessibleName(), "Sector 2");
    EXPECT_EQ(cell->accessibleDescription(), "authentication failed");

    fake.returns("rz_card", 1);
    readSectors({});
    EXPECT_EQ(map()->state(1), State::ReadFailed) << "no card";
}

TEST_F(WholeCardDumps, SavesWhatWasReadAsMctWithWhatWasNotReadDashed)
{
    readSectors({1});
    files.answer(file("card.mct"));
    click(dialog, "saveDump");
    EXPECT_EQ(files.asked, QStringList({"save: Save dump"}));
    EXPECT_EQ(boxes.texts(), QStringList({"Dump saved: " + file("card.mct")}));
    const dump::Loaded saved = dump::loadDumpFile(file("card.mct").toStdString(), dump::Format::Mct);
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(saved.image.block(5), fake::patternBlock(5));
    EXPECT_TRUE(saved.image.isUnread(8));
    EXPECT_TRUE(saved.image.isUnread(7)) << "access bits that do not hold together came from no card";

    files.answer(file("named"));
    click(dialog, "saveDump");
    EXPECT_TRUE(QFile::exists(file("named.mct"))) << "no extension: .mct";
    boxes.clear();
    files.answer(file("named"));
    boxes.answer(false);
    click(dialog, "saveDump");
    EXPECT_EQ(boxes.texts(), QStringList({file("named.mct") + " exists already. Replace it?"}));
}

TEST_F(WholeCardDumps, ARawSaveAsksBeforeWritingWhatIsNotKnownAsZeros)
{
    click(dialog, "saveDump");
    EXPECT_EQ(boxes.texts(), QStringList({"Nothing has been read yet: read the card first."}));
    readSectors({1});
    boxes.clear();
    files.answer(file("card.bin"));
    boxes.answer(false);
    click(dialog, "saveDump");
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Question);
    EXPECT_THAT(boxes.texts()[0].toStdString(), HasSubstr("61 blocks were not read. A raw binary file cannot mark"));
    EXPECT_FALSE(QFile::exists(file("card.bin")));

    files.answer(file("card.bin"));
    boxes.answer(true);
    click(dialog, "saveDump");
    const dump::Loaded saved = dump::loadDumpFile(file("card.bin").toStdString(), dump::Format::Binary);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.image.block(6), fake::patternBlock(6));
    EXPECT_EQ(saved.image.block(9), dump::Block{});
}

TEST_F(WholeCardDumps, WritingADumpBackLeavesBlockZeroAndTrailersAloneUnlessAsked)
{
    writeFile(file("card.eml"), completeImage(64), dump::Format::Eml);
    files.answer(file("card.eml"));
    boxes.answer(true);
    click(dialog, "writeDump");
    EXPECT_EQ(boxes.texts(), QStringList({"Write 47 blocks of card.eml to the card?\nBlock 0 and the sector trailers "
                                          "are left alone.",
                                          "Dump written: 47 blocks."}));
    EXPECT_EQ(boxes.messages().at(1).kind, t7::BoxKind::Panel);
    const auto written = writes();
    ASSERT_EQ(written.size(), 47u);
    EXPECT_EQ(written.front(), "rz_write(7,1,*)");
    EXPECT_EQ(card.block(1), fake::patternBlock(101));
    EXPECT_EQ(card.block(0), fake::patternBlock(0));
    EXPECT_EQ(card.block(3), fake::patternBlock(3));

    fake.clearCalls();
    boxes.clear();
    dialog.findChild<QCheckBox *>("withTrailers")->setChecked(true);
    files.answer(file("card.eml"));
    boxes.answer(true);
    click(dialog, "writeDump");
    EXPECT_THAT(boxes.texts()[0].toStdString(), HasSubstr("Sector trailers are written too"));
    EXPECT_EQ(writes().size(), 63u);
    EXPECT_EQ(card.block(3)[7], 0x07);
}

TEST_F(WholeCardDumps, AWrongSizedOrMalformedDumpWritesNothing)
{
    writeFile(file("big.bin"), completeImage(256), dump::Format::Binary);
    std::ofstream(file("bad.mct").toStdString()) << "+Sector: 0\nnot hex\n";
    for (const char *name : {"big.bin", "bad.mct", "card.txt"})
        files.answer(file(name));
    for (int i = 0; i < 3; ++i)
        click(dialog, "writeDump");
    EXPECT_EQ(boxes.texts().value(0), "big.bin cannot be written back: this is the dump of a 4K card (256 blocks); a "
                                      "1K card (64 blocks) is needed here. Nothing was written.");
    EXPECT_EQ(boxes.texts().value(1), "bad.mct cannot be written back: line 2: 32 hexadecimal digits or dashes "
                                      "expected. Nothing was written.");
    EXPECT_THAT(boxes.texts().value(2).toStdString(), HasSubstr("card.txt is not a dump the tool knows"));
    EXPECT_THAT(writes(), IsEmpty());
    EXPECT_EQ(fake.count("rz_authentication"), 0);
}

TEST_F(WholeCardDumps, FailuresWhileWritingAreListedAndTheOtherSectorsStillWritten)
{
    writeFile(file("card.mct"), completeImage(64), dump::Format::Mct);
    FAKE_ON(fake, rz_authentication, [](int, unsigned char, unsigned char sector) { return sector == 3 ? 1 : 0; });
    card.failWriteOf(9);
    files.answer(file("card.mct"));
    boxes.answer(false);
    click(dialog, "writeDump");
    EXPECT_THAT(writes(), IsEmpty()) << "answered No";
    files.answer(file("card.mct"));
    boxes.answer(true);
    click(dialog, "writeDump");
    EXPECT_EQ(boxes.messages().back().kind, t7::BoxKind::Application);
    EXPECT_EQ(boxes.texts().last(),
              "Written: 42 blocks.\nNot written: block 9 (refused); sector 3 (authentication failed).");
    EXPECT_EQ(card.block(10), fake::patternBlock(10)) << "the sector ends at its failed block";
    EXPECT_EQ(card.block(16), fake::patternBlock(116));
}

class QuickPanelDumps : public DumpPanelTest
{
protected:
    QuickPanelDumps() { dialog.show(); }
    CS70EasyDlg dialog;
};

TEST_F(QuickPanelDumps, EverySectorReadJoinsTheImageUntilAnotherCardIsRead)
{
    dialog.findChild<QComboBox *>("sector")->setCurrentIndex(33);
    EXPECT_EQ(dialog.image().blockCount(), 256);
    EXPECT_EQ(dialog.image().block(2), fake::patternBlock(2));
    EXPECT_EQ(dialog.image().block(150), fake::patternBlock(150));
    EXPECT_TRUE(dialog.image().isUnread(4));
    FAKE_ON(fake, rz_card, [](int, unsigned char, unsigned int *serial) {
        *serial = 0x01020304;
        return 0;
    });
    dialog.findChild<QComboBox *>("sector")->setCurrentIndex(1);
    EXPECT_TRUE(dialog.image().isUnread(2));
    EXPECT_EQ(dialog.image().block(5), fake::patternBlock(5));
}

TEST_F(QuickPanelDumps, AFourKDumpIsWrittenWithTheS70EntryAndTheChosenKey)
{
    dialog.findChild<QRadioButton *>("keyB")->setChecked(true);
    dump::CardImage image(256);
    image.setBlock(149, fake::patternBlock(1));
    image.setBlock(1, fake::patternBlock(2));
    writeFile(file("part.mct"), image, dump::Format::Mct);
    writeFile(file("small.bin"), completeImage(64), dump::Format::Binary);
    fake.clearCalls();
    files.answer(file("part.mct"));
    files.answer(file("small.bin"));
    boxes.answer(true);
    click(dialog, "writeDump");
    click(dialog, "writeDump");
    EXPECT_THAT(fake.callsTo({"rz_authentication", "rz_write", "rz_write_S70"}),
                ElementsAre("rz_authentication(7,4,0)", "rz_write_S70(7,1,*)", "rz_authentication(7,4,33)",
                            "rz_write_S70(7,149,*)"));
    EXPECT_EQ(boxes.texts().value(1), "Dump written: 2 blocks.");
    EXPECT_THAT(boxes.texts().value(2).toStdString(), HasSubstr("a 4K card (256 blocks) is needed here"));
}

} // namespace
