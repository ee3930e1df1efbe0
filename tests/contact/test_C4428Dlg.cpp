#include "panels/contact/C4428Dlg.h"

#include "tests/contact/ContactPanelTest.h"

#include <QComboBox>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace
{

class C4428DlgTest : public contacttest::PanelTest<C4428Dlg>
{
protected:
    C4428DlgTest()
    {
        FAKE_ON(fake, rz_read_4428, [this](int, int address, unsigned char *data, int length) {
            if (address == failingAddress)
                return 1;
            for (int i = 0; i < length; ++i)
                data[i] = contacttest::patternByte(address + i);
            return 0;
        });
        FAKE_ON(fake, rz_write_4428, [this](int, int address, unsigned char *data, int length) {
            writes[address] = QByteArray(reinterpret_cast<const char *>(data), length).toHex().toUpper();
            return 0;
        });
        open();
        openingBoxes = boxes.texts();
        boxes.clear();
        fake.clearCalls();
    }
    QStringList log() const
    {
        QStringList lines;
        const QListWidget *list = child<QListWidget>("statusList");
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }

    QStringList openingBoxes;
    int failingAddress = -1;
    std::map<int, QByteArray> writes;
};

TEST_F(C4428DlgTest, OpensOnPageOneWithPlaceholderLinesAndAsksForTheCard)
{
    EXPECT_EQ(openingBoxes, QStringList{"Please check whether or not have card insert!"});
    EXPECT_EQ(view()->lines(), t7::contact::placeholderLines());
    EXPECT_EQ(child<QComboBox>("page")->currentText(), "1");
    EXPECT_EQ(text("psc"), "5B9D");
}

TEST_F(C4428DlgTest, PageThreeReadsAddresses512To767AndAFailedLineKeepsItsText)
{
    child<QComboBox>("page")->setCurrentIndex(2);
    failingAddress = 512 + 16 * 5;
    click("read");
    std::vector<std::string> expected;
    for (int i = 0; i < 16; ++i)
        expected.push_back("rz_read_4428(7," + std::to_string(512 + 16 * i) + ",*,16)");
    EXPECT_EQ(calls({"rz_read_4428"}), expected);
    EXPECT_EQ(view()->line(0), contacttest::patternLine(512));
    EXPECT_EQ(view()->line(15), contacttest::patternLine(752));
    EXPECT_EQ(view()->line(5), t7::contact::placeholderLines()[5]);
    EXPECT_EQ(log(), QStringList({"Read the5line data failed!", "Read card  complete!"}));
    EXPECT_EQ(child<QListWidget>("statusList")->currentRow(), 1) << "the newest line is selected";
}

TEST_F(C4428DlgTest, ThePscIsSentOnlyWhenItHoldsFourHexDigits)
{
    struct Case {
        const char *button;
        const char *field;
        QString typed;
        QString logged; // or the box shown
        bool boxed;
    };
    const Case cases[] = {
        {"verify", "psc", "5B9", "Length of chars inserted not enough!", false},
        {"verify", "psc", "5B9X", "Input data is incorrect!", false},
        {"updateKey", "newPsc", "123", "Length of chars inserted not enough!", true},
        {"updateKey", "newPsc", "12 4", "Input data is incorrect!", true},
    };
    for (const Case &c : cases) {
        child<QAbstractButton>("clear")->click();
        boxes.clear();
        setText(c.field, c.typed);
        click(c.button);
        EXPECT_EQ(c.boxed ? boxes.texts() : log(), QStringList{c.logged}) << c.typed.toStdString();
    }
    EXPECT_THAT(fake.calls(), IsEmpty());
    setText("psc", "5b9d");
    click("verify");
    EXPECT_EQ(log(), QStringList{"Password authentication success!"});
    EXPECT_EQ(text("psc"), "5B9D");
}

TEST_F(C4428DlgTest, WriteProChecksItsDataAgainstTheLength)
{
    setText("length", "2");
    setText("address", "01F0");
    for (const QString &data : {QStringLiteral("12"), QStringLiteral("12G4")}) {
        setText("protectionData", data);
        click("writeProtection");
    }
    EXPECT_EQ(boxes.texts(), QStringList({"Length of chars inserted not enough!", "Input data is incorrect!"}));
    setText("protectionData", "1234FF");
    click("writeProtection");
    EXPECT_THAT(fake.callsTo({"rz_setProtectData_4428"}), ElementsAre("rz_setProtectData_4428(7,496,*,2)"));
    EXPECT_EQ(log(), QStringList{"Write protection bits success!"});
}

TEST_F(C4428DlgTest, WriteTakesAnEditThatWasNeverLeftAndRefusesAMalformedLine)
{
    child<QComboBox>("page")->setCurrentIndex(1);
    editLine(3, "00112233445566778899AABBCCDDEEFF");
    ASSERT_TRUE(view()->edit()->hasFocus());
    dialog->onWritePage();
    EXPECT_EQ(writes.size(), 16u);
    EXPECT_EQ(writes[256 + 48], "00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(writes[256], "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF");
    EXPECT_EQ(log().last(), "Write card  complete!");

    writes.clear();
    editLine(7, "0011");
    dialog->onWritePage();
    EXPECT_THAT(writes, IsEmpty());
    EXPECT_EQ(boxes.texts(), QStringList{"Input data is incorrect!"});
}

} // namespace
