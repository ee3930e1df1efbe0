#include "app/ArrowIconStyle.h"
#include "app/CMainFrame.h"
#include "app/COperTreeDlg.h"
#include "app/CQvd50App.h"
#include "app/CQvd50View.h"
#include "app/CReaderVersionDlg.h"
#include "app/Icons.h"
#include "reader/ConnectionState.h"
#include "reader/KeyFile.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinters.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

using Calls = std::vector<std::string>;

namespace
{

// Keeps each test's key file in its own folder.
class ScopedDataHome
{
public:
    explicit ScopedDataHome(const QString &path)
        : old_(qgetenv("XDG_DATA_HOME")), had_(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(path));
    }
    ~ScopedDataHome()
    {
        if (had_)
            qputenv("XDG_DATA_HOME", old_);
        else
            qunsetenv("XDG_DATA_HOME");
    }

private:
    QByteArray old_;
    bool had_;
};

class FrameTest : public ::testing::Test
{
protected:
    FrameTest() { t7::connection().reset(); }
    ~FrameTest() override { t7::connection().reset(); }

    QAction *action(CMainFrame &frame, const char *name) { return frame.findChild<QAction *>(name); }

    void openTwoReaders(CMainFrame &frame)
    {
        t7::ConnectionState &state = t7::connection();
        state.readers[0] = {0, "T7-A", 0, 11};
        state.readers[1] = {0, "T7-B", 1, 12};
        state.readerCount = 2;
        state.deviceHandle = 12;
        state.portOpen = 1;
        frame.updateCommands();
    }

    QTemporaryDir home;
    ScopedDataHome dataHome{home.path()};
    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    fake::ModalScript modals;
};

QStringList actionTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

} // namespace

TEST_F(FrameTest, MenusCarryTheirCaptionsAndMnemonicsInOrder)
{
    CMainFrame frame;
    QStringList menus;
    for (QAction *menu : frame.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"Device(&F)", "View(&V)", "Help(&H)"}));
    const QList<QAction *> top = frame.menuBar()->actions();
    EXPECT_EQ(actionTexts(top[0]->menu()->actions()),
              (QStringList{"Open Port(&I)", "Close Port(&C)", "-", "Exit(&X)"}));
    EXPECT_EQ(actionTexts(top[1]->menu()->actions()), (QStringList{"Toolbar(&T)", "Taskbar(&S)"}));
    EXPECT_EQ(actionTexts(top[2]->menu()->actions()),
              (QStringList{"About T7Demo(&A)...", "Show the Reader version(&S)", "Card test(&C)"}));
}

TEST_F(FrameTest, ToolbarButtonsInOrderWithTooltipsAndPrompts)
{
    CMainFrame frame;
    auto *tools = frame.findChild<QToolBar *>("toolBar");
    ASSERT_NE(tools, nullptr);
    const QStringList expected = {"Open Serial Port",  "Device Operation", "Get Current Card Type",
                                  "Close Serial Port", "Chose a device",   "About"};
    const QList<QAction *> buttons = tools->actions();
    ASSERT_EQ(buttons.size(), expected.size());
    for (int i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->toolTip(), expected[i]);
        EXPECT_EQ(buttons[i]->statusTip(), expected[i]);
        EXPECT_FALSE(buttons[i]->icon().isNull()) << i;
    }
    EXPECT_EQ(tools->iconSize(), QSize(16, 15));
}

TEST_F(FrameTest, FivePanesWithTheirTextsAndWidths)
{
    CMainFrame frame;
    const QStringList texts = {"Ready", "Port not opened", "Current Card Type", "Device Verision",
                               "SoftWare Version:  V1.6.16.25"};
    const int widths[] = {180, 180, 250, 180, 180};
    for (int i = 0; i < 5; ++i) {
        auto *pane = frame.statusBar()->findChild<QLabel *>(QStringLiteral("pane%1").arg(i));
        ASSERT_NE(pane, nullptr) << i;
        EXPECT_EQ(pane->text(), texts[i]);
        EXPECT_EQ(pane->minimumWidth(), pane->maximumWidth()) << i;
        EXPECT_GE(pane->width(), widths[i]) << i;
        // Never narrower than needed, never much wider than asked.
        EXPECT_GE(pane->width(), pane->fontMetrics().horizontalAdvance(texts[i])) << i;
        EXPECT_LE(pane->width(), std::max(widths[i], pane->fontMetrics().horizontalAdvance(texts[i]) + 20)) << i;
    }
}

