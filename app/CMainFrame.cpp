#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CInitPortDlg.h"
#include "app/CQvd50View.h"
#include "app/CReaderVersionDlg.h"
#include "app/CSelectReaderDlg.h"
#include "app/PanelDispatch.h"
#include "reader/ConnectionState.h"
#include "reader/KeyFile.h"
#include "ui/Fonts.h"
#include "ui/MessageSeam.h"
#include "ui/ModalRunner.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

namespace
{

const QString kReady = QStringLiteral("Ready");
constexpr int kDevicePanelItem = 16;

// Wide enough for a text that never changes, in whatever font this display has.
int paneWidthFor(const QLabel *pane, const QString &text)
{
    return pane->fontMetrics().horizontalAdvance(text) + 2 * pane->frameWidth() + 2 * pane->margin() + 8;
}

} // namespace

CMainFrame::CMainFrame(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("CMainFrame"));
    // The light-green look belongs to dialogs and message boxes, not to the frame.
    setPalette(style()->standardPalette());
    t7::ConnectionState &state = t7::connection();
    state.portOpen = 0;
    state.cardTypeSetting = t7::kTypeA;
    state.deviceHandle = 0;

    buildMenus();
    buildToolBar();
    buildStatusBar();
    t7::boldFont();
    t7::normalFont();
    t7::ensureKeyFile(t7::keyFilePath());

    view_ = new CQvd50View(this);
    setCentralWidget(view_);
    setWindowIcon(t7::icon(t7::IconId::Application));
    // Screen-sized already, for displays without a window manager to maximize it.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size());
    setWindowState(Qt::WindowMaximized);

    t7::setStatusPanes(this);
    updateCommands();
}

CMainFrame::~CMainFrame()
{
    if (t7::statusPanes() == this)
        t7::setStatusPanes(nullptr);
}

