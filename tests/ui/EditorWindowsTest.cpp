// The site and guest windows driven with real clicks on a park with rows: picking by the ID cell,
// saving, deleting, clearing, cloning, the column help, and the way between the windows.
#include "app/ui/frmDataImport1.h"
#include "editors/ui/frmGuestDef.h"
#include "editors/ui/frmSiteDef.h"
#include "support/DesktopPark.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace tarnwick;

class EditorWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DesktopPark> park;

    static QString text(QWidget *window, const QString &name) {
        if (auto *box = window->findChild<QLineEdit *>(name))
            return box->text();
        if (auto *label = window->findChild<QLabel *>(name))
            return label->text();
        if (auto *frame = window->findChild<QGroupBox *>(name))
            return frame->title();
        return window->findChild<QAbstractButton *>(name)->text();
    }
    static void click(QWidget *window, const QString &name) {
        QTest::mouseClick(window->findChild<QAbstractButton *>(name), Qt::LeftButton);
    }
    // Clicks the ID cell of grid row `row`, at its place on the screen.
    static void clickId(QWidget *window, int row) {
        auto *grid = window->findChild<QTableView *>("MSFlexGrid1");
        QHeaderView *ids = grid->verticalHeader();
        QTest::mouseClick(ids->viewport(), Qt::LeftButton, {}, QPoint(3, ids->sectionViewportPosition(row - 1) + 3));
    }
    // Clicks the title of grid column `column`, near its top edge.
    static void clickTitle(QWidget *window, int column) {
        auto *grid = window->findChild<QTableView *>("MSFlexGrid1");
        QHeaderView *titles = grid->horizontalHeader();
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(column - 1) + 5, 3));
    }
    void addSites(std::initializer_list<int> numbers) {
        Recordset rs;
        rs.Open("SELECT * FROM Sites", *park->session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (int n : numbers) {
            rs.AddNew();
            for (const char *field : {"Number", "Length", "Width", "ElectricAmp"})
                rs.Fields(field) = Value::number(field[0] == 'N' ? n : 30);
            rs.Fields("AliasNumber") = Value("S" + std::to_string(n));
            rs.Update();
        }
    }

private Q_SLOTS:
    void init() {
        park = std::make_unique<DesktopPark>();
        SiteTypeBoxes types;
        types[1] = "Tent";
        types[2] = "Rv";
        SaveSiteTypes(park->session, types);
    }
    void cleanup() { park.reset(); }

    void siteWindowPicksSavesClonesDeletesAndClears() {
        addSites({1, 2, 3, 10});
        auto *window = park->show<frmSiteDef>(WindowId::SiteEditor);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(text(window, "NoSites"), QString("0004"));
        QVERIFY(window->findChild<QCheckBox *>("SCType_2")->isVisible());
        QVERIFY(!window->findChild<QCheckBox *>("SCType_3")->isVisible());
        QVERIFY(!window->findChild<QPushButton *>("Command4")->isVisible());

        clickId(window, 2);
        QCOMPARE(park->session.SelectedId, 2L);
        QCOMPARE(text(window, "Frame2"), QString("Selected Site 2"));
        QCOMPARE(text(window, "Data_15"), QString("S2"));
        QCOMPARE(text(window, "Command4"), QString("Save Site 2"));
        QVERIFY(window->findChild<QPushButton *>("Command4")->isVisible());

        // Edit and save: the grid is refilled with the new values.
        auto *length = window->findChild<QLineEdit *>("Data_0");
        length->clear();
        QTest::keyClicks(length, "55");
        window->findChild<QCheckBox *>("Check3")->setChecked(true);
        QCOMPARE(window->findChild<QCheckBox *>("Check3")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        click(window, "Command4");
        QCOMPARE(park->column("Sites", "Length"), (QStringList{"30", "55", "30", "30"}));
        QCOMPARE(park->column("Sites", "UnAvail"), (QStringList{"False", "True", "False", "False"}));
        auto *grid = window->findChild<QTableView *>("MSFlexGrid1");
        QCOMPARE(grid->model()->index(1, 2).data().toString(), QString("55"));

        // Clone three: numbered on from the highest, with zero-padded aliases.
        window->findChild<QCheckBox *>("SCType_1")->setChecked(true);
        auto *count = window->findChild<QLineEdit *>("Text1");
        count->clear();
        QTest::keyClicks(count, "3");
        QCOMPARE(text(window, "Command1"), QString("Create 3 Sites"));
        click(window, "Command1");
        QCOMPARE(park->column("Sites", "Number"), (QStringList{"1", "2", "3", "10", "11", "12", "13"}));
        QCOMPARE(park->column("Sites", "AliasNumber").mid(4), (QStringList{"011", "012", "013"}));
        QCOMPARE(text(window, "NoSites"), QString("0007"));

        // A bad count keeps the focus in the count box.
        count->setText("-3");
        park->prompter.shown.clear();
        click(window, "Command1");
        QCOMPARE(park->said(), QStringList{"The Create field must be a Number greater than 0."});
        QCOMPARE(QApplication::focusWidget(), count);

        click(window, "Command3");
        QCOMPARE(park->column("Sites", "Number"), (QStringList{"1", "3", "10", "11", "12", "13"}));
        click(window, "Command5");
        QCOMPARE(text(window, "Frame2"), QString("No Site Selected "));
        QCOMPARE(text(window, "Data_14"), QString());
        QCOMPARE(park->session.SelectedId, 0L);
        QVERIFY(!window->findChild<QPushButton *>("Command3")->isVisible());
        QCOMPARE(window->findChild<QCheckBox *>("Check3")->palette().color(QPalette::WindowText),
                 QApplication::palette().color(QPalette::WindowText));
    }

    void titleAndPositionClicksSpeak() {
        addSites({1, 2});
        auto *window = park->show<frmSiteDef>(WindowId::SiteEditor);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        park->prompter.shown.clear();
        clickTitle(window, 2);
        auto *grid = window->findChild<QTableView *>("MSFlexGrid1");
        const int y = grid->horizontalHeader()->height() + grid->verticalHeader()->sectionViewportPosition(1) + 3;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          QPoint(grid->columnViewportPosition(0) + 5, y - grid->horizontalHeader()->height()));
        QCOMPARE(park->said(),
                 (QStringList{"SiteAlias: Is an Alias for the Site which can be AlphaNumeric. This is a 7 "
                              "Character field that should be unique. You can use the Site Number and "
                              "Alpha Characters to designate Shade, Pullthru, etc.",
                              "Col=1 Row=2"}));
        QCOMPARE(park->session.SelectedId, 0L);
    }

    void guestWindowPicksSavesDeletesAndClears() {
        Recordset rs;
        rs.Open("SELECT * FROM Guest", *park->session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (const char *name : {"Smith, Ann", "Jones, Bo"}) {
            rs.AddNew();
            rs.Fields("Name") = Value(name);
            rs.Fields("NoPeople") = Value::number(2);
            rs.Update();
        }
        rs.Close();
        auto *window = park->show<frmGuestDef>(WindowId::GuestEditor);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(text(window, "NoSites"), QString("0002"));
        clickId(window, 2);
        QCOMPARE(text(window, "Frame2"), QString("Selected Guest 2"));
        QCOMPARE(text(window, "Data_1"), QString("Jones, Bo"));
        auto *people = window->findChild<QLineEdit *>("Data_18");
        people->setText("two");
        window->findChild<QLineEdit *>("Data_4")->setText("Austin");
        click(window, "Command4");
        QCOMPARE(park->column("Guest", "City"), (QStringList{"", "Austin"}));
        QCOMPARE(park->column("Guest", "NoPeople"), (QStringList{"2", "2"}));
        click(window, "Command3");
        QCOMPARE(park->column("Guest", "Name"), QStringList{"Smith, Ann"});
        QCOMPARE(text(window, "Frame2"), QString("No Guest Selected "));
        QVERIFY(!window->findChild<QPushButton *>("Command4")->isVisible());
        QCOMPARE(text(window, "NoSites"), QString("0001"));
    }

    void editorsLeadToEachOtherAndBack() {
        auto *main = park->show<frmDataImport1>(WindowId::Main);
        park->prompter.answers.clear();
        click(main, "Command1"); // Enter Sites Manually: an empty table says so as the window loads
        QCOMPARE(park->said(), QStringList{"There are no Sites Available."});
        QVERIFY(!main->isVisible());
        QWidget *sites = park->navigator.existing(WindowId::SiteEditor);
        QVERIFY(sites && sites->isVisible());
        park->session.SelectedId = 7;
        click(sites, "Command2"); // GoTo Guests
        QWidget *guests = park->navigator.existing(WindowId::GuestEditor);
        QVERIFY(guests && guests->isVisible());
        QVERIFY(!sites->isVisible());
        QCOMPARE(park->session.SelectedId, 0L);
        guests->close(); // the title bar's close box
        QVERIFY(main->isVisible());
        QCOMPARE(park->session.Navigating, short(0));

        // From the import window the site editor opens after the import window is unloaded.
        click(main, "Command3");
        QWidget *import = park->navigator.existing(WindowId::Import);
        click(import, "Command3");
        QVERIFY(park->navigator.existing(WindowId::SiteEditor)->isVisible());
        QVERIFY(!main->isVisible());
        QCOMPARE(park->session.Navigating, short(0));
    }
};

QTEST_MAIN(EditorWindowsTest)
#include "EditorWindowsTest.moc"
