// The Auto Test page: the test pass and its line formats, OK/FAULT counting,
// and the worker's start, stop and close.
#include "tests/mifare_one/MifarePageTest.h"

#include "panels/mifare_one/AutoTestPageDlg.h"
#include "ui/SectorMap.h"

#include <QCoreApplication>
#include <QListWidget>

#include <atomic>
#include <future>
#include <thread>

using mifaretest::PageTest;
using t7::mifare::state;
using ::testing::ElementsAre;

namespace
{

const QString kVerifyFailed = QStringLiteral("Read Error,Reason：Verify Key Failed");

int fillBlock(unsigned char block, unsigned char *data)
{
    for (int i = 0; i < 16; ++i)
        data[i] = static_cast<unsigned char>(block + i);
    return 0;
}

// Block b reads as bytes b, b+1, ... upper-cased into hex.
QString blockHex(int block)
{
    QString hex;
    for (int i = 0; i < 16; ++i)
        hex += QStringLiteral("%1").arg((block + i) & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    return hex;
}

class AutoTestPage : public PageTest
{
protected:
    explicit AutoTestPage(int kind = t7::mifare::kCardKindS50) : PageTest(kind)
    {
        FAKE_ON(fake, rz_read, [](int, unsigned char b, unsigned char *d) { return fillBlock(b, d); });
        FAKE_ON(fake, rz_read_S70, [](int, unsigned char b, unsigned char *d) { return fillBlock(b, d); });
        FAKE_ON(fake, rz_card, [this](int, unsigned char, unsigned int *serial) {
            if (!onUiThread() && holdWorker && !workerHeld.exchange(true)) {
                const std::shared_future<void> released = workerReleased;
                workerArrived.set_value();
                released.wait();
            }
            return cardAnswer(serial);
        });
        fake.returns("rz_anticoll2", 1);
        fake.returns("rz_card", 0);
        page.opening();
        page.show();
        // Counted on this thread, after the page's own handling of the signal.
        QObject::connect(
            &page, &AutoTestPageDlg::workerFinished, &page, [this] { ++workerEnds; }, Qt::QueuedConnection);
    }
    ~AutoTestPage() override
    {
        // A worker still held at its first call goes on and sees the page closing.
        holdWorker = false;
        page.requestQuit();
        if (!released)
            release.set_value();
    }
    bool onUiThread() const { return std::this_thread::get_id() == uiThread; }
    QStringList lines() const
    {
        QStringList texts;
        auto *list = child<QListWidget>(page, "resultList");
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    // "Test(&B)": its pass runs on this thread; the worker is held at its first card
    // search and then ended.
    void testOnce()
    {
        armHold();
        click(page, "testButton");
        uiCalls = callsBeforeTheWorker();
        page.requestQuit();
        releaseWorker();
        page.stopWorker();
    }
    // Once the worker waits at its first call: every call so far but that one.
    std::vector<std::string> callsBeforeTheWorker()
    {
        workerArrived.get_future().wait();
        std::vector<std::string> calls = fake.calls();
        calls.pop_back();
        return calls;
    }
    void releaseWorker()
    {
        release.set_value();
        released = true;
    }
    // Before another "Test(&B)": the next worker is held again at its first call.
    void armHold()
    {
        workerHeld = false;
        workerArrived = std::promise<void>();
        release = std::promise<void>();
        workerReleased = release.get_future().share();
        released = false;
    }
    // Calls made by the pass of "Test(&B)" (the worker starts after it).
    std::vector<std::string> passCalls() const { return uiCalls; }
    bool idle() const
    {
        return child<QAbstractButton>(page, "testButton")->isEnabled() &&
               !child<QAbstractButton>(page, "stopButton")->isEnabled();
    }
    bool running() const
    {
        return !child<QAbstractButton>(page, "testButton")->isEnabled() &&
               child<QAbstractButton>(page, "stopButton")->isEnabled();
    }
    // Until the worker's end has reached the page, with its queued updates.
    void waitForWorkerEnd()
    {
        while (workerEnds == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
    }

    const std::thread::id uiThread = std::this_thread::get_id();
    // How the card answers rz_card; set before the worker starts.
    std::function<int(unsigned int *)> cardAnswer = [](unsigned int *serial) {
        *serial = 0x12345678;
        return 0;
    };
    // The worker waits at its first rz_card until released (see testOnce).
    std::atomic<bool> holdWorker{true};
    std::atomic<bool> workerHeld{false};
    std::promise<void> workerArrived;
    std::promise<void> release;
    std::shared_future<void> workerReleased = release.get_future().share();
    bool released = false;
    std::vector<std::string> uiCalls;
    int workerEnds = 0;
    AutoTestPageDlg page;
};

class AutoTestPageS70 : public AutoTestPage
{
protected:
    AutoTestPageS70() : AutoTestPage(t7::mifare::kCardKindS70) {}
};

class AutoTestPageNoKind : public AutoTestPage
{
protected:
    AutoTestPageNoKind() : AutoTestPage(0) {}
};

TEST_F(AutoTestPage, AnS50ThatReadsCompletelyCountsOk)
{
    EXPECT_TRUE(idle());
    click(page, "testButton");
    EXPECT_TRUE(running());
    callsBeforeTheWorker();
    page.requestQuit();
    releaseWorker();
    page.stopWorker();
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 64);
    for (int b = 0; b < 64; ++b)
        EXPECT_EQ(shown[b], QStringLiteral("%1: ").arg(b, 2, 10, QLatin1Char('0')) + blockHex(b));
    EXPECT_EQ(shown[0], QStringLiteral("00: 000102030405060708090A0B0C0D0E0F"));
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("1"));
    EXPECT_EQ(text(page, "faultEdit"), QStringLiteral("0"));
    EXPECT_EQ(text(page, "serialLabel"), QStringLiteral("0305419896"));
    EXPECT_TRUE(text(page, "statusLabel").isEmpty());
}

TEST_F(AutoTestPage, APassAuthenticatesEachSectorThenReadsItsBlocks)
{
    child<QAbstractButton>(page, "keyB")->click();
    testOnce();
    const auto calls = passCalls();
    const std::vector<std::string> start(calls.begin(), calls.begin() + 8);
    EXPECT_THAT(start,
                ElementsAre("rz_card(7,1,*)", "rz_anticoll2(7,0,*)", "rz_card(7,1,*)", "rz_authentication(7,4,0)",
                            "rz_read(7,0,*)", "rz_read(7,1,*)", "rz_read(7,2,*)", "rz_read(7,3,*)"));
    EXPECT_EQ(calls.back(), "rz_read(7,63,*)");
    EXPECT_EQ(state().currentKeyMode, 4);
}

TEST_F(AutoTestPageS70, AnS70GivesTwoHundredFiftySixLinesInThreeDigits)
{
    testOnce();
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 256);
    EXPECT_EQ(shown[0], QStringLiteral("000: ") + blockHex(0));
    EXPECT_EQ(shown[143], QStringLiteral("143: ") + blockHex(143));
    EXPECT_EQ(shown[255], QStringLiteral("255: ") + blockHex(255));
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("1"));
    EXPECT_EQ(fake.count("rz_read"), 0);
    EXPECT_THAT(fake.callsTo({"rz_authentication"}).at(39), "rz_authentication(7,0,39)");
    EXPECT_EQ(child<SectorMap>(page, "sectorMap")->sectorCount(), 40);
}

