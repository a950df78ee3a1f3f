// The import window on a 1366 x 768 laptop screen magnified by 1.5: it stays on the screen, and
// every control of the steps, the panel shown and the way to the other windows can be scrolled to.
#include "import/ui/frmReadEcel.h"
#include "support/DesktopPark.h"
#include "support/OffscreenScreen.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QScreen>
#include <QScrollArea>

using namespace tarnwick;

class ImportWindowFitTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyControlCanBeReached() {
        QCOMPARE(qApp->primaryScreen()->availableGeometry().width(), 911); // 1366 / 1.5, rounded
        DesktopPark park;
        auto *window = park.show<frmReadEcel>(WindowId::Import);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect screen = window->screen()->availableGeometry();
        QVERIFY2(screen.contains(window->frameGeometry()), qPrintable(QDebug::toString(window->frameGeometry())));

        auto *scroll = window->findChild<QScrollArea *>("ImportScroll");
        QVERIFY(scroll);
        QStringList unreachable;
        int checked = 0;
        for (QWidget *control : window->findChildren<QWidget *>()) {
            const bool named = !control->objectName().isEmpty() && !control->objectName().startsWith("qt_");
            const bool kind = qobject_cast<QAbstractButton *>(control) || qobject_cast<QComboBox *>(control) ||
                              control->objectName() == "File1";
            if (!named || !kind || !control->isVisibleTo(window))
                continue;
            ++checked;
            scroll->ensureWidgetVisible(control, 0, 0);
            QApplication::processEvents();
            const QRect shown(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size());
            if (!scroll->viewport()->rect().contains(shown))
                unreachable << control->objectName();
        }
        QVERIFY2(checked > 30, qPrintable(QString::number(checked)));
        QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(", ")));
    }
};

int main(int argc, char **argv) {
    qputenv("QT_SCALE_FACTOR", "1.5");
    return RunOnScreen<ImportWindowFitTest>(argc, argv, 1366, 768);
}

#include "ImportWindowFitTest.moc"
