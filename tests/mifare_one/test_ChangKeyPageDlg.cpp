// The Update Key page: card request at construction, trailer read on sector
// choice, the update checks, halting over USB and the Control Word lock.
#include "tests/mifare_one/MifarePageTest.h"

#include "panels/mifare_one/ChangKeyPageDlg.h"

#include <array>
#include <memory>

using mifaretest::PageTest;
using t7::mifare::state;
using ::testing::ElementsAre;

namespace
{

int trailerBytes(unsigned char, unsigned char *data)
{
    const unsigned char trailer[16] = {0, 0, 0, 0, 0, 0, 0xFF, 0x07, 0x80, 0x69, 1, 2, 3, 4, 5, 6};
    std::copy(trailer, trailer + 16, data);
    return 0;
}

class UpdateKeyPage : public PageTest
{
protected:
    explicit UpdateKeyPage(int requestedKind = t7::mifare::kCardKindS50)
    {
        FAKE_ON(fake, rz_request, [requestedKind](int, unsigned char, int *kind) {
            *kind = requestedKind;
            return 0;
        });
        FAKE_ON(fake, rz_read, [](int, unsigned char b, unsigned char *d) { return trailerBytes(b, d); });
        FAKE_ON(fake, rz_read_S70, [](int, unsigned char b, unsigned char *d) { return trailerBytes(b, d); });
        page = std::make_unique<ChangKeyPageDlg>();
        page->opening();
        page->show();
    }
    void chooseSector(int sector) { child<QComboBox>(*page, "sectorList")->setCurrentIndex(sector); }
    void fillFields(const QString &keyA, const QString &keyB, const QString &controlWord)
    {
        setText(*page, "keyAEdit", keyA);
        setText(*page, "keyBEdit", keyB);
        setText(*page, "controlWordEdit", controlWord);
    }
    QLineEdit *controlWordEdit() const { return child<QLineEdit>(*page, "controlWordEdit"); }

