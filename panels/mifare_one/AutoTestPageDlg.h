// "Auto Test": reads every block of the card on the reader, counts the cards
// that read completely (OK) and those that did not (FAULT), and keeps doing so
// on a worker thread until stopped.
#pragma once

#include "panels/mifare_one/CMifarePage.h"
#include "reader/QvdLibrary.h"
#include "ui/FieldBinding.h"
#include "ui/SectorMap.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CBlueStatic;
class CGreenStatic;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class AutoTestPageDlg : public CMifarePage
{
    Q_OBJECT
public:
    explicit AutoTestPageDlg(QWidget *parent = nullptr);
    ~AutoTestPageDlg() override;

    void opening() override;

    // Asks a running worker to give up at the next block, without waiting.
    void requestQuit();
    // Ends a running worker at the next block and waits for it (the page is closing).
    void stopWorker();
    bool workerRunning() const { return worker_.joinable(); }

    int okCount() const { return okCount_; }
    int faultCount() const { return faultCount_; }

signals:
    // Queued to the page: a newer view is waiting in pendingView_.
    void viewChanged();
    void workerFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    using Lines = std::vector<std::string>;
    using Sectors = std::vector<SectorMap::State>;
    // What the worker wants the page to show; only the newest one is applied.
    // Plain strings, so nothing implicitly shared crosses the threads.
    struct View {
        Lines lines;
        Sectors sectors;
        std::string status;
        std::string okText;
        std::string faultText;
        std::string serialText;
    };

    void buildControls();
    void connectHandlers();

    void onTest();
    void onStop();
    void onWorkerFinished();
    void applyPendingView();

    // One pass over every sector; lines receives one line per block. Returns
    // false when the pass ended early (no card, or the page is closing).
    bool runTestPass(Lines &lines, Sectors &sectors);
    // True when every block of the sector was read.
    bool readSectorBlocks(int blocks, bool plainNumbers, int &block, int &good, bool &refind, Lines &lines);
    bool findCardAgain();
    void runWorker(View view);
    void runCycle(View &view, const qvd::Entry<PFN_rz_request> &request);
    void publish(const View &view);
    void showLines(const Lines &lines);
    void showSectors(const Sectors &sectors);
    View currentView() const;

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_request);
    QVD_ENTRY(lib_, rz_authentication);
    QVD_ENTRY(lib_, rz_read);
    QVD_ENTRY(lib_, rz_read_S70);

    std::atomic<int> okCount_{0};
    std::atomic<int> faultCount_{0};
    std::atomic<unsigned int> lastSerial_{0};
    std::atomic<int> keyMode_{0};
    std::atomic<int> stop_{1};
    std::atomic<int> passDone_{1};
    // Set when the page closes: the worker gives up between two blocks.
    std::atomic<bool> quit_{false};
    std::thread worker_;

    std::mutex viewMutex_;
    View pendingView_;
    std::atomic<bool> viewQueued_{false};

    int keySetIndex_ = 0;
    QString okText_;
    QString faultText_;

    QPushButton *testButton_ = nullptr;
    QPushButton *stopButton_ = nullptr;
    QLabel *okLabel_ = nullptr;
    QLineEdit *okEdit_ = nullptr;
    QLabel *faultLabel_ = nullptr;
    QLineEdit *faultEdit_ = nullptr;
    QLabel *serialCaption_ = nullptr;
    CBlueStatic *serialLabel_ = nullptr;
    QLabel *keySetLabel_ = nullptr;
    QComboBox *keySet_ = nullptr;
    QRadioButton *keyA_ = nullptr;
    QRadioButton *keyB_ = nullptr;
    QListWidget *resultList_ = nullptr;
    CGreenStatic *statusLabel_ = nullptr;
    SectorMap *sectorMap_ = nullptr;
    t7::FieldBinder fields_;
};