TEST_F(AutoTestPage, TheSectorMapShowsWhichSectorsReadAndWhichDidNot)
{
    FAKE_ON(fake, rz_authentication, [](int, unsigned char, unsigned char sector) { return sector == 3 ? 1 : 0; });
    FAKE_ON(fake, rz_read, [](int, unsigned char b, unsigned char *d) { return b == 21 ? 2 : fillBlock(b, d); });
    testOnce();
    const auto *map = child<SectorMap>(page, "sectorMap");
    ASSERT_EQ(map->sectorCount(), 16);
    for (int s = 0; s < 16; ++s) {
        const SectorMap::State expected = s == 3   ? SectorMap::State::AuthenticationFailed
                                          : s == 5 ? SectorMap::State::ReadFailed
                                                   : SectorMap::State::ReadOk;
        EXPECT_EQ(map->state(s), expected) << s;
    }
    EXPECT_EQ(map->findChild<QLabel *>("sectorCell5")->accessibleDescription(), "read failed");
}

TEST_F(AutoTestPage, ASectorWithAWrongKeyListsVerifyKeyFailedAndCountsFault)
{
    FAKE_ON(fake, rz_authentication, [](int, unsigned char, unsigned char sector) { return sector == 3 ? 1 : 0; });
    testOnce();
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 64);
    EXPECT_EQ(shown[11], QStringLiteral("11: ") + blockHex(11));
    EXPECT_EQ(shown[12], QStringLiteral("12: ") + kVerifyFailed);
    EXPECT_EQ(shown[15], QStringLiteral("15: ") + kVerifyFailed);
    EXPECT_EQ(shown[16], QStringLiteral("16: ") + blockHex(16));
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("0"));
    EXPECT_EQ(text(page, "faultEdit"), QStringLiteral("1"));

    // Sector 3: authenticate, find the card, authenticate again; sector 4 starts with a re-find.
    const auto calls = passCalls();
    const auto third = std::find(calls.begin(), calls.end(), "rz_authentication(7,0,3)");
    ASSERT_LT(third + 8, calls.end());
    const std::vector<std::string> around(third, third + 8);
    EXPECT_THAT(around,
                ElementsAre("rz_authentication(7,0,3)", "rz_card(7,1,*)", "rz_anticoll2(7,0,*)", "rz_card(7,1,*)",
                            "rz_authentication(7,0,3)", "rz_card(7,1,*)", "rz_anticoll2(7,0,*)", "rz_card(7,1,*)"));
    EXPECT_EQ(*(third + 8), "rz_authentication(7,0,4)");
}

