// The acceptance test of the desktop program: one park's whole change-over, done the way an
// operator does it, through the real windows only, with the database checked at the end.
#include "app/HelpFile.h"
#include "db/jet/IndexWalker.h"
#include "sheet/WorkbookWriter.h"
#include "support/DesktopPark.h"
#include "support/JetReaders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <filesystem>

using namespace tarnwick;

class ChangeOverWalkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DesktopPark> park;

    QWidget *shown(WindowId id) {
        QWidget *w = park->navigator.existing(id);
        return w && w->isVisible() ? w : nullptr;
    }
    void press(QWidget *window, const char *button) {
        auto *b = window->findChild<QAbstractButton *>(button);
        QVERIFY2(b, button);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(12, b->height() / 2));
    }
    void type(QWidget *window, const char *box, const QString &text) {
        auto *edit = window->findChild<QLineEdit *>(box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void match(QWidget *window, const QString &dropDown, const QString &title) {
        auto *box = window->findChild<QComboBox *>(dropDown);
        box->setCurrentIndex(box->findText(title));
        QCOMPARE(box->currentText(), title);
    }
    void pickFirstRow(QWidget *editor) {
        QHeaderView *ids = editor->findChild<QTableView *>("MSFlexGrid1")->verticalHeader();
        QTest::mouseClick(ids->viewport(), Qt::LeftButton, {}, QPoint(3, ids->sectionViewportPosition(0) + 3));
    }
    // Opens a window's help item and checks the help window shows the page of that topic.
    void openHelp(QWidget *window, const char *item, const QString &title) {
        QAction *action = window->findChild<QAction *>(item);
        QVERIFY2(action, item);
        action->trigger();
        QWidget *help = park->navigator.helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), title);
        help->close();
    }

