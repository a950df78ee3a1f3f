// The site and guest windows driven with real clicks on a park with rows: what a click on the grid
// reads into the boxes and a save writes back, the captions and buttons that follow the pick, and
// the focus after a refused count.
#include "editors/ui/frmGuestDef.h"
#include "editors/ui/frmSiteDef.h"
#include "support/DesktopPark.h"

#include <QCheckBox>

using namespace tarnwick;

class EditorWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DesktopPark> park;

    static bool shown(QWidget *window, const QString &name) { return control<QWidget>(window, name)->isVisible(); }
    // Three rows of `table`, each column holding a value of its own that the editors show and save
    // back as they read it.
    void addRows(const std::string &table) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *park->session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (int n = 1; n <= 3; ++n) {
            rs.AddNew();
            for (int i = 1; i < rs.Fields().Count(); ++i) {
                const ColumnKind kind = rs.Fields()[i].columnType().kind;
                rs.Fields()[i] =
                    kind == ColumnKind::YesNo  ? Value::boolean((n + i) % 2)
                    : kind == ColumnKind::Date ? Value(std::to_string(n) + "/" + std::to_string(i) + "/2024")
                    : kind == ColumnKind::Text || kind == ColumnKind::Memo ? Value(char('a' + i) + std::to_string(n))
                                                                           : Value::number(n * 100 + i);
            }
            rs.Update();
        }
    }
    QStringList secondRow(const std::string &table) { return park->values("SELECT * FROM " + table + " WHERE ID = 2"); }
    // Saves the row picked (row 2) as it was read, which keeps every column, then with `typed` typed
    // over its boxes and the tick `tick` set to `ticked`, which changes only the columns `changed`.
    void saveAsReadThenChanged(QWidget *window, const std::string &table,
                               std::initializer_list<std::pair<QString, QString>> typed, const QString &tick,
                               bool ticked, std::initializer_list<std::pair<int, QString>> changed) {
        QStringList picked = secondRow(table);
        click(window, "Command4");
        QCOMPARE(secondRow(table), picked);
        for (const auto &[box, text] : typed)
            type(window, box, text);
        control<QCheckBox>(window, tick)->setChecked(ticked);
        click(window, "Command4");
        for (const auto &[column, value] : changed)
            picked[column] = value;
        QCOMPARE(secondRow(table), picked);
    }

private Q_SLOTS:
    // On the site window a click on a title gives its help, one right of the ID cells the position;
    // an ID cell picks.
    void theSiteAndGuestWindowsFollowTheirPick() {
        park = std::make_unique<DesktopPark>();
        SaveSiteTypes(park->session, {"", "Tent", "Rv"});
        addRows("Sites");
        addRows("Guest");
        auto *window = park->show(WindowId::SiteEditor);
        QCOMPARE(shows(window, {"NoSites"}), QStringList{"0003"});
        QVERIFY(shown(window, "SCType_2") && !shown(window, "SCType_3") && !shown(window, "Command4"));
        auto *grid = control<QTableView>(window, "MSFlexGrid1");
        QHeaderView *titles = grid->horizontalHeader();
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(titles->sectionViewportPosition(1) + 5, 3));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          QPoint(grid->columnViewportPosition(0) + 5, grid->rowViewportPosition(1) + 3));
        QVERIFY(park->said().first().startsWith("SiteAlias: "));
        QCOMPARE(park->said().mid(1), QStringList{"Col=1 Row=2"});
        QCOMPARE(park->session.SelectedId, 0L);

        clickId(window, 2);
        QCOMPARE(park->session.SelectedId, 2L);
        QCOMPARE(shows(window, {"Frame2", "Data_15", "Command4"}),
                 (QStringList{"Selected Site 201", "c2", "Save Site 201"}));
        QVERIFY(shown(window, "Command4"));

        // The first and last boxes and a tick are saved, the grid refilled; Unavailable ticked is
        // written in red.
        saveAsReadThenChanged(window, "Sites", {{"Data_0", "55"}, {"Data_15", "S2"}}, "Check3", true,
                              {{2, "S2"}, {3, "55"}, {8, "True"}}); // AliasNumber, Length, UnAvail
        QCOMPARE(control<QWidget>(window, "Check3")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(grid->model()->index(1, 2).data().toString(), QString("55"));

        // The count box names the button as each key is typed, while what is typed is a number; a
        // refused count keeps the focus in the box.
        type(window, "Text1", "3x");
        QCOMPARE(shows(window, {"Command1"}), QStringList{"Create 3 Sites"});
        type(window, "Text1", "-3");
        QCOMPARE(clickSays(*park, window, "Command1"),
                 QStringList{"The Create field must be a Number greater than 0."});
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(window, "Text1"));

        click(window, "Command3");
        QCOMPARE(park->column("Sites", "Number"), (QStringList{"101", "301"}));
        click(window, "Command5");
        QCOMPARE(shows(window, {"Frame2"}), QStringList{"No Site Selected "});
        QVERIFY(!shown(window, "Command3"));
        QCOMPARE(control<QWidget>(window, "Check3")->palette().color(QPalette::WindowText),
                 QApplication::palette().color(QPalette::WindowText));

        // On to the guests: their first and last boxes and No Rent are saved; a delete empties the
        // panel and counts what is left.
        click(window, "Command2");
        window = park->shown(WindowId::GuestEditor);
        clickId(window, 2);
        QCOMPARE(shows(window, {"Frame2", "Data_1"}), (QStringList{"Selected Guest 2", "b2"}));
        saveAsReadThenChanged(window, "Guest", {{"Data_1", "Jones, Bo"}, {"Data_21", "cat"}}, "Check1", false,
                              {{1, "Jones, Bo"}, {11, "False"}, {24, "cat"}}); // Name, NoRent, Pets

        click(window, "Command3");
        QCOMPARE(park->column("Guest", "Name"), (QStringList{"b1", "b3"}));
        QCOMPARE(shows(window, {"Frame2", "NoSites"}), (QStringList{"No Guest Selected ", "0002"}));
        QVERIFY(!shown(window, "Command4"));
    }
};

QTEST_MAIN(EditorWindowsTest)
#include "EditorWindowsTest.moc"
