#include "app/ui/DesktopWindows.h"

#include "app/ui/frmDataImport1.h"
#include "import/ui/frmReadEcel.h"

namespace tarnwick {

void DefineWindows(Navigator &navigator) {
    navigator.define(WindowId::Main, [](Navigator &n) { return new frmDataImport1(n); });
    navigator.define(WindowId::Import, [](Navigator &n) { return new frmReadEcel(n); });
}

} // namespace tarnwick
