// The desktop program's start and its main window, on a laptop's screen: the installed program's
// first start through the folder dialog, a plain copy's start as it always was, what the main window
// says and shows once the park is open, its site-type boxes, the small windows it opens over itself,
// and the Park menu.
#include "app/ParkChoice.h"
#include "app/ui/DesktopIdentity.h"
#include "app/ui/EntryFocus.h"
#include "app/ui/frmDataImport1.h"
#include "base/PathCheck.h"
#include "support/DesktopPark.h"
#include "support/KilledImport.h"
#include "support/OffscreenScreen.h"

#include <QMenu>
#include <QPushButton>
#include <filesystem>

using namespace tarnwick;

const QString kInitialBackup =
    "We are making an Initial BackUp of the Halvane DataBase before you make any changes 12-04-2026 09 05 ?";

class ParkStartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A plain copy keeps path.txt beside it and never shows the folder dialog (an unexpected dialog
    // would throw here): its first start writes path.txt and ends. Installed (unpacked under a root of
    // the test's own), its first start asks for the park's folder, makes the park there and keeps
    // path.txt in the configuration folder.
    void theFirstStartAsAPlainCopyThenInstalled() {
        ScriptedSession start;
        const TempDir &root = start.dir;
        const std::string copy = root.file("copy"), program = root.file("usr/bin"), park = root.file("parks/ours");
        const std::string config = root.file("home/.config/Tarnwick");
        for (const std::string &folder : {copy, program, root.file("usr/share/tarnwick"), park})
            std::filesystem::create_directories(folder);
        QVERIFY_THROWS_EXCEPTION(EndProgram, StartDesktop(start.session, copy, config));
        QVERIFY(IsRegularFile(copy + "/path.txt") && !PathExists(config));

        start.prompter.expect({Answer::Yes, Answer::No});
        start.prompter.folders = {park};
        start.prompter.standing = {{"We are making an Initial BackUp", Answer::No}};
        std::unique_ptr<Navigator> navigator = StartDesktop(start.session, program, config);
        QWidget *main = navigator->existing(WindowId::Main);
        QVERIFY(main && QTest::qWaitForWindowExposed(main));
        const QString offer = QString::fromStdString("There is no Park.MDB in " + park +
                                                     ".\r\nDo you want to create an empty park there?");
        QCOMPARE(start.said(), (QStringList{kChooseParkTitle, offer,
                                            QString(kParkFormatQuestion) + "\r\n" + kParkFormatNo, kInitialBackup}));
        QCOMPARE(start.session.DbFolder, park);
        QCOMPARE(TempDir::readFile(config + "/path.txt"), park + "\r\n" + park + "\r\n");
    }

    // An import cut short is named before the initial backup is offered; the focus is on Enter Sites.
    // A site-type box in use is coloured; leaving it saves the name in title case; coming back selects
    // it. The help and backups windows open in the middle of the main window and above it; Escape
    // closes the backups window; the windows carry the package's icon and the desktop file's name.
    // The Park menu names the park, and opens or makes another.
    void theMainWindowOnAPark() {
        DesktopPark park;
        std::filesystem::copy_file(HELP_FILE, park.dir.file("Tarnwick.chm"));
        LeaveKilledImportMarker(park.session, {"Sites", "c.csv", "", "12-04-2026 09 05", 0});
        SaveSiteTypes(park.session, {"", "Cabin"});
        park.prompter.expect({Answer::No});
        park.prompter.standing = {{"We are making an Initial BackUp", Answer::No}};
        auto *main = static_cast<frmDataImport1 *>(ShowMainWindow(park.navigator));
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QVERIFY(park.said().first().startsWith("The import of c.csv into Sites that started 12-04-2026 09 05 was"));
        QCOMPARE(park.said().mid(1), QStringList{kInitialBackup});
        QCOMPARE(QApplication::focusWidget(), main->enterSitesButton());

        auto *box3 = control<QLineEdit>(main, "SType_3");
        type(main, "SType_3", "boat slip");
        QCOMPARE(box3->palette().color(QPalette::Base), kFocusColour);
        control<QWidget>(main, "SType_4")->setFocus();
        QCOMPARE(box3->palette().color(QPalette::Base), kIdleColour);
        QCOMPARE(box3->text(), QString("Boat Slip"));
        QCOMPARE(park.column("ParkInfo", "SiteType3"), QStringList{"Boat Slip"});
        QCOMPARE(park.session.SiteTypeCount, 2L);
        box3->setFocus();
        QTRY_COMPARE(box3->selectedText(), QString("Boat Slip"));

        main->move(300, 40);
        control<QAction>(main, "mnuOverview")->trigger();
        QCOMPARE(placement(park.navigator.helpWindow(), main), QString());
        park.navigator.helpWindow()->close();
        control<QAction>(main, "mnuRestore")->trigger();
        auto *backups = control<QWidget>(main, "frmBackups");
        QVERIFY(backups->isVisible());
        QCOMPARE(placement(backups, main), QString());
        pressEscape(backups);
        QVERIFY(!backups->isVisible());

        SetDesktopIdentity();
        QCOMPARE(QGuiApplication::desktopFileName(), QString("tarnwick"));
        // Drawn from the package's SVG: an icon that could not be read draws nothing.
        const QImage icon = main->windowIcon().pixmap(48, 48).toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixelColor(24, 47).alpha(), 255);

        auto *menu = control<QMenu>(main, "mnuPark");
        auto *folder = control<QAction>(main, "mnuParkFolder");

        // Another park, without site types: the boxes follow it.
        TempDir other;
        CreateParkDatabase(other.path());
        QCOMPARE(control<QLineEdit>(main, "SType_1")->text(), QString("Cabin"));
        park.prompter.expect({});
        park.prompter.folders = {other.path()};
        control<QAction>(main, "mnuOpenPark")->trigger();
        QCOMPARE(park.said(), (QStringList{kChooseParkTitle, kInitialBackup}));
        QCOMPARE(park.session.DbFolder, other.path());
        QCOMPARE(control<QLineEdit>(main, "SType_1")->text(), QString());
        Q_EMIT menu->aboutToShow();
        QCOMPARE(folder->text(), QString::fromStdString("Park folder: " + other.path()));
        QCOMPARE(park.dir.read("path.txt"), other.path() + "\r\n" + other.path() + "\r\n");

        // A new park is asked for under its own title; Cancel keeps the park open.
        park.prompter.expect({});
        park.prompter.folders = {std::nullopt};
        control<QAction>(main, "mnuNewPark")->trigger();
        QCOMPARE(park.said(), QStringList{kNewParkTitle});
        QCOMPARE(park.session.DbFolder, other.path());
    }
};

int main(int argc, char **argv) {
    return RunOnScreen<ParkStartTest>(argc, argv, 1366, 768);
}

#include "ParkStartTest.moc"
