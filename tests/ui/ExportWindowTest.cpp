// The export window at its limits: more tables than it has boxes, a long export under the Progress
// window, and a damaged database that must not freeze it. Its ordinary use is in the change-over
// walk.
#include "db/sqlite/Sqlite.h"
#include "export/ui/frmMSAcessExport.h"
#include "support/DamagedAccess.h"
#include "support/DesktopPark.h"

#include <QCheckBox>
#include <QElapsedTimer>

using namespace tarnwick;

class ExportWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DesktopPark> park;
    frmMSAcessExport *window = nullptr;

    // Opens the window and lists the tables of `file` as a double-click on it does.
    void list(const QString &file) {
        window = park->show<frmMSAcessExport>(WindowId::Export);
        clickEntry(window, "File1", file, {}, true);
    }
    QStringList shownTables() {
        QStringList names;
        for (int i = 1; i <= 45; ++i)
            if (auto *box = control<QCheckBox>(window, QString("MyTable_%1").arg(i)); box->isVisible())
                names << box->text();
        return names;
    }

private Q_SLOTS:
    void init() { park = std::make_unique<DesktopPark>(); }
    void cleanup() { park.reset(); }

    // 47 tables fill the 45 boxes in order; 40,000 rows move the bar while it is painted.
    void manyTablesFillTheBoxesAndALongExportMovesTheBar() {
        std::string sql = "CREATE TABLE Big (n INTEGER, a VARCHAR(20), b VARCHAR(20), c VARCHAR(20), d VARCHAR(20), "
                          "e REAL, f REAL, g VARCHAR(40));"
                          "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 40000) "
                          "INSERT INTO Big SELECT i, 'row ' || i, 'b' || i, 'c' || i, 'd' || i, i * 1.5, i / 7.0, "
                          "'a longer text for row ' || i FROM c;";
        for (int i = 2; i <= 47; ++i)
            sql += "CREATE TABLE T" + std::to_string(i) + " (a);";
        sqlite3 *raw = nullptr;
        sqlite3_open(park->dir.file("many.mdb").c_str(), &raw);
        Execute(SqliteHandle(raw).get(), sql);
        list("many.mdb");
        QCOMPARE(shownTables().size(), 45);
        QCOMPARE((QStringList{shownTables().first(), shownTables().last()}), (QStringList{"Big", "T45"}));

        control<QCheckBox>(window, "MyTable_1")->setChecked(true);
        BarWatch watch(park->progress);
        click(window, "Command1");
        QCOMPARE(watch.bar->maximum(), 40000);
        QVERIFY2(watch.seen.size() >= 2, qPrintable(QString::number(watch.seen.size())));
        QCOMPARE(park->said().last(), QString("Big.xls Saved!"));
    }

    void aDamagedDatabaseNeitherFreezesTheWindowNorLetsItClose() {
        WriteDamaged(park->dir, kLoopingCatalog);
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
        QTimer::singleShot(300, &park->progress, [this] { window->close(); });
        clock.start();
        tick.start(20);
        list(kLoopingCatalog.name);
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        // Its memory limit stops the reader within seconds; on a loaded machine its time limit may come first.
        QVERIFY2(park->said().last().startsWith("ListTables: Error!\r\n-2147467259: The database is damaged and could "
                                                "not be read (reading it "),
                 qPrintable(park->said().last()));
        // A frozen window misses ticks for the whole read (seconds); a loaded machine only delays some.
        QVERIFY2(ticks >= 10 && longestGap < clock.elapsed() / 2,
                 qPrintable(QString("%1 ticks, %2 of %3 ms").arg(ticks).arg(longestGap).arg(clock.elapsed())));
        QVERIFY2(window->isVisible() && window->isEnabled(), "the window was closed under the read or left disabled");
        QVERIFY(shownTables().isEmpty());
    }
};

QTEST_MAIN(ExportWindowTest)
#include "ExportWindowTest.moc"
