// The import window on a 1366 x 768 laptop screen: at scale 1 every panel fits without scrolling,
// leaving room for a window manager's title bar; magnified by 1.5 (QT_SCALE_FACTOR, a second run)
// it stays on the screen and every control of the steps, the panel shown and the way to the other
// windows can be scrolled to.
#include "import/ui/frmReadEcel.h"
#include "support/DesktopPark.h"
#include "support/OffscreenScreen.h"

#include <QScreen>
#include <QScrollArea>

using namespace tarnwick;

class ImportWindowFitTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theWindowFitsTheScreenOrScrollsToEveryControl() {
        DesktopPark park;
        auto *window = park.show<frmReadEcel>(WindowId::Import);
        auto *scroll = control<QScrollArea>(window, "ImportScroll");
        const QRect screen = window->screen()->availableGeometry();
        if (screen.width() == 1366) {
            // A title bar and borders of up to 28 pixels still leave the window on the screen.
            QVERIFY2(window->frameGeometry().height() + 28 <= 768,
                     qPrintable(QDebug::toString(window->frameGeometry())));
            for (const char *table : {"Option1_0", "Option1_1", "Option1_2"}) {
                control<QAbstractButton>(window, table)->click();
                QApplication::processEvents();
                const int over = scroll->widget()->height() - scroll->viewport()->height();
                QVERIFY2(over <= 0, qPrintable(QString("%1: %2 pixels more than the view shows").arg(table).arg(over)));
            }
            return;
        }
        QCOMPARE(screen.width(), 911); // 1366 / 1.5, rounded
        QVERIFY2(screen.contains(window->frameGeometry()), qPrintable(QDebug::toString(window->frameGeometry())));
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
            if (!scroll->viewport()->rect().contains(
                    QRect(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size())))
                unreachable << control->objectName();
        }
        QVERIFY2(checked > 30, qPrintable(QString::number(checked)));
        QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(", ")));
    }
};

int main(int argc, char **argv) {
    return RunOnScreen<ImportWindowFitTest>(argc, argv, 1366, 768);
}

#include "ImportWindowFitTest.moc"
