// The desktop program: start-up, then the main window until it is closed.
// `tarnwick --screenshots DIR` renders every window offscreen into DIR and exits.
#include "app/Startup.h"
#include "app/Version.h"
#include "app/ui/ControlMap.h"
#include "app/ui/DesktopIdentity.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/Screenshots.h"

#include <QApplication>
#include <QStandardPaths>
#include <cstring>
#include <iostream>

using namespace tarnwick;

namespace {

const char *const kUsage =
    "Usage: tarnwick [--help | --version | --screenshots DIR]\n"
    "Moves a campground's old records (text files, Excel 97-2003 workbooks, Access databases) into its\n"
    "park database Park.MDB, through windows that lead step by step. Started without options it opens\n"
    "the park that path.txt names, or asks for the park's folder. tarnwick-cli does the same in a\n"
    "terminal.\n"
    "\n"
    "  --help             print this help and exit\n"
    "  --version          print the version and exit\n"
    "  --screenshots DIR  draw every window into PNG files in DIR and exit\n";

} // namespace

int main(int argc, char **argv) {
    // Answered before any window could open, so that they work without a display.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "tarnwick " << kVersion << std::endl;
        return 0;
    }
    const bool screenshots = argc == 3 && std::strcmp(argv[1], "--screenshots") == 0;
    if (screenshots)
        UseScreenshotScreen();
    QApplication application(argc, argv);
    SetDesktopIdentity();
    // The main window alone ends the program; the others come and go.
    QApplication::setQuitOnLastWindowClosed(false);
    if (screenshots)
        return WriteScreenshots(argv[2]);
    KeepControlMapWhenAsked();

    QtPrompter prompter;
    Progress progress;
    SystemClock clock;
    Session session(prompter, progress, clock);
    try {
        std::unique_ptr<Navigator> navigator =
            StartDesktop(session, ExecutableFolder(),
                         QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
        return application.exec();
    } catch (const EndProgram &end) {
        return end.status;
    } catch (const std::exception &error) {
        prompter.notify(std::string("Tarnwick stopped on an unexpected error: ") + error.what(), Icon::Critical);
        return 1;
    }
}