TEST_F(FrameTest, FlyByPromptsGoToTheMessagePaneOnly)
{
    CMainFrame frame;
    QStatusTipEvent tip(QStringLiteral("Close Serial Port"));
    QApplication::sendEvent(&frame, &tip);
    EXPECT_EQ(frame.paneText(0), "Close Serial Port");
    EXPECT_EQ(frame.paneText(1), "Port not opened");
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(&frame, &none);
    EXPECT_EQ(frame.paneText(0), "Ready");
}

TEST_F(FrameTest, CommandsFollowThePortOpenFlag)
{
    const char *whenOpen[] = {"actionClosePort",     "toolCloseSerialPort",    "toolDeviceOperation",
                              "actionReaderVersion", "toolGetCurrentCardType", "actionCardTest",
                              "toolChoseDevice"};
    const char *whenClosed[] = {"actionOpenPort", "toolOpenSerialPort"};
    const char *always[] = {"actionExit", "actionAbout", "toolAbout"};

    t7::connection().portOpen = 1; // the frame starts with the port closed, whatever was before
    CMainFrame frame;
    EXPECT_EQ(t7::connection().portOpen, 0);
    for (const char *name : whenOpen)
        EXPECT_FALSE(action(frame, name)->isEnabled()) << name;
    for (const char *name : whenClosed)
        EXPECT_TRUE(action(frame, name)->isEnabled()) << name;

    // Opened elsewhere (the tree): showing a menu brings the commands up to date.
    t7::connection().portOpen = 1;
    emit frame.findChild<QMenu *>("menuDevice")->aboutToShow();
    for (const char *name : whenOpen)
        EXPECT_TRUE(action(frame, name)->isEnabled()) << name;
    for (const char *name : whenClosed)
        EXPECT_FALSE(action(frame, name)->isEnabled()) << name;
    for (const char *name : always)
        EXPECT_TRUE(action(frame, name)->isEnabled()) << name;

    action(frame, "actionClosePort")->trigger();
    EXPECT_TRUE(action(frame, "toolOpenSerialPort")->isEnabled());
    EXPECT_FALSE(action(frame, "toolChoseDevice")->isEnabled());
}

TEST_F(FrameTest, OpeningThePortThroughTheDialogEnablesTheCommands)
{
    FAKE_ON(fake, rz_init, [](int, int) {
        static bool first = true;
        const bool give = first;
        first = false;
        return give ? 11 : -1;
    });
    FAKE_ON(fake, rz_getver, [](int, char *text) {
        std::strcpy(text, "T7-A");
        return 0;
    });
    modals.on("CInitPortDlg", [](QDialog &dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton);
        return dialog.result();
    });
    CMainFrame frame;
    action(frame, "toolOpenSerialPort")->trigger();
    EXPECT_EQ(modals.shown(), (QStringList{"CInitPortDlg", "CSelectReaderDlg"}));
    EXPECT_EQ(frame.paneText(1), "Type of port:USB");
    EXPECT_EQ(frame.paneText(3), "Device Verision: T7-A");
    EXPECT_TRUE(action(frame, "toolCloseSerialPort")->isEnabled());
    EXPECT_FALSE(action(frame, "actionOpenPort")->isEnabled());
}

TEST_F(FrameTest, ClosePortClosesEveryReaderInTableOrderAndShowsFailures)
{
    CMainFrame frame;
    openTwoReaders(frame);
    FAKE_ON(fake, rz_exit, [](int h) { return h == 11 ? -7 : 0; });
    action(frame, "toolCloseSerialPort")->trigger();
    EXPECT_EQ(fake.calls(), (Calls{"rz_exit(11)", "rz_exit(12)"}));
    EXPECT_EQ(boxes.texts(), QStringList{"-7"});
    const t7::ConnectionState &state = t7::connection();
    EXPECT_EQ(state.portOpen, 0);
    EXPECT_EQ(state.readerCount, 2);
    EXPECT_EQ(state.deviceHandle.load(), 12);
}

TEST_F(FrameTest, ClosePortWithoutReadersOnlyMarksThePortClosed)
{
    CMainFrame frame;
    t7::connection().portOpen = 1;
    frame.OnClosePort();
    EXPECT_TRUE(fake.calls().empty());
    EXPECT_EQ(t7::connection().portOpen, 0);
}

