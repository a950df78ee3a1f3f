#include "app/ui/DesktopWindows.h"

#include "app/ui/frmDataImport1.h"
#include "db/Maintenance.h"
#include "import/InterruptedImport.h"

#include "editors/ui/frmGuestDef.h"
#include "editors/ui/frmSiteDef.h"
#include "export/ui/frmMSAcessExport.h"
#include "import/ui/frmReadEcel.h"
#include <QPushButton>

namespace tarnwick {

QWidget *ShowMainWindow(Navigator &navigator) {
    auto *window = static_cast<frmDataImport1 *>(navigator.window(WindowId::Main));
    window->show();
    window->LoadSiteTypes();
    window->enterSitesButton()->setFocus();
    CheckInterruptedImport(navigator.session);
    BackUpDB(navigator.session, BackupReason::Initial);
    return window;
}

void DefineWindows(Navigator &navigator) {
    navigator.define(WindowId::Main, [](Navigator &n) { return new frmDataImport1(n); });
    navigator.define(WindowId::Import, [](Navigator &n) { return new frmReadEcel(n); });
    navigator.define(WindowId::SiteEditor, [](Navigator &n) { return new frmSiteDef(n); });
    navigator.define(WindowId::GuestEditor, [](Navigator &n) { return new frmGuestDef(n); });
    navigator.define(WindowId::Export, [](Navigator &n) { return new frmMSAcessExport(n); });
}

} // namespace tarnwick
