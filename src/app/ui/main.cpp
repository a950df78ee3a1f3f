// The desktop program: start-up, then the main window until it is closed.
// `tarnwick --screenshots DIR` renders every window offscreen into DIR and exits.
#include "app/Startup.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/Screenshots.h"

#include <QApplication>
#include <QStandardPaths>
#include <cstring>

using namespace tarnwick;

int main(int argc, char **argv) {
    const bool screenshots = argc == 3 && std::strcmp(argv[1], "--screenshots") == 0;
    if (screenshots)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarnwick");
    // The main window alone ends the program; the others come and go.
    QApplication::setQuitOnLastWindowClosed(false);
    if (screenshots)
        return WriteScreenshots(argv[2]);

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
