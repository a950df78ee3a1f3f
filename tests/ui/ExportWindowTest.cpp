// The export window on real Access databases copied into a temporary park: listing by a
// double-click, the field list by a right-click, the export of ticked tables read back against
// mdb-export, the password box, the 45-box limit, the Progress window, and the way back.
#include "db/access/JetHeader.h"
#include "db/sqlite/Sqlite.h"
#include "export/ui/frmMSAcessExport.h"
#include "support/DamagedAccess.h"
#include "support/DesktopPark.h"
#include "support/RunCli.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>

using namespace tarnwick;

class ExportWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DesktopPark> park;
    frmMSAcessExport *window = nullptr;

    void copyIn(const std::string &name, const std::string &as = {}) {
        std::filesystem::copy_file(std::string(TESTDATA_DIR) + "/access/" + name,
                                   park->dir.file(as.empty() ? name : as));
    }
    // An SQLite database of our own kind, which the browser opens as well, made from statements.
    void sqliteDatabase(const std::string &name, const std::string &sql) {
        sqlite3 *raw = nullptr;
        sqlite3_open(park->dir.file(name).c_str(), &raw);
        SqliteHandle db(raw);
        Execute(db.get(), sql);
    }
    void open() {
        window = park->show<frmMSAcessExport>(WindowId::Export);
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void doubleClick(const QString &file) {
        auto *files = window->findChild<QListWidget *>("File1");
        const auto found = files->findItems(file, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(file));
        const QPoint at = files->visualItemRect(found.first()).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
    }
    QCheckBox *box(int i) { return window->findChild<QCheckBox *>(QString("MyTable_%1").arg(i)); }
    QStringList shownTables() {
        QStringList names;
        for (int i = 1; i <= 45; ++i)
            if (box(i)->isVisible())
                names << box(i)->text();
        return names;
    }
    QWidget *fieldList() {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmFields" && w->isVisible())
                return w;
        return nullptr;
    }

private Q_SLOTS:
    void init() { park = std::make_unique<DesktopPark>(); }
    void cleanup() {
        park.reset();
        window = nullptr;
    }

    void listsTablesInTheFilesOrder() {
        copyIn("nwind.mdb");
        open();
        QCOMPARE(window->windowTitle(), QString("MS Access Database Export"));
        QCOMPARE(window->findChild<QGroupBox *>("Frame1")->title(), QString("Tables In Selected Database for Export "));
        QVERIFY(shownTables().isEmpty());
        doubleClick("nwind.mdb");
        const QString expected =
            QString::fromStdString(RunProgram("mdb-tables", "-1 '" + park->dir.file("nwind.mdb") + "'").out);
        QCOMPARE(shownTables().join("\n") + "\n", expected);
        QCOMPARE(box(1)->toolTip(), QString("Right-Click to see the Fields in this Table"));
        QVERIFY(park->said().isEmpty());
    }

    void rightClickShowsTheFieldListAndItHandsTheWindowBack() {
        copyIn("testV1997.mdb");
        open();
        doubleClick("testV1997.mdb");
        for (bool byButton : {true, false}) {
            QTest::mouseClick(box(1), Qt::RightButton);
            QWidget *fields = fieldList();
            QVERIFY(fields);
            QVERIFY(!window->isEnabled());
            QCOMPARE(fields->windowTitle(), QString("Table Fields"));
            QCOMPARE(fields->findChild<QGroupBox *>()->title(),
                     QString("Field Name                                           Field Type  "));
            auto *list = fields->findChild<QListWidget *>("List1");
            QCOMPARE(list->count(), 9);
            QCOMPARE(list->item(0)->text(), QString("A                        dbText"));
            QCOMPARE(list->item(2)->text(), QString("C                        "));
            QCOMPARE(list->item(8)->text(), QString("I                        dbLongBinary"));
            QVERIFY(QFontInfo(list->font()).fixedPitch());
            QCOMPARE(fields->findChild<QLabel *>("Label1")->text(), QString("No. of Records in Table1  2"));
            if (byButton)
                QTest::mouseClick(fields->findChild<QPushButton *>("Command1"), Qt::LeftButton);
            else
                fields->close(); // the title bar's close box
            QVERIFY(window->isEnabled());
        }
    }

    void exportsTickedTablesAsMdbExportSeesThem() {
        copyIn("nwind.mdb");
        open();
        doubleClick("nwind.mdb");
        int ticked = 0;
        QStringList tables;
        for (int i = 1; i <= 45 && ticked < 2; ++i)
            if (box(i)->text() == "Customers" || box(i)->text() == "Orders") {
                box(i)->setChecked(true);
                tables << box(i)->text();
                ++ticked;
            }
        QCOMPARE(ticked, 2);
        QStringList captions;
        park->prompter.onShow = [&](const Shown &) { captions << park->progress.windowTitle(); };
        QTest::mouseClick(window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(park->said(), (QStringList{tables[0] + ".xls Saved!", tables[1] + ".xls Saved!"}));
        QCOMPARE(captions.first(), "Processing " + tables[0] + " Table");
        for (const QString &table : tables) {
            CliResult compared =
                RunProgram("/usr/bin/python3", std::string("'") + SUPPORT_DIR + "/compare_export.py' '" +
                                                   park->dir.file(table.toStdString() + ".xls") + "' '" +
                                                   park->dir.file("nwind.mdb") + "' '" + table.toStdString() + "'");
            QCOMPARE(QString::fromStdString(compared.out), QString("same\n"));
        }
        // Nothing ticked: the one message.
        for (int i = 1; i <= 45; ++i)
            box(i)->setChecked(false);
        park->prompter.shown.clear();
        QTest::mouseClick(window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(park->said(), QStringList{"No Tables were checked, hense No Spreadsheets were created."});
    }

    void aPasswordIsAskedUntilGivenOrGivenUp() {
        copyIn("testV1997.mdb", "locked.mdb");
        std::fstream file(park->dir.file("locked.mdb"), std::ios::in | std::ios::out | std::ios::binary);
        std::vector<std::uint8_t> page(0x100);
        file.read(reinterpret_cast<char *>(page.data()), static_cast<std::streamsize>(page.size()));
        WriteJetPassword(page, "Sesame42");
        file.seekp(0);
        file.write(reinterpret_cast<const char *>(page.data()), static_cast<std::streamsize>(page.size()));
        file.close();
        open();
        const QString box = "Password Input|This database requires a Password. Please enter the correct Password.";
        park->prompter.inputs = {std::string("wrong"), std::string("")};
        doubleClick("locked.mdb");
        QCOMPARE(park->said(), (QStringList{box, box, "The correct Password MUST be provided ... Aborting"}));
        QVERIFY(shownTables().isEmpty());

        park->prompter.shown.clear();
        park->session.DbPassword.clear();
        park->prompter.inputs = {std::string("wrong"), std::string("Sesame42")};
        doubleClick("locked.mdb");
        QCOMPARE(park->said(), (QStringList{box, box}));
        QCOMPARE(shownTables(), (QStringList{"Table1", "Table2", "Table3", "Table4"}));
    }

    void moreThan45TablesShow45() {
        std::string sql;
        for (int i = 1; i <= 47; ++i)
            sql += "CREATE TABLE T" + std::to_string(i) + " (a);";
        sqliteDatabase("many.mdb", sql);
        open();
        doubleClick("many.mdb");
        QCOMPARE(park->said(), QStringList{"Not all Tables are being displayed because more than 45 Tables exist."});
        QCOMPARE(shownTables().size(), 45);
        QCOMPARE(shownTables().last(), QString("T45"));
    }

    void theBarMovesDuringALongExport() {
        sqliteDatabase("big.mdb", "CREATE TABLE Big (n INTEGER, a VARCHAR(20), b VARCHAR(20), c VARCHAR(20), "
                                  "d VARCHAR(20), e REAL, f REAL, g VARCHAR(40));"
                                  "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 100000) "
                                  "INSERT INTO Big SELECT i, 'row ' || i, 'b' || i, 'c' || i, 'd' || i, i * 1.5, "
                                  "i / 7.0, 'a longer text for row ' || i FROM c;");
        open();
        doubleClick("big.mdb");
        box(1)->setChecked(true);
        auto *bar = park->progress.findChild<QProgressBar *>("ProgressBar1");
        QSet<int> seen;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (park->progress.isVisible() && bar->value() > 0 && bar->value() < bar->maximum())
                seen.insert(bar->value());
        });
        watch.start(1);
        QTest::mouseClick(window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(bar->maximum(), 100000);
        QVERIFY2(seen.size() >= 2, qPrintable(QString::number(seen.size())));
        QCOMPARE(park->said().last(), QString("Big.xls Saved!"));
        QVERIFY(!park->progress.isVisible());
    }

    void badFilesAndNamesGetASentence() {
        park->dir.write("text.mdb", "not a database at all\n");
        copyIn("ASampleDatabase.accdb", "renamed.mdb");
        sqliteDatabase("odd.mdb", "CREATE TABLE \"a/b\" (x); INSERT INTO \"a/b\" VALUES (1);");
        open();
        doubleClick("text.mdb");
        QVERIFY2(park->said().last().startsWith("ListTables: Error!\r\n"), qPrintable(park->said().last()));
        doubleClick("renamed.mdb");
        QVERIFY(!shownTables().isEmpty() || park->said().last().startsWith("ListTables: Error!"));
        park->prompter.shown.clear();
        doubleClick("odd.mdb");
        box(1)->setChecked(true);
        QTest::mouseClick(window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(park->said().last(), QString("a_b.xls Saved!"));
        QVERIFY(park->dir.exists("a_b.xls"));
    }

    void aDamagedDatabaseNeitherFreezesTheWindowNorLetsItClose() {
        WriteDamaged(park->dir, kLoopingCatalog);
        open();
        // A timer stands for the window system: its ticks must keep coming while libmdb loops.
        QElapsedTimer clock;
        qint64 last = 0, longestGap = 0;
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
            ++ticks;
        });
        QTimer::singleShot(300, window, [this] { window->close(); });
        clock.start();
        tick.start(20);
        doubleClick(kLoopingCatalog.name);
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        // Its memory limit stops the reader within seconds; on a loaded machine its time limit may come first.
        QVERIFY2(park->said().last().startsWith("ListTables: Error!\r\n-2147467259: The database is damaged and could "
                                                "not be read (reading it "),
                 qPrintable(park->said().last()));
        QVERIFY2(ticks >= 10 && longestGap < 500, qPrintable(QString("%1 ticks, %2 ms").arg(ticks).arg(longestGap)));
        QVERIFY2(window->isVisible() && window->isEnabled(), "the window was closed under the read or left disabled");
        QVERIFY(shownTables().isEmpty());
    }

    void closeOrTheTitleBarGoBackToTheMainWindow() {
        copyIn("testV1997.mdb");
        for (bool byButton : {true, false}) {
            QWidget *main = park->navigator.window(WindowId::Main);
            main->show();
            QTest::mouseClick(main->findChild<QPushButton *>("Command4"), Qt::LeftButton);
            window = static_cast<frmMSAcessExport *>(park->navigator.existing(WindowId::Export));
            QVERIFY(window && window->isVisible());
            QVERIFY(!main->isVisible());
            doubleClick("testV1997.mdb");
            QCOMPARE(park->session.BrowseOpen, short(-1));
            if (byButton)
                QTest::mouseClick(window->findChild<QPushButton *>("Command2"), Qt::LeftButton);
            else
                window->close();
            QVERIFY(main->isVisible());
            QCOMPARE(park->session.BrowseOpen, short(0));
            QTRY_VERIFY(park->navigator.existing(WindowId::Export) == nullptr);
        }
    }
};

QTEST_MAIN(ExportWindowTest)
#include "ExportWindowTest.moc"
