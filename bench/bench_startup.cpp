// Start-up: T7Demo from process start to its first painted frame, against a
// minimal Qt Widgets window built by the same project with the same flags,
// both offscreen; and the peak resident memory of each. The program runs
// itself as the child for each measurement, alternating the two.
#include "app/CMainFrame.h"
#include "app/CQvd50App.h"
#include "app/Icons.h"
#include "bench/QuietQt.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace
{

constexpr int kRounds = 15;

long long monotonicMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}

// Ends the child at its first paint: tells the parent when, through the pipe.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(int fd) : fd_(fd) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const long long at = monotonicMicroseconds();
            if (::write(fd_, &at, sizeof at) != sizeof at)
                std::_Exit(3);
            std::_Exit(0); // no teardown: only start-up is measured
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int fd_;
};

// What any Qt main window pays before its first frame beyond a blank one:
// fonts for its text, the style's own icons (which load the image plugins)
// and PNG decoding for a toolbar icon. Shown for information, so the table
// can tell Qt's fixed costs from the tool's own.
int showMainWindow(QApplication &app)
{
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("main window"));
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("File(&F)"));
    QAction *quit = menu->addAction(QStringLiteral("Exit(&X)"));
    window.addToolBar(QStringLiteral("tools"))->addAction(t7::icon(t7::IconId::About), QStringLiteral("About"));
    auto *tree = new QTreeWidget(&window);
    tree->addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("item")}));
    window.setCentralWidget(tree);
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    QObject::connect(quit, &QAction::triggered, &app, &QApplication::quit);
    window.showMaximized();
    return app.exec();
}

int runChild(const std::string &mode, int fd)
{
    bench::quietQt();
    FirstPaint watcher(fd);
    if (mode == "t7demo") {
        int argc = 1;
        char name[] = "T7Demo";
        char *argv[] = {name, nullptr};
        CQvd50App app(argc, argv);
        app.installEventFilter(&watcher);
        if (!app.InitInstance())
            return 2;
        return app.exec();
    }
    int argc = 1;
    char name[] = "minimal";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    app.installEventFilter(&watcher);
    if (mode == "mainwindow")
        return showMainWindow(app);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.showMaximized();
    return app.exec();
}

struct Sample {
    double milliseconds = 0;
    double peakRssMb = 0;
};

bool measure(const std::string &self, const std::string &mode, Sample *sample)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    const std::string fd = std::to_string(fds[1]);
    std::vector<char *> argv = {const_cast<char *>(self.c_str()), const_cast<char *>("--child"),
                                const_cast<char *>(mode.c_str()), const_cast<char *>(fd.c_str()), nullptr};
    const long long start = monotonicMicroseconds();
    pid_t child = 0;
    if (posix_spawn(&child, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    ::close(fds[1]);
    long long painted = 0;
    const bool got = ::read(fds[0], &painted, sizeof painted) == sizeof painted;
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child || !got || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    sample->milliseconds = (painted - start) / 1000.0;
    sample->peakRssMb = usage.ru_maxrss / 1024.0;
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argv[2], std::atoi(argv[3]));

    // Both children start offscreen, with a bench and a key file of their own.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    bench::quietQt();
    std::string folder = (std::filesystem::temp_directory_path() / "t7startup-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    ::setenv("T7SIM_BENCH", (folder + "/bench.json").c_str(), 1);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();

    std::vector<double> t7Ms, minimalMs, mainWindowMs, t7Rss, minimalRss;
    for (int round = 0; round < kRounds; ++round) {
        Sample t7, minimal, mainWindow;
        if (!measure(self, "t7demo", &t7) || !measure(self, "minimal", &minimal) ||
            !measure(self, "mainwindow", &mainWindow)) {
            std::fprintf(stderr, "a child did not paint\n");
            return 1;
        }
        t7Ms.push_back(t7.milliseconds);
        minimalMs.push_back(minimal.milliseconds);
        mainWindowMs.push_back(mainWindow.milliseconds);
        t7Rss.push_back(t7.peakRssMb);
        minimalRss.push_back(minimal.peakRssMb);
    }
    const double t7 = median(t7Ms), base = median(minimalMs);
    const double t7Mb = median(t7Rss), baseMb = median(minimalRss);
    const double mainWindow = median(mainWindowMs);
    std::printf("startup_ms t7demo %.1f minimal %.1f ratio %.3f mainwindow %.1f mainwindow_ratio %.3f "
                "t7_over_mainwindow %.3f\n",
                t7, base, t7 / base, mainWindow, mainWindow / base, t7 / mainWindow);
    std::printf("peak_rss_mb t7demo %.1f minimal %.1f extra %.1f\n", t7Mb, baseMb, t7Mb - baseMb);
    std::filesystem::remove_all(folder);
    return 0;
}