TEST_F(AutoTestPage, ASecondAuthenticationThatSucceedsNumbersItsLinesPlainly)
{
    std::atomic<int> attempts{0};
    FAKE_ON(fake, rz_authentication,
            [&attempts](int, unsigned char, unsigned char sector) { return sector == 2 && attempts++ == 0 ? 1 : 0; });
    testOnce();
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 64);
    EXPECT_EQ(shown[7], QStringLiteral("07: ") + blockHex(7));
    EXPECT_EQ(shown[8], QStringLiteral("8: ") + blockHex(8));
    EXPECT_EQ(shown[11], QStringLiteral("11: ") + blockHex(11));
    EXPECT_EQ(shown[12], QStringLiteral("12: ") + blockHex(12));
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("1"));
}

TEST_F(AutoTestPage, AFailedReadCountsFaultAndTheNextSectorFindsTheCardAgain)
{
    FAKE_ON(fake, rz_read, [](int, unsigned char b, unsigned char *d) { return b == 7 ? 2 : fillBlock(b, d); });
    testOnce();
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 64);
    EXPECT_EQ(shown[7], QStringLiteral("07: Read Error!"));
    EXPECT_EQ(text(page, "faultEdit"), QStringLiteral("1"));
    const auto calls = passCalls();
    const auto failed = std::find(calls.begin(), calls.end(), "rz_read(7,7,*)");
    ASSERT_LT(failed + 1, calls.end());
    EXPECT_EQ(*(failed + 1), "rz_card(7,1,*)");
    // A failure followed by good blocks in the same sector needs no re-find.
    FAKE_ON(fake, rz_read, [](int, unsigned char b, unsigned char *d) { return b == 5 ? 2 : fillBlock(b, d); });
    QCoreApplication::processEvents();
    ASSERT_TRUE(idle());
    fake.clearCalls();
    testOnce();
    const auto again = passCalls();
    const auto fifth = std::find(again.begin(), again.end(), "rz_read(7,5,*)");
    ASSERT_LT(fifth + 3, again.end());
    EXPECT_EQ(*(fifth + 3), "rz_authentication(7,0,2)");
}

TEST_F(AutoTestPage, ACardRemovedDuringThePassEndsItWithoutCounting)
{
    std::atomic<bool> removed{false};
    FAKE_ON(fake, rz_read, [&removed](int, unsigned char b, unsigned char *d) {
        if (b == 7)
            removed = true;
        return b >= 7 ? 1 : fillBlock(b, d);
    });
    cardAnswer = [&removed](unsigned int *serial) {
        *serial = 1;
        return removed ? 1 : 0;
    };
    testOnce();
    EXPECT_EQ(lines().size(), 8);
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("0"));
    EXPECT_EQ(text(page, "faultEdit"), QStringLiteral("0"));
}

TEST_F(AutoTestPageNoKind, ACardThatIsNeitherS50NorS70IsReadButNotCounted)
{
    testOnce();
    EXPECT_EQ(lines().size(), 64);
    EXPECT_EQ(lines()[63].left(4), QStringLiteral("63: "));
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("0"));
    EXPECT_EQ(text(page, "faultEdit"), QStringLiteral("0"));
}

TEST_F(AutoTestPage, NoCardAtTestSaysSoAndStillStartsTheWorker)
{
    fake.returns("rz_card", 1);
    FAKE_ON(fake, rz_card, [](int, unsigned char, unsigned int *) { return 1; });
    click(page, "testButton");
    EXPECT_EQ(text(page, "statusLabel"), QStringLiteral("No card or card type error!"));
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("0"));
    EXPECT_EQ(text(page, "faultEdit"), QStringLiteral("0"));
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_TRUE(page.workerRunning());
    EXPECT_TRUE(running());
    page.stopWorker();
}

