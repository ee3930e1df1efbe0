// The main window: menu, toolbar, the five status panes and the frame's
// commands; its client area is the view.
#pragma once

#include "app/Icons.h"
#include "app/StatusPanes.h"
#include "reader/QvdLibrary.h"

#include <QMainWindow>

#include <array>
#include <vector>

class CQvd50View;
class QAction;
class QLabel;

class CMainFrame : public QMainWindow, public t7::StatusPanes
{
    Q_OBJECT
public:
    explicit CMainFrame(QWidget *parent = nullptr);
    ~CMainFrame() override;

    // t7::StatusPanes
    void setPaneText(int pane, const QString &text) override;
    void connectionChanged() override;

    QString paneText(int pane) const;
    CQvd50View *view() const { return view_; }

    // Enables every command from the port-open flag.
    void updateCommands();

    // The commands.
    void OnOpenPort();
    void OnClosePort();
    void OnDeviceOperation();
    void OnReaderVersion();
    void OnGetCurrentCardType();
    void OnChooseDevice();
    void OnAbout();

    // "S70", "Mifare one", ... for the tag type rz_request reports.
    static QString tagTypeName(int tagType);

protected:
    bool event(QEvent *event) override;

private:
    QAction *addCommand(const QString &objectName, const QString &text, void (CMainFrame::*handler)());
    QAction *addToolCommand(const QString &objectName, const QString &text, t7::IconId icon,
                            void (CMainFrame::*handler)());
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_exit);
    QVD_ENTRY(lib_, rz_request);

    CQvd50View *view_ = nullptr;
    std::array<QLabel *, 5> panes_{};

    // Commands enabled while the port is closed / open.
    std::vector<QAction *> whenClosed_;
    std::vector<QAction *> whenOpen_;
};