QAction *CMainFrame::addCommand(const QString &objectName, const QString &text, void (CMainFrame::*handler)())
{
    auto *action = new QAction(text, this);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

QAction *CMainFrame::addToolCommand(const QString &objectName, const QString &text, t7::IconId icon,
                                    void (CMainFrame::*handler)())
{
    QAction *action = addCommand(objectName, text, handler);
    action->setIcon(t7::icon(icon));
    action->setToolTip(text);
    action->setStatusTip(text);
    return action;
}

void CMainFrame::buildMenus()
{
    QMenu *device = menuBar()->addMenu(QStringLiteral("Device(&F)"));
    device->setObjectName(QStringLiteral("menuDevice"));
    QAction *open =
        addCommand(QStringLiteral("actionOpenPort"), QStringLiteral("Open Port(&I)"), &CMainFrame::OnOpenPort);
    QAction *close =
        addCommand(QStringLiteral("actionClosePort"), QStringLiteral("Close Port(&C)"), &CMainFrame::OnClosePort);
    auto *exit = new QAction(QStringLiteral("Exit(&X)"), this);
    exit->setObjectName(QStringLiteral("actionExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    device->addAction(open);
    device->addAction(close);
    device->addSeparator();
    device->addAction(exit);

    QMenu *viewMenu = menuBar()->addMenu(QStringLiteral("View(&V)"));
    viewMenu->setObjectName(QStringLiteral("menuView"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction *about =
        addCommand(QStringLiteral("actionAbout"), QStringLiteral("About T7Demo(&A)..."), &CMainFrame::OnAbout);
    QAction *version = addCommand(QStringLiteral("actionReaderVersion"), QStringLiteral("Show the Reader version(&S)"),
                                  &CMainFrame::OnReaderVersion);
    QAction *cardTest = addCommand(QStringLiteral("actionCardTest"), QStringLiteral("Card test(&C)"),
                                   &CMainFrame::OnGetCurrentCardType);
    help->addAction(about);
    help->addAction(version);
    help->addAction(cardTest);

    whenClosed_.push_back(open);
    whenOpen_.insert(whenOpen_.end(), {close, version, cardTest});
    for (QMenu *menu : {device, viewMenu, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommands);
}

void CMainFrame::buildToolBar()
{
    QToolBar *tools = addToolBar(QStringLiteral("Toolbar"));
    tools->setObjectName(QStringLiteral("toolBar"));
    tools->setIconSize(QSize(16, 15));
    tools->setMovable(true);
    tools->setFloatable(true);
    tools->setAllowedAreas(Qt::AllToolBarAreas);

    QAction *open = addToolCommand(QStringLiteral("toolOpenSerialPort"), QStringLiteral("Open Serial Port"),
                                   t7::IconId::OpenPort, &CMainFrame::OnOpenPort);
    QAction *device = addToolCommand(QStringLiteral("toolDeviceOperation"), QStringLiteral("Device Operation"),
                                     t7::IconId::DeviceOperation, &CMainFrame::OnDeviceOperation);
    QAction *cardType =
        addToolCommand(QStringLiteral("toolGetCurrentCardType"), QStringLiteral("Get Current Card Type"),
                       t7::IconId::CardType, &CMainFrame::OnGetCurrentCardType);
    QAction *close = addToolCommand(QStringLiteral("toolCloseSerialPort"), QStringLiteral("Close Serial Port"),
                                    t7::IconId::ClosePort, &CMainFrame::OnClosePort);
    QAction *choose = addToolCommand(QStringLiteral("toolChoseDevice"), QStringLiteral("Chose a device"),
                                     t7::IconId::ChooseDevice, &CMainFrame::OnChooseDevice);
    QAction *about =
        addToolCommand(QStringLiteral("toolAbout"), QStringLiteral("About"), t7::IconId::About, &CMainFrame::OnAbout);
    tools->addActions({open, device, cardType, close, choose, about});

    whenClosed_.push_back(open);
    whenOpen_.insert(whenOpen_.end(), {device, cardType, close, choose});

    QMenu *viewMenu = menuBar()->findChild<QMenu *>(QStringLiteral("menuView"));
    QAction *showTools = tools->toggleViewAction();
    showTools->setObjectName(QStringLiteral("actionToolbar"));
    showTools->setText(QStringLiteral("Toolbar(&T)"));
    viewMenu->addAction(showTools);
}

void CMainFrame::buildStatusBar()
{
    static const struct {
        const char *text;
        int width;
    } kPanes[] = {
        {"Ready", 180},
        {"Port not opened", 180},
        {"Current Card Type", 250},
        {"Device Verision", 180},
        {"SoftWare Version:  V1.6.16.25", 180},
    };
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    for (int i = 0; i < int(panes_.size()); ++i) {
        auto *pane = new QLabel(QString::fromLatin1(kPanes[i].text), bar);
        pane->setObjectName(QStringLiteral("pane%1").arg(i));
        pane->setFixedWidth(std::max(kPanes[i].width, paneWidthFor(pane, pane->text())));
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        bar->addWidget(pane);
        panes_[i] = pane;
    }

    QMenu *viewMenu = menuBar()->findChild<QMenu *>(QStringLiteral("menuView"));
    auto *showStatus = new QAction(QStringLiteral("Taskbar(&S)"), this);
    showStatus->setObjectName(QStringLiteral("actionTaskbar"));
    showStatus->setCheckable(true);
    showStatus->setChecked(true);
    connect(showStatus, &QAction::toggled, bar, &QWidget::setVisible);
    viewMenu->addAction(showStatus);
}

bool CMainFrame::event(QEvent *event)
{
    // Fly-by prompts go to the message pane, not over the other panes.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        panes_[t7::kPaneMessage]->setText(tip.isEmpty() ? kReady : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::setPaneText(int pane, const QString &text)
{
    if (pane < 0 || pane >= int(panes_.size()))
        return;
    panes_[pane]->setText(text);
    // A long reader version does not fit its pane: the whole text on hovering.
    panes_[pane]->setToolTip(text);
}

QString CMainFrame::paneText(int pane) const
{
    return pane >= 0 && pane < int(panes_.size()) ? panes_[pane]->text() : QString();
}

void CMainFrame::connectionChanged()
{
    updateCommands();
}

void CMainFrame::updateCommands()
{
    const bool open = t7::connection().portOpen != 0;
    for (QAction *action : whenClosed_)
        action->setEnabled(!open);
    for (QAction *action : whenOpen_)
        action->setEnabled(open);
}

void CMainFrame::OnOpenPort()
{
    CInitPortDlg port(this);
    t7::runModal(port);
    updateCommands();
}

void CMainFrame::OnClosePort()
{
    t7::ConnectionState &state = t7::connection();
    for (int i = 0; i < state.readerCount && i < t7::ConnectionState::kCapacity; ++i) {
        const int result = rz_exit(state.readers[i].handle);
        if (result != 0)
            t7::appBox(QString::number(result));
    }
    state.portOpen = 0;
    updateCommands();
}

void CMainFrame::OnDeviceOperation()
{
    t7::openPanel(kDevicePanelItem, this);
    updateCommands();
}

void CMainFrame::OnReaderVersion()
{
    CReaderVersionDlg version(this);
    t7::runModal(version);
    updateCommands();
}

QString CMainFrame::tagTypeName(int tagType)
{
    switch (tagType) {
    case 2:
        return QStringLiteral("S70");
    case 4:
        return QStringLiteral("Mifare one");
    case 8:
        return QStringLiteral("Mifare Pro");
    case 0x44:
        return QStringLiteral("UtraLight");
    default:
        return QString();
    }
}

void CMainFrame::OnGetCurrentCardType()
{
    const t7::ConnectionState &state = t7::connection();
    int tagType = 0;
    const int result = rz_request(state.deviceHandle.load(), state.serialLink ? 1 : 0, &tagType);
    setPaneText(t7::kPaneCardType,
                result != 0 ? QStringLiteral("Find card error!")
                            : QStringLiteral("Current Card Type") + QStringLiteral(": ") + tagTypeName(tagType));
    updateCommands();
}

void CMainFrame::OnChooseDevice()
{
    CSelectReaderDlg select(this);
    t7::runModal(select);
    updateCommands();
}

void CMainFrame::OnAbout()
{
    CAboutDlg about(this);
    t7::runModal(about);
    updateCommands();
}
