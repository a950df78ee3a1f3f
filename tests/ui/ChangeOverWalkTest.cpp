// The acceptance test of the desktop program: one park's whole change-over, done the way an
// operator does it, through the real windows only, with the database checked at the end.
#include "app/HelpFile.h"
#include "support/DesktopPark.h"
#include "support/JetReaders.h"
#include "support/WorkbookDumps.h"

#include <QCheckBox>
#include <filesystem>

using namespace tarnwick;

class ChangeOverWalkTest : public QObject {
    Q_OBJECT

    // Opens a window's help item and checks the help window shows the page of that topic.
    static void openHelp(Navigator &navigator, QWidget *window, const char *item, const QString &title) {
        control<QAction>(window, item)->trigger();
        QWidget *help = navigator.helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), title);
        help->close();
    }

private Q_SLOTS:
    void aParkChangesOverThroughTheWindows() {
        DesktopPark park;
        const TempDir &dir = park.dir;
        InstallHelpFile(std::filesystem::path(HELP_FILE).parent_path().string(), dir.path());
        dir.write("sites.csv", "\"Site\",\"Length\",\"Width\",\"Amps\"\r\n1,40,12,30\r\n2,45,12,50\r\n3,60,16,50\r\n");
        WriteGridWorkbook(dir.file("guests.xls"),
                          "[Old Guests]\nFirst\tLast\n[Current Guests]\nFirst\tLast\tCity\tArrive\n"
                          "ann\tSMITH\tdallas\t6/1/2024\nbo\tjones\twaco\t6/2/2024\n"
                          "li\tnguyen\ttyler\t6/3/2024");
        std::filesystem::copy_file(std::string(TESTDATA_DIR) + "/access/testV1997.mdb", dir.file("old.mdb"));
        // The operator takes every backup, and answers the questions below as the story says.
        park.prompter.standing = {
            {"We are making", Answer::Yes}, {"There are 2 sheets", Answer::No}, {"There are 1 sheets", Answer::Yes}};

        // The park's three site types, typed on the main window.
        QWidget *main = park.show(WindowId::Main);
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        for (const auto &[box, name] :
             {std::pair{"SType_1", "tent"}, {"SType_2", "rv"}, {"SType_3", "cabin"}, {"SType_4", ""}})
            type(main, box, name);
        QCOMPARE(park.session.SiteTypeCount, 3L);

        // Sites from a text file.
        click(main, "Command3");
        QWidget *import = park.shown(WindowId::Import);
        clickEntry(import, "File1", "sites.csv");
        choose(import,
               {{"FileField_1", "Site"}, {"FileField_3", "Length"}, {"FileField_4", "Width"}, {"FileField_7", "Amps"}});
        click(import, "Command1");

        // Guests from the second worksheet of a workbook: the first is proposed in ShtName while the
        // question is asked, then the picker opens over the window.
        click(import, "Option1_1");
        QString proposed, pickerPlacement = "not shown";
        park.prompter.onShow = [&](const Shown &shown) {
            if (shown.text == "There are 2 sheets, we will be processing Old Guests")
                proposed = control<QLineEdit>(import, "ShtName")->text();
        };
        whenVisible("frmSheets", [&](QWidget *picker) {
            pickerPlacement = placement(picker, import);
            clickEntry(picker, "List1", "Current Guests");
        });
        clickEntry(import, "File1", "guests.xls");
        park.prompter.onShow = nullptr;
        QCOMPARE(proposed, QString("Old Guests"));
        QCOMPARE(pickerPlacement, QString());
        QCOMPARE(shows(import, {"lblReadStatus"}), QStringList{"guests.xls, sheet Current Guests: 4 titles"});
        choose(import, {{"FileField2_1", "First"},
                        {"FileField2_2", "Last"},
                        {"FileField2_5", "City"},
                        {"FileField2_11", "Arrive"}});
        click(import, "Command2");

        // The old Access database's tables listed; a right-click shows a table's fields in a modal
        // list, closed by its button or its close box.
        click(import, "Command10");
        QWidget *exporter = park.shown(WindowId::Export);
        clickEntry(exporter, "File1", "old.mdb", {}, true);
        auto *table1 = control<QCheckBox>(exporter, "MyTable_1");
        QCOMPARE(shows(exporter, {"MyTable_1", "MyTable_4"}), (QStringList{"Table1", "Table4"}));
        QVERIFY(!control<QCheckBox>(exporter, "MyTable_5")->isVisible());
        for (bool byButton : {true, false}) {
            QTest::mouseClick(table1, Qt::RightButton);
            QWidget *fields = topLevel("frmFields");
            QVERIFY(fields && !exporter->isEnabled());
            auto *lines = control<QListWidget>(fields, "List1");
            QCOMPARE(lines->item(0)->text(), QString("A                        dbText"));
            QVERIFY(QFontInfo(lines->font()).fixedPitch());
            QCOMPARE(shows(fields, {"Label1"}), QStringList{"No. of Records in Table1  2"});
            byButton ? click(fields, "Command1") : void(fields->close());
            QVERIFY(exporter->isEnabled());
        }

        // Table1 and the empty Table2 exported to workbooks under the Progress window.
        table1->setChecked(true);
        control<QCheckBox>(exporter, "MyTable_2")->setChecked(true);
        QStringList captions;
        park.prompter.onShow = [&](const Shown &) { captions << park.progress.windowTitle(); };
        click(exporter, "Command1");
        park.prompter.onShow = nullptr;
        QCOMPARE(park.said().mid(park.said().size() - 2),
                 (QStringList{"Table1.xls Saved!", "The Table Table2 has no records, exiting."}));
        QCOMPARE(captions.first(), QString("Processing Table1 Table"));
        QVERIFY(!park.progress.isVisible());
        click(exporter, "Command2");
        QVERIFY(main->isVisible());

        // The exported workbook, imported as store items.
        click(main, "Command3");
        import = park.shown(WindowId::Import);
        click(import, "Option1_2");
        clickEntry(import, "File1", "Table1.xls");
        choose(import, {{"FileField3_1", "A"}, {"FileField3_2", "F"}});
        click(import, "Command8");

        // Five more sites cloned from the first.
        click(import, "Command3");
        QWidget *sites = park.shown(WindowId::SiteEditor);
        clickId(sites, 1);
        control<QCheckBox>(sites, "SCType_1")->setChecked(true);
        type(sites, "Text1", "5");
        click(sites, "Command1");

        // On to the guests: the site picked is forgotten on the way.
        click(sites, "Command2");
        QCOMPARE(park.session.SelectedId, 0L);

        // Every window's help, and each window's button on to the next.
        const std::tuple<WindowId, const char *, QString, const char *> tour[] = {
            {WindowId::GuestEditor, "mnuGuest", "Guest Definition", "Command2"},
            {WindowId::SiteEditor, "mnuSite", "Site Definition", "Command7"},
            {WindowId::Import, "mnuExport", "Importing text and workbook files", "Command10"},
            {WindowId::Export, "mnuAccess", "Access export", "Command2"}};
        for (const auto &[id, item, title, next] : tour) {
            openHelp(park.navigator, park.shown(id), item, title);
            click(park.shown(id), next);
        }
        openHelp(park.navigator, main, "mnuOverview", "Overview");
        openHelp(park.navigator, main, "mnuSiteTypes", "Site Types");

        // Each window closed by its title bar brings the main window back.
        for (const auto &[button, id] :
             {std::pair{"Command1", WindowId::SiteEditor}, std::pair{"Command2", WindowId::GuestEditor},
              std::pair{"Command3", WindowId::Import}, std::pair{"Command4", WindowId::Export}}) {
            click(main, button);
            QWidget *window = park.shown(id);
            QVERIFY(!main->isVisible());
            window->close();
            QVERIFY(main->isVisible());
            QCOMPARE(park.session.Navigating, short(0));
        }

        // What the park's database holds now.
        QCOMPARE(park.column("Sites", "Number"), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
        QCOMPARE(park.column("Sites", "AliasNumber").mid(3), (QStringList{"004", "005", "006", "007", "008"}));
        QCOMPARE(park.column("Sites", "Tent"),
                 (QStringList{"False", "False", "False", "True", "True", "True", "True", "True"}));
        QCOMPARE(park.column("Guest", "Name"), (QStringList{"Smith, Ann", "Jones, Bo", "Nguyen, Li"}));
        QCOMPARE(park.column("Guest", "City"), (QStringList{"Dallas", "Waco", "Tyler"}));
        QCOMPARE(park.column("Guest", "Arrival"), (QStringList{"6/1/2024", "6/2/2024", "6/3/2024"}));
        QCOMPARE(park.column("OtherCharges", "Name").size(), 2);
        QCOMPARE(park.column("ParkInfo", "SiteType2"), QStringList{"Rv"});
        QVERIFY(park.dir.exists("Park_AddOtherChgs_12-04-2026 09 05.MDB"));
        // On a Jet park, every table's indexes walk clean and mdb-export and mdb-reader read what the
        // engine reads.
        if (ParkFormatUnderTest() == ParkFormat::Jet)
            for (const char *table : {"Sites", "Guest", "OtherCharges", "ParkInfo"})
                QCOMPARE(QString::fromStdString(TableProblems(park.dir.file("Park.MDB"), table)), QString());

        // Closing the main window ends the program: its event loop returns.
        QTimer::singleShot(0, main, [main] { main->close(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(ChangeOverWalkTest)
#include "ChangeOverWalkTest.moc"
