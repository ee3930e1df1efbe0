#include "panels/mifare_one/AutoTestPageDlg.h"

#include "panels/mifare_one/KeyChoice.h"
#include "panels/mifare_one/MifareOne.h"
#include "reader/CardSerial.h"
#include "reader/ConnectionState.h"
#include "ui/ColoredControls.h"
#include "ui/Fonts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cstdio>
#include <tuple>

using t7::mifare::deviceHandle;
using t7::mifare::kCardKindS50;
using t7::mifare::kCardKindS70;
using t7::mifare::state;

namespace
{

std::string serialText(unsigned int serial)
{
    char text[16];
    std::snprintf(text, sizeof text, "%010u", serial);
    return text;
}

const char kNoCard[] = "No card or card type error!";
const char kVerifyKeyFailed[] = "Read Error,Reason：Verify Key Failed";

// "%02d: ", "%03d: " or, with width 0, "%d: ".
std::string blockPrefix(int block, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d: ", width, block);
    return text;
}

QString toQt(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

} // namespace

AutoTestPageDlg::AutoTestPageDlg(QWidget *parent) : CMifarePage(QStringLiteral("Auto Test"), parent)
{
    setObjectName(QStringLiteral("autoTestPage"));
    buildControls();
    fields_.bindText(okEdit_, &okText_);
    fields_.bindText(faultEdit_, &faultText_);
    fields_.bindComboIndex(keySet_, &keySetIndex_);
    connectHandlers();
}

AutoTestPageDlg::~AutoTestPageDlg()
{
    stopWorker();
}

void AutoTestPageDlg::buildControls()
{
    testButton_ = new QPushButton(QStringLiteral("Test(&B)"), this);
    testButton_->setObjectName(QStringLiteral("testButton"));
    stopButton_ = new QPushButton(QStringLiteral("Stop(&S)"), this);
    stopButton_->setObjectName(QStringLiteral("stopButton"));
    stopButton_->setEnabled(false);

    const auto countField = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        return edit;
    };
    okEdit_ = countField("okEdit");
    okLabel_ = captionLabel(QStringLiteral("Number of OK-CARD"), okEdit_, "okLabel");
    faultEdit_ = countField("faultEdit");
    faultLabel_ = captionLabel(QStringLiteral("Number of FAULT-CARD"), faultEdit_, "faultLabel");

    serialLabel_ = new CBlueStatic(this);
    serialLabel_->setObjectName(QStringLiteral("serialLabel"));
    serialCaption_ = captionLabel(QStringLiteral("Card Serial Number:"), serialLabel_, "serialCaption");

    keySet_ = t7::mifare::makeKeySetSelector(this);
    keySetLabel_ = captionLabel(QStringLiteral("密码套选择："), keySet_, "keySetLabel");
    keySet_->setVisible(false);
    keySetLabel_->setVisible(false);

    std::tie(keyA_, keyB_) = t7::mifare::makeKeyTypeButtons(this);

    resultList_ = new QListWidget(this);
    resultList_->setObjectName(QStringLiteral("resultList"));
    resultList_->setAccessibleName(QStringLiteral("Test results"));
    resultList_->setUniformItemSizes(true);
    statusLabel_ = new CGreenStatic(this);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    sectorMap_ = new SectorMap(this);