private Q_SLOTS:
    void initTestCase() {
        park = std::make_unique<DesktopPark>();
        const TempDir &dir = park->dir;
        InstallHelpFile(std::filesystem::path(HELP_FILE).parent_path().string(), dir.path());
        dir.write("sites.csv", "\"Site\",\"Length\",\"Width\",\"Amps\"\r\n1,40,12,30\r\n2,45,12,50\r\n3,60,16,50\r\n");
        WorkbookWriter guests("Old Guests");
        guests.setText(1, 1, "First");
        guests.setText(1, 2, "Last");
        guests.addSheet("Current Guests");
        const char *const current[][4] = {{"First", "Last", "City", "Arrive"},
                                          {"ann", "SMITH", "dallas", "6/1/2024"},
                                          {"bo", "jones", "waco", "6/2/2024"},
                                          {"li", "nguyen", "tyler", "6/3/2024"}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                guests.setText(r + 1, c + 1, current[r][c]);
        guests.save(dir.file("guests.xls"));
        std::filesystem::copy_file(std::string(TESTDATA_DIR) + "/access/testV1997.mdb", dir.file("old.mdb"));
        // The operator takes every backup, and answers the questions below as the story says.
        park->prompter.standing = {
            {"We are making", Answer::Yes}, {"There are 2 sheets", Answer::No}, {"There are 1 sheets", Answer::Yes}};
    }

    void aParkChangesOverThroughTheWindows() {
        // The park's three site types, typed on the main window.
        QWidget *main = park->show(WindowId::Main);
        QVERIFY(QTest::qWaitForWindowExposed(main));
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        type(main, "SType_1", "tent");
        type(main, "SType_2", "rv");
        type(main, "SType_3", "cabin");
        type(main, "SType_4", "");
        QCOMPARE(park->session.SiteTypeCount, 3L);

        // Sites from a text file.
        press(main, "Command3");
        QWidget *import = shown(WindowId::Import);
        QVERIFY(import);
        clickEntry(import->findChild<QListWidget *>("File1"), "sites.csv");
        match(import, "FileField_1", "Site");
        match(import, "FileField_3", "Length");
        match(import, "FileField_4", "Width");
        match(import, "FileField_7", "Amps");
        press(import, "Command1");
        QCOMPARE(park->said().last(), QString("3 of 3 Sites Successfully Imported"));

        // Guests from the second worksheet of a workbook.
        press(import, "Option1_1");
        whenVisible("frmSheets",
                    [](QWidget *picker) { clickEntry(picker->findChild<QListWidget *>("List1"), "Current Guests"); });
        clickEntry(import->findChild<QListWidget *>("File1"), "guests.xls");
        match(import, "FileField2_1", "First");
        match(import, "FileField2_2", "Last");
        match(import, "FileField2_5", "City");
        match(import, "FileField2_11", "Arrive");
        press(import, "Command2");
        QCOMPARE(park->said().last(), QString("3 of 3 Guests Successfully Imported"));

        // A table of the old Access database, exported to a workbook.
        press(import, "Command10");
        QWidget *exporter = shown(WindowId::Export);
        QVERIFY(exporter);
        auto *databases = exporter->findChild<QListWidget *>("File1");
        const QPoint at = databases->visualItemRect(databases->findItems("old.mdb", Qt::MatchExactly).first()).center();
        QTest::mouseClick(databases->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(databases->viewport(), Qt::LeftButton, {}, at);
        auto *table1 = exporter->findChild<QCheckBox *>("MyTable_1");
        QCOMPARE(table1->text(), QString("Table1"));
        table1->setChecked(true);
        press(exporter, "Command1");
        QCOMPARE(park->said().last(), QString("Table1.xls Saved!"));
        press(exporter, "Command2");
        QVERIFY(main->isVisible());

        // The exported workbook, imported as store items.
        press(main, "Command3");
        import = shown(WindowId::Import);
        press(import, "Option1_2");
        clickEntry(import->findChild<QListWidget *>("File1"), "Table1.xls");
        match(import, "FileField3_1", "A");
        match(import, "FileField3_2", "F");
        press(import, "Command8");
        QCOMPARE(park->said().last(), QString("2 of 2 Other Charges Successfully Imported"));

        // Five more sites cloned from the first.
        press(import, "Command3");
        QWidget *sites = shown(WindowId::SiteEditor);
        QVERIFY(sites);
        pickFirstRow(sites);
        sites->findChild<QCheckBox *>("SCType_1")->setChecked(true);
        type(sites, "Text1", "5");
        press(sites, "Command1");
        QCOMPARE(sites->findChild<QLabel *>("NoSites")->text(), QString("0008"));

        // A guest corrected.
        press(sites, "Command2");
        QWidget *guests = shown(WindowId::GuestEditor);
        QVERIFY(guests);
        pickFirstRow(guests);
        QCOMPARE(guests->findChild<QLineEdit *>("Data_1")->text(), QString("Smith, Ann"));
        type(guests, "Data_4", "Austin");
        press(guests, "Command4");

        // Every window's help.
        openHelp(guests, "mnuGuest", "Guest Definition");
        press(guests, "Command2");
        sites = shown(WindowId::SiteEditor);
        openHelp(sites, "mnuSite", "Site Definition");
        press(sites, "Command7");
        import = shown(WindowId::Import);
        openHelp(import, "mnuExport", "Importing text and workbook files");
        press(import, "Command10");
        exporter = shown(WindowId::Export);
        openHelp(exporter, "mnuAccess", "Access export");
        press(exporter, "Command2");
        openHelp(main, "mnuOverview", "Overview");
        openHelp(main, "mnuSiteTypes", "Site Types");

        // Each window closed by its title bar brings the main window back.
        for (const auto &[button, id] :
             {std::pair{"Command1", WindowId::SiteEditor}, std::pair{"Command2", WindowId::GuestEditor},
              std::pair{"Command3", WindowId::Import}, std::pair{"Command4", WindowId::Export}}) {
            press(main, button);
            QWidget *window = shown(id);
            QVERIFY(window && !main->isVisible());
            window->close();
            QVERIFY(main->isVisible());
            QCOMPARE(park->session.Navigating, short(0));
        }

        // What the park's database holds now.
        QCOMPARE(park->column("Sites", "Number"), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
        QCOMPARE(park->column("Sites", "AliasNumber").mid(3), (QStringList{"004", "005", "006", "007", "008"}));
        QCOMPARE(park->column("Sites", "Tent"),
                 (QStringList{"False", "False", "False", "True", "True", "True", "True", "True"}));
        QCOMPARE(park->column("Guest", "Name"), (QStringList{"Smith, Ann", "Jones, Bo", "Nguyen, Li"}));
        QCOMPARE(park->column("Guest", "City"), (QStringList{"Austin", "Waco", "Tyler"}));
        QCOMPARE(park->column("Guest", "Arrival"), (QStringList{"6/1/2024", "6/2/2024", "6/3/2024"}));
        QCOMPARE(park->column("OtherCharges", "Name").size(), 2);
        QCOMPARE(park->column("ParkInfo", "SiteType2"), QStringList{"Rv"});
        QVERIFY(park->dir.exists("Park_AddOtherChgs_12-04-2026 09 05.MDB"));
        if (ParkFormatUnderTest() == ParkFormat::Jet) {
            // On a Jet park, mdb-export and mdb-reader read every table as the engine does, and
            // every index holds each row once under its key.
            const jet::JetDatabase written(park->dir.file("Park.MDB"));
            for (const char *table : {"Sites", "Guest", "OtherCharges", "ParkInfo"}) {
                QCOMPARE(QString::fromStdString(CompareWithOutsideReaders(park->dir.file("Park.MDB"), table)),
                         QString());
                for (const jet::IndexReport &report : jet::WalkIndexes(written, written.table(table)))
                    QCOMPARE(QString::fromStdString(report.problems.empty() ? "" : report.problems.front()), QString());
            }
        }

        // Closing the main window ends the program: its event loop returns.
        QTimer::singleShot(0, main, [main] { main->close(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(ChangeOverWalkTest)
#include "ChangeOverWalkTest.moc"
