// The tool's own card-finding operation against the simulated cards.
#include "reader/CardSerial.h"
#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

namespace
{

using simtest::qvd;

TEST(CardSerialOnSimulator, FourByteUidGivesEightDigits)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    unsigned serial = 0;
    EXPECT_EQ(t7::GetCardSerial(h, serial).toStdString(), "5A3C910E");
    EXPECT_EQ(serial, 0x5A3C910Eu);
    // The card is selected and ready for authentication.
    EXPECT_EQ(qvd().rz_authentication(h, 0, 2), 0);
}

TEST(CardSerialOnSimulator, SevenByteUidGivesSixteenDigitsAndASelectedCard)
{
    sim::SimBench bench;
    bench.run("place usb1 typea s70 --uid 04A1B2C3D4E5F6");
    const int h = qvd().rz_init(100, 0);
    unsigned serial = 0;
    EXPECT_EQ(t7::GetCardSerial(h, serial).toStdString(), "8804A1B2C3D4E5F6");
    EXPECT_EQ(qvd().rz_authentication(h, 0, 35), 0);
}

TEST(CardSerialOnSimulator, NoCardGivesTheEmptyText)
{
    sim::SimBench bench;
    bench.run("remove usb1 typea");
    const int h = qvd().rz_init(100, 0);
    unsigned serial = 77;
    EXPECT_TRUE(t7::GetCardSerial(h, serial).isEmpty());
    EXPECT_EQ(serial, 77u);
}

} // namespace
