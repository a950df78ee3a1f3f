#include "app/ui/DesktopIdentity.h"

#include "app/Version.h"

#include <QApplication>
#include <QIcon>

namespace tarnwick {

void SetDesktopIdentity() {
    QApplication::setApplicationName("Tarnwick");
    QApplication::setApplicationVersion(kVersion);
    QApplication::setDesktopFileName("tarnwick");
    QApplication::setWindowIcon(QIcon(":/icons/tarnwick.svg"));
}

} // namespace tarnwick
