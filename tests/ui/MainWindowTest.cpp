// The main window: its controls by name, the site-type boxes' focus colours and their saving.
#include "app/Startup.h"
#include "app/ui/EntryFocus.h"
#include "app/ui/frmDataImport1.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace tarnwick;

class MainWindowTest : public QObject {
    Q_OBJECT

    TempDir dir;
    ScriptedPrompter prompter;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};

    // A session on the test park with the main window shown.
    struct Shown {
        Session session;
        Navigator navigator{session};
        std::unique_ptr<frmDataImport1> window;
        explicit Shown(MainWindowTest &test) : session(test.prompter, test.progress, test.clock) {
            session.DbFolder = test.dir.path();
            CreateRVCon(session);
            window = std::make_unique<frmDataImport1>(navigator);
            window->show();
        }
    };

    std::string storedType(Session &session, int i) {
        Recordset rs;
        rs.Open("SELECT * FROM ParkInfo ", *session.ParkConnection, adOpenStatic, adLockReadOnly);
        return rs.Fields("SiteType" + std::to_string(i)).GetValue().toString();
    }

private Q_SLOTS:
    void initTestCase() { CreateParkDatabase(dir.path()); }

    void showsItsControlsAndStartsOnEnterSites() {
        Shown shown(*this);
        frmDataImport1 &window = *shown.window;
        window.LoadSiteTypes();
        window.enterSitesButton()->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.windowTitle(), QString("Halvane Tarnwick"));
        QCOMPARE(window.findChild<QGroupBox *>("Frame1")->title(), QString("Site Types  "));
        for (int i = 1; i <= 10; ++i)
            QVERIFY(window.findChild<QLineEdit *>(QString("SType_%1").arg(i)));
        QCOMPARE(window.findChild<QLabel *>("Label11")->text(), QString("  1"));
        QCOMPARE(window.findChild<QLabel *>("Label20")->text(), QString("10"));
        QCOMPARE(window.findChild<QPushButton *>("Command4")->toolTip(),
                 QString("Use this tool to Open an Access DB to Export Tables"));
        QCOMPARE(window.findChild<QLabel *>("Label5")->text(), QString("Version 1.0.16"));
        QStringList help;
        for (QAction *a : window.menuBar()->actions().first()->menu()->actions())
            help << a->text();
        QCOMPARE(help, (QStringList{"Overview", "Help With Site Types"}));
        QCOMPARE(QApplication::focusWidget(), window.enterSitesButton());

        QString png = qEnvironmentVariable("TARNWICK_SNAPSHOT");
        if (!png.isEmpty())
            window.grab().save(png);
    }

    void siteTypeBoxColoursSelectionAndSave() {
        Shown shown(*this);
        frmDataImport1 &window = *shown.window;
        Session &session = shown.session;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *box3 = window.findChild<QLineEdit *>("SType_3");
        auto *box4 = window.findChild<QLineEdit *>("SType_4");

        box3->setFocus();
        QCOMPARE(box3->palette().color(QPalette::Base), kFocusColour);
        QTest::keyClicks(box3, "boat slip");
        box4->setFocus();
        QCOMPARE(box3->palette().color(QPalette::Base), kIdleColour);
        QCOMPARE(box3->text(), QString("Boat Slip"));
        QCOMPARE(storedType(session, 3), std::string("Boat Slip"));
        QCOMPARE(storedType(session, 1), std::string("None"));
        QCOMPARE(session.SiteTypeCount, 1L);

        // Coming back selects the whole text.
        box3->setFocus();
        QTRY_COMPARE(box3->selectedText(), QString("Boat Slip"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