TEST_F(FrameTest, GetCurrentCardTypeNamesTheTagType)
{
    CMainFrame frame;
    openTwoReaders(frame);
    const std::vector<std::pair<int, QString>> cases = {{2, "S70"},          {4, "Mifare one"}, {8, "Mifare Pro"},
                                                        {0x44, "UtraLight"}, {0x08 + 1, ""},    {0, ""}};
    for (const auto &[tagType, name] : cases) {
        FAKE_ON(fake, rz_request, [tag = tagType](int, unsigned char, int *type) {
            *type = tag;
            return 0;
        });
        action(frame, "toolGetCurrentCardType")->trigger();
        EXPECT_EQ(frame.paneText(2), "Current Card Type: " + name) << tagType;
    }
    EXPECT_EQ(fake.callsTo({"rz_request"}).front(), "rz_request(12,0,*)");

    fake.remove("rz_request");
    CMainFrame noRequest;
    openTwoReaders(noRequest);
    noRequest.OnGetCurrentCardType();
    EXPECT_EQ(noRequest.paneText(2), "Find card error!");
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(FrameTest, CardTestAsksInSerialModeOverASerialLinkAndReportsNoCard)
{
    CMainFrame frame;
    openTwoReaders(frame);
    t7::connection().serialLink = 1;
    fake.returns("rz_request", 1);
    action(frame, "actionCardTest")->trigger();
    EXPECT_EQ(fake.calls(), Calls{"rz_request(12,1,*)"});
    EXPECT_EQ(frame.paneText(2), "Find card error!");
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(FrameTest, TheReaderVersionDialogShowsTheVersionInBold)
{
    t7::connection().deviceHandle = 12;
    FAKE_ON(fake, rz_getver, [](int, char *text) {
        std::strcpy(text, "T7-V2.10");
        return 0;
    });
    CReaderVersionDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Version of reader");
    EXPECT_EQ(dialog.versionText(), "T7-V2.10");
    EXPECT_EQ(fake.calls(), Calls{"rz_getver(12,*)"});
    auto *version = dialog.findChild<QLabel *>("version");
    auto *caption = dialog.findChild<QLabel *>("versionCaption");
    EXPECT_EQ(caption->text(), "Version:");
    EXPECT_TRUE(version->font().bold());
    EXPECT_TRUE(caption->font().bold());
}

TEST_F(FrameTest, TheFrameCommandsOpenTheirDialogs)
{
    CMainFrame frame;
    openTwoReaders(frame);
    frame.updateCommands();
    action(frame, "actionReaderVersion")->trigger();
    action(frame, "toolChoseDevice")->trigger();
    action(frame, "toolAbout")->trigger();
    action(frame, "actionAbout")->trigger();
    action(frame, "toolDeviceOperation")->trigger();
    EXPECT_EQ(modals.shown(),
              (QStringList{"CReaderVersionDlg", "CSelectReaderDlg", "CAboutDlg", "CAboutDlg", "CDeviceDlg"}));
}

TEST_F(FrameTest, TheViewKeepsTheTreeOnItsLeft400Pixels)
{
    CMainFrame frame;
    CQvd50View *view = frame.view();
    ASSERT_NE(view, nullptr);
    frame.show();
    EXPECT_EQ(frame.centralWidget(), view);
    view->resize(1200, 700);
    EXPECT_EQ(view->operTree()->geometry(), QRect(0, 0, 400, 700));
    view->resize(900, 333);
    EXPECT_EQ(view->operTree()->geometry(), QRect(0, 0, 400, 333));
    EXPECT_EQ(view->palette().color(QPalette::Window), QColor(0, 139, 139));
    EXPECT_FALSE(view->operTree()->isWindow());
    EXPECT_TRUE(view->operTree()->isVisible());
    EXPECT_TRUE(view->autoFillBackground());
}

TEST_F(FrameTest, GetCardSerialOfTheApplicationFollowsTheCascade)
{
    FAKE_ON(fake, rz_card, [](int, unsigned char, unsigned int *serial) {
        *serial = 0x0A0B0C0D;
        return 0;
    });
    FAKE_ON(fake, rz_anticoll2, [](int, unsigned char, unsigned int *second) {
        *second = 0x11223344;
        return 0;
    });
    unsigned int serial = 0;
    EXPECT_EQ(CQvd50App::GetCardSerial(5, serial), "0A0B0C0D11223344");
    EXPECT_EQ(fake.calls(), (Calls{"rz_card(5,1,*)", "rz_anticoll2(5,0,*)", "rz_select2(5,287454020)"}));

    // No second level, and the card no longer answers: the first serial stands.
    fake.clearCalls();
    FAKE_ON(fake, rz_anticoll2, [](int, unsigned char, unsigned int *) { return 1; });
    int cardCalls = 0;
    FAKE_ON(fake, rz_card, [&cardCalls](int, unsigned char, unsigned int *serial) {
        if (++cardCalls > 1)
            return 1;
        *serial = 0x0A0B0C0D;
        return 0;
    });
    EXPECT_EQ(CQvd50App::GetCardSerial(5, serial), "0A0B0C0D");
    EXPECT_EQ(serial, 0x0A0B0C0Du);
    EXPECT_EQ(fake.calls(), (Calls{"rz_card(5,1,*)", "rz_anticoll2(5,0,*)", "rz_card(5,1,*)"}));
}

// The key file: created empty, owner only, when it is missing.
TEST_F(FrameTest, TheFrameMakesSureTheKeyFileExists)
{
    const QString file = home.path() + "/T7/keys.txt";
    EXPECT_EQ(t7::keyFilePath(), file);
    {
        CMainFrame frame;
    }
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(QFile(file).size(), 0);
    struct stat info {
    };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(QFile::encodeName(home.path() + "/T7").constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0u);
}

TEST(KeyFile, AnExistingFileIsLeftAsItIs)
{
    QTemporaryDir home;
    const QString file = home.path() + "/T7/keys.txt";
    ASSERT_TRUE(QDir().mkpath(home.path() + "/T7"));
    QFile keys(file);
    ASSERT_TRUE(keys.open(QIODevice::WriteOnly));
    keys.write("0123456789ABCDEF");
    keys.close();
    t7::ensureKeyFile(file);
    EXPECT_EQ(QFile(file).size(), 16);
}

TEST(KeyFile, AnExistingFolderWithoutTheFileGetsAnEmptyFile)
{
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(home.path() + "/T7"));
    t7::ensureKeyFile(home.path() + "/T7/keys.txt");
    EXPECT_TRUE(QFile::exists(home.path() + "/T7/keys.txt"));
}

TEST(KeyFile, WhenTheFolderCannotBeMadeNothingIsCreatedAndNothingReported)
{
    QTemporaryDir home;
    // A plain file where the folder's parent should be: no folder can be made there.
    const QString blocker = home.path() + "/data";
    QFile block(blocker);
    ASSERT_TRUE(block.open(QIODevice::WriteOnly));
    block.close();
    ScopedDataHome dataHome(blocker);
    fake::MessageRecorder boxes;
    fake::FakeReader fake;
    CMainFrame frame;
    EXPECT_FALSE(QFile::exists(blocker + "/T7/keys.txt"));
    EXPECT_EQ(QFileInfo(blocker).size(), 0);
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST(KeyFile, ARelativeDataHomeIsIgnored)
{
    ScopedDataHome dataHome("relative/place");
    EXPECT_EQ(t7::keyFilePath(), QDir::homePath() + "/.local/share/T7/keys.txt");
}

TEST(Application, AMissingReaderLibraryIsReportedOnceInTheApplicationBox)
{
    fake::MessageRecorder boxes;
    qvd::resetFailureReports();
    qvd::setLibraryFileForTesting("libqvd-missing-for-test.so");
    CQvd50App::installLoadFailureBox();
    EXPECT_EQ(qvd::Library::load(), nullptr);
    EXPECT_EQ(qvd::Library::load(), nullptr);
    qvd::setFailureReporter(nullptr);
    qvd::setLibraryFileForTesting("");
    qvd::resetFailureReports();
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Application);
    EXPECT_TRUE(boxes.texts()[0].contains("libqvd-missing-for-test.so")) << boxes.texts()[0].toStdString();
}

// The extension arrows come from the tool's style with Qt's own pictures, so
// no image plugin is loaded for them; a Qt that moved its pictures would
// silently bring the plugin scan back, so the names are checked here.
TEST(ArrowIconStyle, ServesQtsOwnArrowPicturesAndLeavesOtherIconsToTheBaseStyle)
{
    for (const char *file : {"toolbar-ext-h-8", "toolbar-ext-h-16", "toolbar-ext-h-32", "toolbar-ext-h-rtl-16",
                             "toolbar-ext-v-5", "toolbar-ext-v-10", "toolbar-ext-v-20"})
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1.png").arg(file)))
            << file;

    ArrowIconStyle style;
    QStyleOption rightToLeft;
    rightToLeft.direction = Qt::RightToLeft;
    const auto picture = [&](QStyle::StandardPixmap icon, const QStyleOption *option, QSize size) {
        return style.standardIcon(icon, option).pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const auto file = [](const char *name) {
        return t7::pngPixmap(QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1.png").arg(name))
            .toImage()
            .convertToFormat(QImage::Format_ARGB32);
    };
    EXPECT_EQ(picture(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, QSize(16, 10)), file("toolbar-ext-h-16"));
    EXPECT_EQ(picture(QStyle::SP_ToolBarHorizontalExtensionButton, &rightToLeft, QSize(16, 10)),
              file("toolbar-ext-h-rtl-16"));
    EXPECT_EQ(picture(QStyle::SP_ToolBarVerticalExtensionButton, nullptr, QSize(10, 16)), file("toolbar-ext-v-10"));
    EXPECT_FALSE(style.standardIcon(QStyle::SP_MessageBoxWarning).isNull());
}
