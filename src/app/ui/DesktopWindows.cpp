#include "app/ui/DesktopWindows.h"

#include "app/HelpFile.h"
#include "app/Startup.h"
#include "app/ui/frmDataImport1.h"

#include "editors/ui/frmGuestDef.h"
#include "editors/ui/frmSiteDef.h"
#include "export/ui/frmMSAcessExport.h"
#include "import/ui/frmReadEcel.h"
#include <QPushButton>

namespace tarnwick {

QWidget *ShowMainWindow(Navigator &navigator) {
    auto *window = static_cast<frmDataImport1 *>(navigator.window(WindowId::Main));
    window->show();
    window->ParkOpened();
    return window;
}

std::unique_ptr<Navigator> StartDesktop(Session &session, const std::string &programFolder,
                                        const std::string &configFolder) {
    session.AppFolder = SettingsFolder(programFolder, configFolder);
    // Beside its own path.txt the program starts as it always has; installed, it asks for its park.
    StartUp(session, session.AppFolder == programFolder ? NoPark::End : NoPark::Choose);
    // A park without a help file gets ours; its own is never replaced.
    InstallHelpFile(programFolder, session.DbFolder);
    auto navigator = std::make_unique<Navigator>(session);
    DefineWindows(*navigator);
    ShowMainWindow(*navigator);
    return navigator;
}

void DefineWindows(Navigator &navigator) {
    navigator.define(WindowId::Main, [](Navigator &n) { return new frmDataImport1(n); });
    navigator.define(WindowId::Import, [](Navigator &n) { return new frmReadEcel(n); });
    navigator.define(WindowId::SiteEditor, [](Navigator &n) { return new frmSiteDef(n); });
    navigator.define(WindowId::GuestEditor, [](Navigator &n) { return new frmGuestDef(n); });
    navigator.define(WindowId::Export, [](Navigator &n) { return new frmMSAcessExport(n); });
}

} // namespace tarnwick
