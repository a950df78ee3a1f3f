// The desktop program: start-up, then the main window until it is closed.
#include "app/Startup.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/frmDataImport1.h"
#include "db/Maintenance.h"

#include <QApplication>
#include <QPushButton>

using namespace tarnwick;

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarnwick");
    QtPrompter prompter;
    Progress progress;
    SystemClock clock;
    Session session(prompter, progress, clock);
    session.AppFolder = ExecutableFolder();
    try {
        StartUp(session);
        frmDataImport1 window(session);
        window.show();
        window.LoadSiteTypes();
        window.enterSitesButton()->setFocus();
        BackUpDB(session, BackupReason::Initial);
        return application.exec();
    } catch (const EndProgram &end) {
        return end.status;
    }
}