TEST_F(AutoTestPage, StopLetsTheRunningCycleFinishBeforeTheButtonsTurnBack)
{
    std::promise<void> reached;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> blocked{false};
    FAKE_ON(fake, rz_read, [&, released](int, unsigned char b, unsigned char *d) {
        if (!onUiThread() && !blocked.exchange(true)) {
            reached.set_value();
            released.wait();
        }
        return fillBlock(b, d);
    });
    click(page, "testButton");
    const std::size_t uiCount = callsBeforeTheWorker().size();
    releaseWorker();
    reached.get_future().wait();

    // The worker's cycle: find the card, request it, then the pass.
    const auto all = fake.calls();
    const std::vector<std::string> cycle(all.begin() + uiCount, all.end());
    EXPECT_THAT(cycle, ElementsAre("rz_card(7,1,*)", "rz_anticoll2(7,0,*)", "rz_card(7,1,*)", "rz_request(7,1,*)",
                                   "rz_authentication(7,0,0)", "rz_read(7,0,*)"));

    click(page, "stopButton");
    EXPECT_TRUE(running()) << "the buttons wait for the cycle";
    release.set_value();
    waitForWorkerEnd();
    EXPECT_TRUE(idle());
    EXPECT_FALSE(page.workerRunning());
    EXPECT_EQ(lines().size(), 64);
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("2")) << "the pass of Test and the worker's cycle";
    EXPECT_EQ(text(page, "serialLabel"), QStringLiteral("0305419896"));
    EXPECT_TRUE(text(page, "statusLabel").isEmpty());
}

TEST_F(AutoTestPage, AStopPressedDuringTheFirstCycleEndsTheWorkerAfterIt)
{
    std::atomic<int> workerFinds{0};
    cardAnswer = [&](unsigned int *serial) {
        *serial = 5;
        if (onUiThread())
            return 0;
        ++workerFinds;
        return 1;
    };
    click(page, "testButton");
    callsBeforeTheWorker();
    click(page, "stopButton");
    releaseWorker();
    waitForWorkerEnd();
    EXPECT_TRUE(idle());
    EXPECT_EQ(workerFinds, 1);
    EXPECT_TRUE(lines().isEmpty()) << "each cycle empties the list";
    EXPECT_EQ(text(page, "statusLabel"), QStringLiteral("No card or card type error!"));
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("1"));
}

TEST_F(AutoTestPage, AFailedRequestEndsTheWorkerCycleSilently)
{
    holdWorker = false;
    FAKE_ON(fake, rz_request, [](int, unsigned char, int *) { return 1; });
    click(page, "testButton");
    click(page, "stopButton");
    waitForWorkerEnd();
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_TRUE(text(page, "statusLabel").isEmpty());
    EXPECT_EQ(text(page, "okEdit"), QStringLiteral("1"));
    EXPECT_EQ(fake.count("rz_authentication"), 16) << "only the pass of Test authenticated";
    EXPECT_EQ(state().cardKind, t7::mifare::kCardKindS50);
}

TEST_F(AutoTestPage, ClosingDuringACycleEndsTheWorkerAtTheNextBlock)
{
    holdWorker = false;
    std::promise<void> reached;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> workerReads{0};
    FAKE_ON(fake, rz_read, [&, released](int, unsigned char b, unsigned char *d) {
        if (!onUiThread() && workerReads++ == 0) {
            reached.set_value();
            released.wait();
        }
        return fillBlock(b, d);
    });
    click(page, "testButton");
    reached.get_future().wait();
    page.requestQuit();
    release.set_value();
    page.close();
    EXPECT_FALSE(page.workerRunning());
    EXPECT_EQ(workerReads, 1) << "no block is read once the page closes";
    EXPECT_EQ(page.okCount(), 1) << "the cut-off pass is not counted";
}

TEST_F(AutoTestPage, TheWorkerKeepsCountingTheCardLeftOnTheReader)
{
    holdWorker = false;
    std::atomic<int> workerPasses{0};
    std::promise<void> thirdPass;
    FAKE_ON(fake, rz_authentication, [&](int, unsigned char, unsigned char sector) {
        if (!onUiThread() && sector == 0 && ++workerPasses == 3)
            thirdPass.set_value();
        return 0;
    });
    click(page, "testButton");
    thirdPass.get_future().wait();
    click(page, "stopButton");
    waitForWorkerEnd();
    EXPECT_GE(text(page, "okEdit").toInt(), 4);
    EXPECT_EQ(text(page, "okEdit").toInt(), page.okCount());
    EXPECT_EQ(text(page, "faultEdit"), QStringLiteral("0"));
}

} // namespace