    auto *keyRow = new QHBoxLayout;
    keyRow->addWidget(keyA_);
    keyRow->addWidget(keyB_);
    keyRow->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(okLabel_, 0, 0);
    grid->addWidget(okEdit_, 0, 1);
    grid->addWidget(testButton_, 0, 2);
    grid->addWidget(faultLabel_, 1, 0);
    grid->addWidget(faultEdit_, 1, 1);
    grid->addWidget(stopButton_, 1, 2);
    grid->addWidget(serialCaption_, 2, 0);
    grid->addWidget(serialLabel_, 2, 1);
    grid->addWidget(keySetLabel_, 3, 0);
    grid->addWidget(keySet_, 3, 1);
    grid->addLayout(keyRow, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    auto *page = new QVBoxLayout(this);
    page->addLayout(grid);
    auto *resultsAndMap = new QHBoxLayout;
    resultsAndMap->addWidget(resultList_, 1);
    resultsAndMap->addWidget(sectorMap_, 0, Qt::AlignTop);
    page->addLayout(resultsAndMap, 1);
    page->addWidget(statusLabel_);
}

void AutoTestPageDlg::connectHandlers()
{
    connect(testButton_, &QPushButton::clicked, this, &AutoTestPageDlg::onTest);
    connect(stopButton_, &QPushButton::clicked, this, &AutoTestPageDlg::onStop);
    connect(this, &AutoTestPageDlg::viewChanged, this, &AutoTestPageDlg::applyPendingView, Qt::QueuedConnection);
    connect(this, &AutoTestPageDlg::workerFinished, this, &AutoTestPageDlg::onWorkerFinished, Qt::QueuedConnection);
}

void AutoTestPageDlg::opening()
{
    keyA_->setChecked(true);
    for (QLabel *label : {okLabel_, faultLabel_, serialCaption_, keySetLabel_, static_cast<QLabel *>(serialLabel_),
                          static_cast<QLabel *>(statusLabel_)})
        label->setFont(t7::boldFont());
    resultList_->setFont(t7::normalFont());
    passDone_ = 1;
    stop_ = 1;
}

bool AutoTestPageDlg::findCardAgain()
{
    unsigned int serial = 0;
    if (t7::GetCardSerial(deviceHandle(), serial).isEmpty())
        return false;
    lastSerial_ = serial;
    return true;
}

bool AutoTestPageDlg::readSectorBlocks(int blocks, bool plainNumbers, int &block, int &good, bool &refind, Lines &lines)
{
    bool allRead = true;
    const bool s70 = state().cardKind == kCardKindS70;
    const int width = plainNumbers ? 0 : s70 ? 3 : 2;
    for (int i = 0; i < blocks && !quit_; ++i, ++block) {
        std::string line = blockPrefix(block, width);
        unsigned char data[32] = {};
        const unsigned char blockByte = static_cast<unsigned char>(block);
        const int result =
            s70 ? rz_read_S70(deviceHandle(), blockByte, data) : rz_read(deviceHandle(), blockByte, data);
        if (result != 0) {
            line += "Read Error!";
            --good;
            refind = true;
            allRead = false;
        } else {
            line += t7::mifare::BytesToHexText(data, 16).toUpper().toStdString();
            ++good;
            refind = false;
        }
        lines.push_back(line);
    }
    return allRead;
}

bool AutoTestPageDlg::runTestPass(Lines &lines, Sectors &sectorStates)
{
    using State = SectorMap::State;
    const int kind = state().cardKind;
    const int sectors = kind == kCardKindS70 ? 40 : 16;
    sectorStates.assign(static_cast<size_t>(sectors), State::NotRead);
    const auto readState = [](bool allRead) { return allRead ? State::ReadOk : State::ReadFailed; };
    int good = 0;
    int block = 0;
    bool refind = false;
    passDone_ = 0;
    const auto endEarly = [this] {
        passDone_ = 1;
        return false;
    };
    for (int sector = 0; sector < sectors; ++sector) {
        if (quit_)
            return endEarly();
        const int blocks = kind == kCardKindS70 && sector > 31 ? 16 : 4;
        if (refind && !findCardAgain())
            return endEarly();
        const auto authenticate = [&] {
            return rz_authentication(deviceHandle(), static_cast<unsigned char>(keyMode_.load()),
                                     static_cast<unsigned char>(sector)) == 0;
        };
        State &sectorState = sectorStates[static_cast<size_t>(sector)];
        if (authenticate()) {
            sectorState = readState(readSectorBlocks(blocks, false, block, good, refind, lines));
            continue;
        }
        if (!findCardAgain())
            return endEarly();
        if (authenticate()) {
            sectorState = readState(readSectorBlocks(blocks, true, block, good, refind, lines));
            refind = false;
            continue;
        }
        sectorState = State::AuthenticationFailed;
        for (int i = 0; i < blocks; ++i, ++block)
            lines.push_back(blockPrefix(block, 0) + kVerifyKeyFailed);
        --good;
        refind = true;
    }
    if (quit_)
        return endEarly();
    if (kind == kCardKindS70)
        ++(good == 256 ? okCount_ : faultCount_);
    else if (kind == kCardKindS50)
        ++(good == 64 ? okCount_ : faultCount_);
    passDone_ = 1;
    return true;
}

void AutoTestPageDlg::onTest()
{
    if (worker_.joinable())
        return;
    quit_ = false;
    okCount_ = 0;
    faultCount_ = 0;
    resultList_->clear();
    sectorMap_->clear();
    keyMode_ = t7::mifare::MakeKeyMode(keyA_->isChecked(), keySetIndex_);

    unsigned int serial = 0;
    if (!t7::GetCardSerial(deviceHandle(), serial).isEmpty()) {
        lastSerial_ = serial;
        Lines lines;
        Sectors sectors;
        runTestPass(lines, sectors);
        showLines(lines);
        showSectors(sectors);
        serialLabel_->setText(toQt(serialText(lastSerial_)));
    } else {
        statusLabel_->setText(QString::fromUtf8(kNoCard));
    }
    okText_ = QString::number(okCount_);
    faultText_ = QString::number(faultCount_);
    fields_.write();

    // Cleared here rather than by the worker, so a Stop pressed at once is not lost.
    stop_ = 0;
    worker_ = std::thread([this, view = currentView()]() mutable { runWorker(view); });
    testButton_->setEnabled(false);
    stopButton_->setEnabled(true);
}

AutoTestPageDlg::View AutoTestPageDlg::currentView() const
{
    View view;
    for (int i = 0; i < resultList_->count(); ++i)
        view.lines.push_back(resultList_->item(i)->text().toStdString());
    for (int s = 0; s < sectorMap_->sectorCount(); ++s)
        view.sectors.push_back(sectorMap_->state(s));
    view.status = statusLabel_->text().toStdString();
    view.okText = okText_.toStdString();
    view.faultText = faultText_.toStdString();
    view.serialText = serialLabel_->text().toStdString();
    return view;
}

void AutoTestPageDlg::runWorker(View view)
{
    const qvd::LibraryRef lib = qvd::Library::load();
    if (lib) {
        // The worker's own request entry, as the page may be used from the UI thread meanwhile.
        const QVD_ENTRY(lib, rz_request);
        do {
            runCycle(view, rz_request);
        } while (stop_ == 0 && !quit_);
    }
    emit workerFinished();
}

void AutoTestPageDlg::runCycle(View &view, const qvd::Entry<PFN_rz_request> &request)
{
    view.lines.clear();
    std::fill(view.sectors.begin(), view.sectors.end(), SectorMap::State::NotRead);
    publish(view);
    unsigned int serial = 0;
    if (t7::GetCardSerial(deviceHandle(), serial).isEmpty()) {
        view.status = kNoCard;
        publish(view);
        return;
    }
    int kind = state().cardKind;
    const int requested = request(deviceHandle(), 1, &kind);
    state().cardKind = kind;
    if (requested != 0)
        return;
    lastSerial_ = serial;
    view.status = "Reading...";
    publish(view);
    if (!runTestPass(view.lines, view.sectors) && quit_)
        return;
    view.faultText = std::to_string(faultCount_);
    view.okText = std::to_string(okCount_);
    view.serialText = serialText(lastSerial_);
    view.status.clear();
    publish(view);
}

void AutoTestPageDlg::publish(const View &view)
{
    {
        const std::lock_guard<std::mutex> lock(viewMutex_);
        pendingView_ = view;
    }
    // At most one update waits in the page's queue; it shows the newest view.
    if (!viewQueued_.exchange(true))
        emit viewChanged();
}

void AutoTestPageDlg::applyPendingView()
{
    viewQueued_ = false;
    View view;
    {
        const std::lock_guard<std::mutex> lock(viewMutex_);
        view = pendingView_;
    }
    showLines(view.lines);
    showSectors(view.sectors);
    statusLabel_->setText(toQt(view.status));
    okText_ = toQt(view.okText);
    faultText_ = toQt(view.faultText);
    serialLabel_->setText(toQt(view.serialText));
    fields_.write();
}

void AutoTestPageDlg::showLines(const Lines &lines)
{
    QStringList texts;
    texts.reserve(static_cast<int>(lines.size()));
    for (const std::string &line : lines)
        texts.append(toQt(line));
    resultList_->setUpdatesEnabled(false);
    resultList_->clear();
    resultList_->addItems(texts);
    resultList_->setUpdatesEnabled(true);
}

void AutoTestPageDlg::showSectors(const Sectors &sectors)
{
    const int count = static_cast<int>(sectors.size());
    if (count == 0)
        return;
    if (sectorMap_->sectorCount() != count)
        sectorMap_->setSectorCount(count);
    for (int s = 0; s < count; ++s)
        sectorMap_->setState(s, sectors[static_cast<size_t>(s)]);
}

void AutoTestPageDlg::onWorkerFinished()
{
    if (worker_.joinable())
        worker_.join();
    testButton_->setEnabled(true);
    stopButton_->setEnabled(false);
}

void AutoTestPageDlg::onStop()
{
    // The worker finishes its cycle; its end turns the buttons back.
    stop_ = 1;
}

void AutoTestPageDlg::requestQuit()
{
    stop_ = 1;
    quit_ = true;
}

void AutoTestPageDlg::stopWorker()
{
    requestQuit();
    if (worker_.joinable())
        worker_.join();
}

void AutoTestPageDlg::closeEvent(QCloseEvent *event)
{
    stopWorker();
    CMifarePage::closeEvent(event);
}