    std::unique_ptr<ChangKeyPageDlg> page;
};

class UpdateKeyPageS70 : public UpdateKeyPage
{
protected:
    UpdateKeyPageS70() : UpdateKeyPage(t7::mifare::kCardKindS70) {}
};

TEST_F(UpdateKeyPage, ConstructionRequestsTheCardAndStoresItsKind)
{
    EXPECT_THAT(fake.calls(), ElementsAre("rz_request(7,1,*)"));
    EXPECT_EQ(state().cardKind, t7::mifare::kCardKindS50);
    EXPECT_EQ(child<QComboBox>(*page, "sectorList")->count(), 16);
    EXPECT_EQ(child<QComboBox>(*page, "sectorList")->currentText(), QStringLiteral("0"));
    EXPECT_TRUE(controlWordEdit()->isReadOnly());
}

TEST_F(UpdateKeyPage, NoCardAtConstructionKeepsTheKind)
{
    state().cardKind = t7::mifare::kCardKindS70;
    fake.returns("rz_request", 1);
    FAKE_ON(fake, rz_request, [](int, unsigned char, int *kind) {
        *kind = 99;
        return 1;
    });
    ChangKeyPageDlg another;
    EXPECT_EQ(state().cardKind, t7::mifare::kCardKindS70);
}

TEST_F(UpdateKeyPage, ChoosingASectorReadsItsTrailerAndShowsTheControlWord)
{
    state().currentKeyMode = 4;
    chooseSector(5);
    EXPECT_THAT(fake.callsTo({"rz_card", "rz_authentication", "rz_read", "rz_read_S70"}),
                ElementsAre("rz_card(7,1,*)", "rz_authentication(7,4,5)", "rz_read(7,23,*)"));
    EXPECT_EQ(text(*page, "controlWordEdit"), QStringLiteral("ff078069"));
    EXPECT_EQ(text(*page, "keyAEdit"), QStringLiteral("3A7C19E45B20"));
    EXPECT_EQ(text(*page, "keyBEdit"), QStringLiteral("3A7C19E45B20"));
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(UpdateKeyPage, SectorChoiceFailuresEachSayOneThing)
{
    fake.returns("rz_card", 1);
    chooseSector(2);
    EXPECT_THAT(boxes.texts(), ElementsAre("Find card error!"));

    boxes.clear();
    fake.returns("rz_card", 0);
    fake.returns("rz_authentication", 1);
    chooseSector(3);
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, QStringLiteral("3Sector authentication error!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Panel);

    boxes.clear();
    fake.returns("rz_authentication", 0);
    FAKE_ON(fake, rz_read, [](int, unsigned char, unsigned char *) { return 1; });
    chooseSector(4);
    EXPECT_THAT(boxes.texts(), ElementsAre("Readpassword failed!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_TRUE(text(*page, "controlWordEdit").isEmpty());
}

TEST_F(UpdateKeyPage, AnUnknownCardKindCountsAsAFailedRead)
{
    state().cardKind = 0;
    chooseSector(1);
    EXPECT_THAT(boxes.texts(), ElementsAre("Readpassword failed!"));
    EXPECT_EQ(fake.count("rz_read") + fake.count("rz_read_S70"), 0);
}

TEST_F(UpdateKeyPageS70, AnS70OffersFortySectorsAndNoneIsChosen)
{
    auto *list = child<QComboBox>(*page, "sectorList");
    EXPECT_EQ(list->count(), 40);
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(fake.calls().size(), 1u) << "filling the list reads nothing";
    click(*page, "updateButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Please enter the numbers!"));

    chooseSector(32);
    EXPECT_THAT(fake.callsTo({"rz_read", "rz_read_S70"}), ElementsAre("rz_read_S70(7,143,*)"));
    chooseSector(39);
    EXPECT_EQ(fake.callsTo({"rz_read_S70"}).back(), "rz_read_S70(7,255,*)");
}

TEST_F(UpdateKeyPage, ShortFieldsAreRefusedInOrder)
{
    fillFields(QStringLiteral("11111111111"), QStringLiteral("22222222222"), QStringLiteral("ff078069"));
    click(*page, "updateButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("enterPassword AThe median is not enough!"));

    boxes.clear();
    fillFields(QStringLiteral("111111111111"), QStringLiteral("22222222222"), QStringLiteral("ff078069"));
    click(*page, "updateButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("enterPassword BThe median is not enough!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);

    boxes.clear();
    fillFields(QStringLiteral("111111111111"), QStringLiteral("222222222222"), QStringLiteral("ff07806"));
    click(*page, "updateButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("enterControl WordThe median is not enough!"));
    EXPECT_EQ(fake.count("rz_changeb3"), 0);
}

TEST_F(UpdateKeyPage, AKeyThatIsNotHexadecimalIsRefused)
{
    fillFields(QStringLiteral("1111  111111"), QStringLiteral("222222222222"), QStringLiteral("ff078069"));
    click(*page, "updateButton");
    EXPECT_THAT(boxes.texts(), ElementsAre("Input data is incorrect!"));
    EXPECT_EQ(fake.count("rz_card"), 0);
}

TEST_F(UpdateKeyPage, UpdateOverUsbWritesTheTrailerAndHaltsTheCard)
{
    std::array<unsigned char, 16> sent{};
    int keyBMode = -1;
    FAKE_ON(fake, rz_changeb3,
            [&](int, unsigned char, unsigned char *keyA, unsigned char *word, unsigned char mode, unsigned char *keyB) {
                std::copy(keyA, keyA + 6, sent.begin());
                std::copy(word, word + 4, sent.begin() + 6);
                std::copy(keyB, keyB + 6, sent.begin() + 10);
                keyBMode = mode;
                return 0;
            });
    chooseSector(6);
    fake.clearCalls();
    fillFields(QStringLiteral("A0A1A2A3A4A5"), QStringLiteral("B0B1B2B3B4B5"), QStringLiteral("08778f00"));
    click(*page, "updateButton");
    EXPECT_THAT(fake.callsTo({"rz_card", "rz_authentication", "rz_changeb3", "rz_halt"}),
                ElementsAre("rz_card(7,1,*)", "rz_authentication(7,0,6)", "rz_changeb3(7,6,*,*,0,*)", "rz_halt(7)"));
    EXPECT_THAT(sent, ElementsAre(0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x08, 0x77, 0x8F, 0x00, 0xB0, 0xB1, 0xB2, 0xB3,
                                  0xB4, 0xB5));
    EXPECT_EQ(keyBMode, 0);
    EXPECT_THAT(boxes.texts(), ElementsAre("passwordUpdate success!"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
}

TEST_F(UpdateKeyPage, OverASerialPortTheCardIsNotHalted)
{
    t7::connection().serialLink = 1;
    fillFields(QStringLiteral("A0A1A2A3A4A5"), QStringLiteral("B0B1B2B3B4B5"), QStringLiteral("ff078069"));
    click(*page, "updateButton");
    EXPECT_EQ(fake.count("rz_changeb3"), 1);
    EXPECT_EQ(fake.count("rz_halt"), 0);
    EXPECT_THAT(boxes.texts(), ElementsAre("passwordUpdate success!"));
}

TEST_F(UpdateKeyPage, AFailedUpdateSaysSoAndLocksTheControlWordAgain)
{
    boxes.answer(true);
    click(*page, "changeWordButton");
    ASSERT_FALSE(controlWordEdit()->isReadOnly());
    fake.returns("rz_changeb3", 1);
    fillFields(QStringLiteral("A0A1A2A3A4A5"), QStringLiteral("B0B1B2B3B4B5"), QStringLiteral("ff078069"));
    click(*page, "updateButton");
    EXPECT_THAT(boxes.texts().last(), QStringLiteral("passwordUpdate failed!"));
    EXPECT_EQ(fake.count("rz_halt"), 0);
    EXPECT_TRUE(controlWordEdit()->isReadOnly());
}

TEST_F(UpdateKeyPage, ARefusedUpdateLeavesTheControlWordUnlocked)
{
    click(*page, "changeWordButton");
    fake.returns("rz_authentication", 1);
    fillFields(QStringLiteral("A0A1A2A3A4A5"), QStringLiteral("B0B1B2B3B4B5"), QStringLiteral("ff078069"));
    click(*page, "updateButton");
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("0Sector authentication error!"));
    EXPECT_FALSE(controlWordEdit()->isReadOnly());
}

TEST_F(UpdateKeyPage, ChangeWordAsksOnlyWhileLockedAndAlwaysFocusesTheField)
{
    boxes.answer(false);
    click(*page, "changeWordButton");
    EXPECT_THAT(boxes.texts(),
                ElementsAre("Control bits once changed,the data this sector may not be read, continue?"));
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Question);
    EXPECT_TRUE(controlWordEdit()->isReadOnly());
    EXPECT_EQ(page->focusWidget(), controlWordEdit());

    child<QWidget>(*page, "keyAEdit")->setFocus();
    click(*page, "changeWordButton");
    EXPECT_FALSE(controlWordEdit()->isReadOnly()) << "answered Yes";
    EXPECT_EQ(page->focusWidget(), controlWordEdit());
    boxes.clear();
    click(*page, "changeWordButton");
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_FALSE(controlWordEdit()->isReadOnly());
}

TEST_F(UpdateKeyPage, AControlWordTypedBeforeUnlockingCannotBeEntered)
{
    chooseSector(1);
    QTest::keyClicks(controlWordEdit(), QStringLiteral("00"));
    EXPECT_EQ(text(*page, "controlWordEdit"), QStringLiteral("ff078069"));
    click(*page, "updateButton");
    EXPECT_EQ(fake.count("rz_changeb3"), 1) << "the word read from the card is written back";
}

TEST_F(UpdateKeyPage, TheAccessConditionsAreDecodedBesideTheControlWordAsTyped)
{
    auto *decoded = child<QLabel>(*page, "accessConditions");
    EXPECT_TRUE(decoded->text().isEmpty());
    chooseSector(1);
    EXPECT_EQ(decoded->text(), QStringLiteral("         bits  read  write incr  decr\n"
                                              "Block 0  000   A|B   A|B   A|B   A|B\n"
                                              "Block 1  000   A|B   A|B   A|B   A|B\n"
                                              "Block 2  000   A|B   A|B   A|B   A|B\n"
                                              "Trailer  001   read  write\n"
                                              "  key A        -     A\n"
                                              "  access       A     A\n"
                                              "  key B        A     A\n"
                                              "Key B can be read: it is data and opens nothing."));
    EXPECT_THAT(decoded->accessibleDescription().toStdString(),
                ::testing::HasSubstr("Block 1: read with key A or B, write with key A or B"));

    boxes.answer(true);
    click(*page, "changeWordButton");
    controlWordEdit()->setText(QStringLiteral("78778869")); // blocks 100, trailer 011
    EXPECT_THAT(decoded->text().toStdString(), ::testing::HasSubstr("Block 0  100   A|B   B     -     -"));
    EXPECT_THAT(decoded->text().toStdString(), ::testing::HasSubstr("  key B        -     B"));
    controlWordEdit()->setText(QStringLiteral("ff07"));
    EXPECT_TRUE(decoded->text().isEmpty());
}

TEST_F(UpdateKeyPageS70, ALargeSectorGroupsItsBlocksByFive)
{
    chooseSector(35);
    EXPECT_THAT(child<QLabel>(*page, "accessConditions")->text().toStdString(),
                ::testing::HasSubstr("Blocks 10-14  000   A|B"));
}

TEST_F(UpdateKeyPage, AControlWordThatWouldLockTheSectorNeedsASecondYes)
{
    boxes.answer(true);
    click(*page, "changeWordButton");
    fillFields(QStringLiteral("A0A1A2A3A4A5"), QStringLiteral("B0B1B2B3B4B5"), QStringLiteral("ff078169"));
    EXPECT_EQ(child<QLabel>(*page, "accessConditions")->text(),
              QStringLiteral("The inverted copies do not match:\nthis Control Word locks the sector for good."));
    boxes.clear();
    fake.clearCalls();
    boxes.answer(false);
    click(*page, "updateButton");
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Question);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("The inverted copies do not match: this Control Word locks the sector "
                                               "for good.\nWrite it to sector 0 all the same?"));
    EXPECT_THAT(fake.calls(), ::testing::IsEmpty());
    EXPECT_FALSE(controlWordEdit()->isReadOnly()) << "a refused update";

    boxes.clear();
    boxes.answer(true);
    click(*page, "updateButton");
    EXPECT_EQ(fake.count("rz_changeb3"), 1);
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("passwordUpdate success!"));
}

} // namespace
