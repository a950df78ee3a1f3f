// How the windows stand on the desktop: the small windows open in the middle of the window that
// opened them and are kept above it; Escape closes those with a Close button; the main window
// comes back where it was; every window carries the package's icon and the desktop file's name.
#include "app/ui/DesktopIdentity.h"
#include "app/ui/frmDataImport1.h"
#include "import/ui/frmReadEcel.h"
#include "sheet/WorkbookWriter.h"
#include "support/DesktopPark.h"
#include "support/OffscreenScreen.h"

#include <QComboBox>
#include <QWindow>
#include <filesystem>

using namespace tarnwick;

namespace {

// Whether `small` sits in the middle of `owner` (to the pixel a frame may shift it) and is kept
// above it.
QString placement(QWidget *small, QWidget *owner) {
    const QPoint offset = small->frameGeometry().center() - owner->frameGeometry().center();
    QString said;
    if (offset.manhattanLength() > 2)
        said += QString("off the middle by %1,%2 (%3 over %4); ")
                    .arg(offset.x())
                    .arg(offset.y())
                    .arg(QDebug::toString(small->frameGeometry()), QDebug::toString(owner->frameGeometry()));
    if (!small->windowHandle() || small->windowHandle()->transientParent() != owner->windowHandle())
        said += "not kept above its owner";
    return said;
}

// Escape pressed in `window`, made the active window as a click on it would.
void pressEscape(QWidget *window) {
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_Escape);
}

} // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DesktopPark> park;
    frmReadEcel *window = nullptr;

private Q_SLOTS:
    void init() {
        park = std::make_unique<DesktopPark>();
        window = park->show<frmReadEcel>(WindowId::Import);
        window->move(40, 30);
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup() { park.reset(); }

    void progressIsInTheMiddleOfTheImportWindowAndAboveIt() {
        park->dir.write("bad.csv", "\"Site\"\r\n1\r\nten\r\n");
        window->refreshFileList();
        clickEntry(window->findChild<QListWidget *>("File1"), "bad.csv");
        window->findChild<QComboBox *>("FileField_1")->setCurrentText("Site");
        QString atPrompt = "not shown";
        park->prompter.onShow = [&](const Shown &shown) {
            if (shown.text.rfind("Error on Line", 0) == 0)
                atPrompt = park->progress.isVisible() ? placement(&park->progress, window) : "hidden";
        };
        park->prompter.answers = {Answer::No, Answer::No};
        QTest::mouseClick(window->findChild<QWidget *>("Command1"), Qt::LeftButton);
        QCOMPARE(atPrompt, QString());
    }

    void theSheetPickerAndTheCheckReportOpenOverTheImportWindow() {
        WorkbookWriter book("One");
        book.addSheet("Two");
        book.setText(1, 1, "Site");
        book.save(park->dir.file("book.xls"));
        window->refreshFileList();
        QString picker = "not shown";
        whenVisible("frmSheets", [&](QWidget *shown) {
            picker = placement(shown, window);
            shown->close();
        });
        park->prompter.answers = {Answer::No};
        clickEntry(window->findChild<QListWidget *>("File1"), "book.xls");
        QCOMPARE(picker, QString());

        QTest::mouseClick(window->findChild<QWidget *>("cmdCheck_0"), Qt::LeftButton);
        auto *report = window->findChild<QWidget *>("frmCheckReport");
        QVERIFY(report && report->isVisible());
        QCOMPARE(placement(report, window), QString());
        pressEscape(report);
        QVERIFY(!report->isVisible());
    }

    void theHelpWindowOpensOverTheWindowItsMenuBelongsTo() {
        std::filesystem::copy_file(HELP_FILE, park->dir.file("Tarnwick.chm"));
        window->findChild<QAction *>("mnuExport")->trigger();
        QWidget *help = park->navigator.helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(placement(help, window), QString());
    }

    void theBackupsWindowOpensOverTheMainWindowAndEscapeClosesIt() {
        auto *main = park->navigator.window(WindowId::Main);
        window->close();
        main->move(300, 40);
        QVERIFY(QTest::qWaitForWindowExposed(main));
        main->findChild<QAction *>("mnuRestore")->trigger();
        auto *backups = main->findChild<QWidget *>("frmBackups");
        QVERIFY(backups && backups->isVisible());
        QCOMPARE(placement(backups, main), QString());
        pressEscape(backups);
        QVERIFY(!backups->isVisible());
    }

    void theWindowsCarryThePackagesIconAndTheDesktopFilesName() {
        SetDesktopIdentity();
        QCOMPARE(QGuiApplication::desktopFileName(), QString("tarnwick"));
        // Drawn from the package's SVG: an icon that could not be read draws nothing.
        const QImage icon = window->windowIcon().pixmap(48, 48).toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixelColor(24, 47).alpha(), 255);
    }

    void theMainWindowComesBackWhereItWas() {
        auto *main = park->navigator.window(WindowId::Main);
        window->close();
        main->move(90, 70);
        const QPoint before = main->pos();
        park->navigator.leaveMain(WindowId::Import, Navigator::Order::ShowFirst);
        QVERIFY(!main->isVisible());
        park->navigator.existing(WindowId::Import)->move(10, 10);
        park->navigator.existing(WindowId::Import)->close();
        QVERIFY(main->isVisible());
        QCOMPARE(main->pos(), before);
    }
};

int main(int argc, char **argv) {
    return RunOnScreen<WindowPlacementTest>(argc, argv, 1366, 768);
}
#include "WindowPlacementTest.moc"
