// One start of the desktop program, offscreen, measured from the process's start until the main
// window is on screen: path.txt, the park connection, the main window with its site types, and the
// initial backup question (answered No). Prints the seconds.
#include "BenchPrompter.h"
#include "app/Startup.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"

#include <QApplication>
#include <QtTest>
#include <fstream>
#include <iostream>
#include <unistd.h>

using namespace tarnwick;

namespace {

// Seconds since this process started, from the kernel's record of it.
double sinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {
    }
    const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::ifstream uptime("/proc/uptime");
    double now = 0;
    uptime >> now;
    return now - started;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " PROGRAMFOLDER (holding path.txt)" << std::endl;
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    BenchPrompter prompter;
    Progress progress;
    SystemClock clock;
    Session session(prompter, progress, clock);
    session.AppFolder = argv[1];
    StartUp(session);
    Navigator navigator(session);
    DefineWindows(navigator);
    QWidget *window = ShowMainWindow(navigator);
    if (!QTest::qWaitForWindowExposed(window))
        return 1;
    std::cout << sinceProcessStart() << std::endl;
    return 0;
}
