// Finding the park: the installed program's first start through the folder dialog and the offer to
// make a park, a plain copy's start as it always was, the Park menu, and what a new park's column
// defaults mean for the site window after an import that leaves columns out.
#include "app/ParkChoice.h"
#include "app/ui/frmDataImport1.h"
#include "base/PathCheck.h"
#include "db/OpenEngine.h"
#include "editors/ui/frmSiteDef.h"
#include "import/ui/frmReadEcel.h"
#include "support/DesktopPark.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <filesystem>
#include <sys/stat.h>

using namespace tarnwick;

namespace {

const QString kInitialBackup =
    "We are making an Initial BackUp of the Halvane DataBase before you make any changes 12-04-2026 09 05 ?";

QString offer(const std::string &folder) {
    return QString::fromStdString("There is no Park.MDB in " + folder +
                                  ".\r\nDo you want to create an empty park there?");
}

const QString kFormatQuestion = QString(kParkFormatQuestion) + "\r\n" + kParkFormatNo;

// The root is made before the session and removed after it has closed the park.
struct InstallationRoot {
    TempDir root;
};

// A program unpacked as the package installs it, under a root of the test's own.
struct Installation : InstallationRoot, ScriptedSession {
    std::string program = root.file("usr/bin");
    std::string config = root.file("home/.config/Tarnwick");

    Installation() {
        std::filesystem::create_directories(program);
        std::filesystem::create_directories(root.file("usr/share/tarnwick"));
        std::filesystem::create_directories(root.file("parks"));
    }
};

QString siteTypeBox(QWidget *window, int i) {
    return window->findChild<QLineEdit *>(QString("SType_%1").arg(i))->text();
}

} // namespace

class ParkStartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void installedFirstStartOpensTheChosenPark_data() {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<bool>("parkThere");
        QTest::newRow("read-only program folder, new park") << false << false;
        QTest::newRow("read-only program folder, existing park") << false << true;
        QTest::newRow("writable program folder (root), new park") << true << false;
        QTest::newRow("writable program folder (root), existing park") << true << true;
    }
    void installedFirstStartOpensTheChosenPark() {
        QFETCH(bool, programWritable);
        QFETCH(bool, parkThere);
        Installation installed;
        chmod(installed.program.c_str(), programWritable ? 0755 : 0555);
        const std::string park = installed.root.file("parks/ours");
        if (parkThere)
            CreateParkDatabase(park);
        else
            std::filesystem::create_directory(park);
        installed.prompter.folders = {park};
        if (!parkThere)
            installed.prompter.answers = {Answer::Yes, Answer::No};
        installed.prompter.standing = {{"We are making an Initial BackUp", Answer::No}};

        std::unique_ptr<Navigator> navigator = StartDesktop(installed.session, installed.program, installed.config);

        QWidget *main = navigator->existing(WindowId::Main);
        QVERIFY(main && main->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QStringList expected{kChooseParkTitle, kInitialBackup};
        if (!parkThere)
            expected = QStringList{kChooseParkTitle, offer(park), kFormatQuestion, kInitialBackup};
        QCOMPARE(installed.said(), expected);
        QCOMPARE(installed.session.DbFolder, park);
        QVERIFY(installed.session.ParkConnection->IsOpen());
        QCOMPARE(siteTypeBox(main, 1), QString());
        QCOMPARE(TempDir::readFile(installed.config + "/path.txt"), park + "\r\n" + park + "\r\n");
        // Nothing at all beside the program, root or not.
        QVERIFY(std::filesystem::is_empty(installed.program));
        chmod(installed.program.c_str(), 0755);
    }

    // Cancel ends the run with the message that names path.txt; a plain copy keeps its two endings
    // and never shows the folder dialog (an unexpected dialog would throw here).
    void startsThatEnd_data() {
        QTest::addColumn<bool>("installedCopy");
        QTest::addColumn<bool>("pathFileThere");
        QTest::newRow("installed, cancelled") << true << false;
        QTest::newRow("plain copy, first start") << false << false;
        QTest::newRow("plain copy, no park in the folder named") << false << true;
    }
    void startsThatEnd() {
        QFETCH(bool, installedCopy);
        QFETCH(bool, pathFileThere);
        Installation installed;
        const std::string program = installedCopy ? installed.program : installed.root.file("copy");
        std::filesystem::create_directories(program);
        if (pathFileThere)
            installed.root.write("copy/path.txt", installed.root.file("parks") + "\r\n");
        installed.prompter.folders = {std::nullopt};

        QVERIFY_THROWS_EXCEPTION(EndProgram, StartDesktop(installed.session, program, installed.config));

        const std::string settings = (installedCopy ? installed.config : program) + "/path.txt";
        const QString noPark = QString::fromStdString(
            "You have set the Database Path to a location where there is no Park.MDB Database!!!\r\n\r\nYou need to "
            "manually edit the file: " +
            settings +
            "  to correct the error.\r\nYou can also delete the file, and the application will recreate it, but the "
            "PARK.MDB must be in the application directory.");
        QStringList expected;
        if (installedCopy)
            expected = {kChooseParkTitle, noPark};
        else if (pathFileThere)
            expected = {noPark};
        else
            expected = {"A default DataBase Path has been created, Please restart the application.",
                        QString::fromStdString("The file written is " + settings +
                                               "; its first line names the folder of Park.MDB.")};
        QCOMPARE(installed.said(), expected);
        QVERIFY(IsRegularFile(settings));
        QCOMPARE(PathExists(installed.config), installedCopy);
    }

    void theParkMenuNamesTheParkAndOpensOrMakesAnother() {
        DesktopPark park;
        park.prompter.standing = {{"We are making an Initial BackUp", Answer::No}};
        auto *main = static_cast<frmDataImport1 *>(ShowMainWindow(park.navigator));
        QVERIFY(QTest::qWaitForWindowExposed(main));
        auto *menu = main->findChild<QMenu *>("mnuPark");
        QVERIFY(menu);
        QStringList menus;
        for (QAction *a : main->menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{"Help", "Backups", "Park"}));
        auto *folder = main->findChild<QAction *>("mnuParkFolder");
        Q_EMIT menu->aboutToShow();
        QCOMPARE(folder->text(), QString::fromStdString("Park folder: " + park.dir.path()));

        TempDir other;
        CreateParkDatabase(other.path());
        {
            Session session(park.prompter, park.progress, park.clock);
            session.DbFolder = other.path();
            CreateRVCon(session);
            SiteTypeBoxes types;
            types[1] = "Cabin";
            SaveSiteTypes(session, types);
        }
        park.prompter.shown.clear();
        park.prompter.folders = {other.path()};
        main->findChild<QAction *>("mnuOpenPark")->trigger();
        QCOMPARE(park.said(), (QStringList{kChooseParkTitle, kInitialBackup}));
        QCOMPARE(park.session.DbFolder, other.path());
        QCOMPARE(siteTypeBox(main, 1), QString("Cabin"));
        Q_EMIT menu->aboutToShow();
        QCOMPARE(folder->text(), QString::fromStdString("Park folder: " + other.path()));
        QCOMPARE(park.dir.read("path.txt"), other.path() + "\r\n" + other.path() + "\r\n");

        // A new park: cancelled first, then made in an empty folder.
        TempDir fresh;
        park.prompter.shown.clear();
        park.prompter.folders = {std::nullopt};
        main->findChild<QAction *>("mnuNewPark")->trigger();
        QCOMPARE(park.said(), QStringList{kNewParkTitle});
        QCOMPARE(park.session.DbFolder, other.path());
        park.prompter.shown.clear();
        park.prompter.folders = {fresh.path()};
        park.prompter.answers = {Answer::Yes, Answer::Yes};
        main->findChild<QAction *>("mnuNewPark")->trigger();
        QCOMPARE(park.said(), (QStringList{kNewParkTitle, offer(fresh.path()), kFormatQuestion, kInitialBackup}));
        QCOMPARE(park.session.DbFolder, fresh.path());
        QVERIFY(DetectDatabaseFormat(fresh.file("Park.MDB")) == DatabaseFormat::Jet4);
        QCOMPARE(siteTypeBox(main, 1), QString());
        QCOMPARE(park.count("Sites"), 0L);
    }

    // Columns the import leaves out hold the table's defaults, so the site window lists every site.
    void sitesImportedWithoutWidthAreAllListedWithWidthZero() {
        DesktopPark park;
        park.dir.write("sites.csv", "\"Num\",\"Len\"\r\n1,30\r\n2,40\r\n3,35\r\n4,50\r\n");
        auto *import = park.show<frmReadEcel>(WindowId::Import);
        QVERIFY(QTest::qWaitForWindowExposed(import));
        clickEntry(import->findChild<QListWidget *>("File1"), "sites.csv");
        import->findChild<QComboBox *>("FileField_1")->setCurrentText("Num");
        import->findChild<QComboBox *>("FileField_3")->setCurrentText("Len");
        park.prompter.answers = {Answer::No};
        QTest::mouseClick(import->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(park.said().last(), QString("4 of 4 Sites Successfully Imported"));

        park.prompter.shown.clear();
        auto *sites = park.show<frmSiteDef>(WindowId::SiteEditor);
        QVERIFY(QTest::qWaitForWindowExposed(sites));
        QCOMPARE(park.said(), QStringList{});
        QCOMPARE(sites->findChild<QLabel *>("NoSites")->text(), QString("0004"));
        QAbstractItemModel *grid = sites->findChild<QTableView *>("MSFlexGrid1")->model();
        QCOMPARE(grid->rowCount(), 4);
        int width = -1, number = -1;
        for (int c = 0; c < grid->columnCount(); ++c) {
            const QString title = grid->headerData(c, Qt::Horizontal).toString();
            width = title == "SiteWidth" ? c : width;
            number = title == "SiteNum" ? c : number;
        }
        QVERIFY(width >= 0 && number >= 0);
        QStringList widths, numbers;
        for (int r = 0; r < grid->rowCount(); ++r) {
            widths << grid->index(r, width).data().toString();
            numbers << grid->index(r, number).data().toString();
        }
        QCOMPARE(numbers, (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(widths, (QStringList{"0", "0", "0", "0"}));
        QCOMPARE(park.column("Sites", "Width"), (QStringList{"0", "0", "0", "0"}));
    }
};

QTEST_MAIN(ParkStartTest)
#include "ParkStartTest.moc"
