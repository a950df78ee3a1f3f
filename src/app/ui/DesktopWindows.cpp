#include "app/ui/DesktopWindows.h"

#include "app/ui/frmDataImport1.h"
#include "editors/ui/frmGuestDef.h"
#include "editors/ui/frmSiteDef.h"
#include "export/ui/frmMSAcessExport.h"
#include "import/ui/frmReadEcel.h"

namespace tarnwick {

void DefineWindows(Navigator &navigator) {
    navigator.define(WindowId::Main, [](Navigator &n) { return new frmDataImport1(n); });
    navigator.define(WindowId::Import, [](Navigator &n) { return new frmReadEcel(n); });
    navigator.define(WindowId::SiteEditor, [](Navigator &n) { return new frmSiteDef(n); });
    navigator.define(WindowId::GuestEditor, [](Navigator &n) { return new frmGuestDef(n); });
    navigator.define(WindowId::Export, [](Navigator &n) { return new frmMSAcessExport(n); });
}

} // namespace tarnwick
