// The site and guest windows driven with real clicks on a park with rows: what a click on the grid
// reads, the captions and buttons that follow the pick, and the focus after a refused count.
#include "editors/ui/frmGuestDef.h"
#include "editors/ui/frmSiteDef.h"
#include "support/DesktopPark.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace tarnwick;

class EditorWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DesktopPark> park;

    static QString caption(QWidget *window, const QString &name) {
        if (auto *frame = window->findChild<QGroupBox *>(name))
            return frame->title();
        if (auto *label = window->findChild<QLabel *>(name))
            return label->text();
        if (auto *box = window->findChild<QLineEdit *>(name))
            return box->text();
        return control<QAbstractButton>(window, name)->text();
    }
    static bool shown(QWidget *window, const QString &name) { return control<QWidget>(window, name)->isVisible(); }
    static QColor textColour(QWidget *window, const QString &name) {
        return control<QWidget>(window, name)->palette().color(QPalette::WindowText);
    }

private Q_SLOTS:
    void init() {
        park = std::make_unique<DesktopPark>();
        SiteTypeBoxes types;
        types[1] = "Tent";
        types[2] = "Rv";
        SaveSiteTypes(park->session, types);
        Recordset rs;
        rs.Open("SELECT * FROM Sites", *park->session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (int n : {1, 2, 3}) {
            rs.AddNew();
            for (const char *field : {"Number", "Length", "Width", "ElectricAmp"})
                rs.Fields(field) = Value::number(field[0] == 'N' ? n : 30);
            rs.Fields("AliasNumber") = Value("S" + std::to_string(n));
            rs.Update();
        }
        rs.Open("SELECT * FROM Guest", *park->session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (const char *name : {"Smith, Ann", "Jones, Bo"}) {
            rs.AddNew();
            rs.Fields("Name") = Value(name);
            rs.Update();
        }
    }
    void cleanup() { park.reset(); }

    // A click on a title gives its help, one right of the ID cells the position; an ID cell picks.
    void theSiteWindowFollowsItsPick() {
        auto *window = park->show(WindowId::SiteEditor);
        QCOMPARE(caption(window, "NoSites"), QString("0003"));
        QVERIFY(shown(window, "SCType_2") && !shown(window, "SCType_3"));
        QVERIFY(!shown(window, "Command4"));
        auto *grid = control<QTableView>(window, "MSFlexGrid1");
        QHeaderView *titles = grid->horizontalHeader();
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(titles->sectionViewportPosition(1) + 5, 3));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          QPoint(grid->columnViewportPosition(0) + 5, grid->rowViewportPosition(1) + 3));
        QCOMPARE(park->said().size(), 2);
        QVERIFY(park->said().first().startsWith("SiteAlias: "));
        QCOMPARE(park->said().last(), QString("Col=1 Row=2"));
        QCOMPARE(park->session.SelectedId, 0L);

        clickId(window, 2);
        QCOMPARE(park->session.SelectedId, 2L);
        QCOMPARE(caption(window, "Frame2"), QString("Selected Site 2"));
        QCOMPARE(caption(window, "Data_15"), QString("S2"));
        QCOMPARE(caption(window, "Command4"), QString("Save Site 2"));
        QVERIFY(shown(window, "Command4"));

        // A save refills the grid; Unavailable ticked is written in red.
        type(window, "Data_0", "55");
        control<QCheckBox>(window, "Check3")->setChecked(true);
        QCOMPARE(textColour(window, "Check3"), QColor(255, 0, 0));
        click(window, "Command4");
        QCOMPARE(park->column("Sites", "Length"), (QStringList{"30", "55", "30"}));
        QCOMPARE(grid->model()->index(1, 2).data().toString(), QString("55"));

        // The count box names the button; a refused count keeps the focus in it.
        control<QCheckBox>(window, "SCType_1")->setChecked(true);
        type(window, "Text1", "3");
        QCOMPARE(caption(window, "Command1"), QString("Create 3 Sites"));
        type(window, "Text1", "-3");
        park->expect({});
        click(window, "Command1");
        QCOMPARE(park->said(), QStringList{"The Create field must be a Number greater than 0."});
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(window, "Text1"));

        click(window, "Command3");
        QCOMPARE(park->column("Sites", "Number"), (QStringList{"1", "3"}));
        click(window, "Command5");
        QCOMPARE(caption(window, "Frame2"), QString("No Site Selected "));
        QVERIFY(!shown(window, "Command3"));
        QCOMPARE(textColour(window, "Check3"), QApplication::palette().color(QPalette::WindowText));
    }

    void theGuestWindowCountsWhatADeleteLeaves() {
        auto *window = park->show(WindowId::GuestEditor);
        QCOMPARE(caption(window, "NoSites"), QString("0002"));
        clickId(window, 2);
        QCOMPARE(caption(window, "Frame2"), QString("Selected Guest 2"));
        QCOMPARE(caption(window, "Data_1"), QString("Jones, Bo"));
        click(window, "Command3");
        QCOMPARE(park->column("Guest", "Name"), QStringList{"Smith, Ann"});
        QCOMPARE(caption(window, "Frame2"), QString("No Guest Selected "));
        QVERIFY(!shown(window, "Command4"));
        QCOMPARE(caption(window, "NoSites"), QString("0001"));
    }
};

QTEST_MAIN(EditorWindowsTest)
#include "EditorWindowsTest.moc"
