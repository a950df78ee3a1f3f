// The import window driven as the operator drives it: clicks on its file list, panels and buttons,
// on real files in a temporary park, with every message answered and checked, and the park's
// tables checked afterwards.
#include "app/ui/frmDataImport1.h"
#include "import/InterruptedImport.h"
#include "db/jet/LockFile.h"
#include "sheet/WorkbookWriter.h"
#include "support/ImportWindowDriver.h"
#include "support/KilledImport.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <filesystem>
#include <sqlite3.h>

using namespace tarnwick;

namespace {

const std::string kSitesA = "\"Site\",\"Len\"\r\n1,40\r\n2,45\r\n";
const std::string kSitesB = "\"Number\",\"Amps\",\"Rate\"\r\n7,30,20\r\n8,50,25\r\n9,50,30\r\n";
// Titles as in kSitesA: files imported together are matched against the titles read last.
const std::string kSitesC = "\"Site\",\"Len\"\r\n7,30\r\n8,50\r\n9,50\r\n";

QString backupQuestion(const char *what) {
    return QString("We are making a BackUp of the Halvane DataBase before you %1 12-04-2026 09 05 ?").arg(what);
}

} // namespace

class ImportWindowTest : public QObject, private ImportWindowDriver {
    Q_OBJECT

    // A workbook of three sheets, each with a Site title and as many rows as its number.
    void writeThreeSheets() {
        WorkbookWriter book("One");
        for (int sheet = 1; sheet <= 3; ++sheet) {
            if (sheet > 1)
                book.addSheet(sheet == 2 ? "Two" : "Three");
            book.setText(1, 1, "Site");
            for (int r = 0; r < sheet; ++r)
                book.setNumber(r + 2, 1, sheet * 10 + r);
        }
        book.save(park->dir.file("book.xls"));
    }

private Q_SLOTS:
    void init() {
        park = std::make_unique<DesktopPark>();
        park->dir.write("a.csv", kSitesA);
        park->dir.write("b.csv", kSitesB);
        park->dir.write("c.csv", kSitesC);
        park->dir.write("ignored.xlsx", "");
        park->dir.write("notes.dat", "");
        park->dir.write("upper.TXT", "\"Item\"\r\n");
        openWindow();
    }
    void cleanup() { closePark(); }

    void opensWithItsDefaultsAndOnlyTheSitePanel() {
        QCOMPARE(window->windowTitle(), QString("Read CSV or Excel Spreadsheet"));
        QVERIFY(control<QRadioButton>("Option1_0")->isChecked());
        QVERIFY(control<QRadioButton>("Option2_0")->isChecked());
        QVERIFY(control<QRadioButton>("Option3_1")->isChecked());
        QVERIFY(control<QWidget>("frmImport_0")->isVisible());
        QVERIFY(!control<QWidget>("frmImport_1")->isVisible());
        QVERIFY(!control<QWidget>("frmImport_2")->isVisible());
        click("Option1_2");
        QVERIFY(control<QWidget>("frmImport_2")->isVisible());
        QVERIFY(!control<QWidget>("frmImport_0")->isVisible());
        QCOMPARE(control<QLabel>("ChgField_5")->toolTip(), QString("Taxible is True or False (or 1 & 0)"));
        QCOMPARE(control<QLabel>("ParkField_6")->toolTip(), QString("Sewer is True or Fakse"));
        QCOMPARE(control<QComboBox>("FileField2_2")->toolTip(), QString("Select the Field to use forLastName"));
        QCOMPARE(control<QPushButton>("Command6")->text(), QString("<==   Modify Guest Data"));
        // Only sources, in any case of extension, sorted by name.
        QStringList listed;
        for (int i = 0; i < files()->count(); ++i)
            listed << files()->item(i)->text();
        QCOMPARE(listed, (QStringList{"a.csv", "b.csv", "c.csv", "upper.TXT"}));
        QVERIFY(window->width() <= 1366 && window->frameGeometry().height() <= 768);
    }

    void selectingFilesFillsTheChosenPanelsDropDowns() {
        clickEntry(files(), "a.csv");
        QCOMPARE(ItemsOf(control<QComboBox>("FileField_1")), (QStringList{"Site", "Len"}));
        QCOMPARE(ItemsOf(control<QComboBox>("FileField_18")), (QStringList{"Site", "Len"}));
        QCOMPARE(control<QComboBox>("FileField_1")->currentText(), QString());

        clickEntry(files(), "b.csv", Qt::ControlModifier);
        QCOMPARE(ItemsOf(control<QComboBox>("FileField_3")), (QStringList{"Site", "Len", "Number", "Amps", "Rate"}));

        // The guest panel takes the next file; the site drop-downs keep theirs.
        click("Option1_1");
        clickEntry(files(), "b.csv");
        QCOMPARE(ItemsOf(control<QComboBox>("FileField2_1")), (QStringList{"Number", "Amps", "Rate"}));
        QCOMPARE(ItemsOf(control<QComboBox>("FileField_1")), (QStringList{"Site", "Len", "Number", "Amps", "Rate"}));
        QCOMPARE(control<QComboBox>("FileField3_1")->count(), 0);
        QVERIFY(park->prompter.shown.empty());
    }

    void importTakesABackupBeforeEachSelectedFile() {
        clickEntry(files(), "a.csv");
        clickEntry(files(), "c.csv", Qt::ControlModifier);
        choose("FileField_1", "Site");
        choose("FileField_3", "Len");
        bool progressShownAtEachSummary = true;
        park->prompter.onShow = [&](const Shown &s) {
            if (s.text.find("Successfully") != std::string::npos)
                progressShownAtEachSummary &= !park->progress.isVisible();
        };
        park->prompter.answers = {Answer::Yes, Answer::No};
        click("Command1");

        const QString backup = QString::fromStdString(park->dir.file("Park_AddSites_12-04-2026 09 05.MDB"));
        QCOMPARE(park->said(), (QStringList{backupQuestion("Add Sites"), "The Database has been BackedUp as " + backup,
                                            "2 of 2 Sites Successfully Imported", backupQuestion("Add Sites"),
                                            "3 of 3 Sites Successfully Imported"}));
        QVERIFY(progressShownAtEachSummary);
        QCOMPARE(park->column("Sites", "Number"), (QStringList{"1", "2", "7", "8", "9"}));
        QCOMPARE(park->column("Sites", "Length"), (QStringList{"40", "45", "30", "50", "50"}));
        QVERIFY(park->dir.exists("Park_AddSites_12-04-2026 09 05.MDB"));
        QVERIFY(window->isEnabled());
    }

    void aRowErrorAnsweredNoStopsAndUnloadsTheProgressWindow() {
        park->dir.write("bad.csv", "\"Site\"\r\n1\r\nten\r\n3\r\n");
        refresh();
        clickEntry(files(), "bad.csv");
        choose("FileField_1", "Site");
        bool progressAtPrompt = false;
        park->prompter.onShow = [&](const Shown &s) {
            if (s.text.rfind("Error on Line", 0) == 0)
                progressAtPrompt = park->progress.isVisible();
        };
        park->prompter.answers = {Answer::No, Answer::No};
        click("Command1");
        QVERIFY(progressAtPrompt);
        QVERIFY(!park->progress.isVisible());
        QVERIFY2(park->said().last().startsWith("Error on Line 1.  Failure on Field: Number Data is: ten\r\n"),
                 qPrintable(park->said().last()));
        QCOMPARE(park->count("Sites"), 1L);
    }

    void theProgressBarMovesDuringALongImport() {
        std::string csv = "\"Site\"\r\n";
        for (int i = 1; i <= 60000; ++i)
            csv += std::to_string(i) + "\r\n";
        park->dir.write("long.csv", csv);
        refresh();
        clickEntry(files(), "long.csv");
        choose("FileField_1", "Site");
        auto *bar = park->progress.findChild<QProgressBar *>("ProgressBar1");
        QSet<int> seen;
        QTimer watch;
        // Timers run only when the bar is repainted, so every value seen was painted mid-run.
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (park->progress.isVisible() && bar->value() > 0 && bar->value() < bar->maximum())
                seen.insert(bar->value());
        });
        watch.start(1);
        park->prompter.answers = {Answer::No};
        click("Command1");
        QCOMPARE(bar->maximum(), 60000);
        QVERIFY2(seen.size() >= 2, qPrintable(QString::number(seen.size())));
        QCOMPARE(park->said().last(), QString("60000 of 60000 Sites Successfully Imported"));
    }

    void purgeAnsweredNoTakesNoBackupAndKeepsTheTable() {
        clickEntry(files(), "a.csv");
        choose("FileField_1", "Site");
        park->prompter.answers = {Answer::No};
        click("Command1");
        park->prompter.shown.clear();

        park->prompter.answers = {Answer::No};
        click("Command4");
        QCOMPARE(park->said(), (QStringList{"Doing this will totally Remove ALL Sites from the Park.MDB Database. Are "
                                            "you SURE you want to continue?"}));
        QCOMPARE(park->count("Sites"), 2L);
        QVERIFY(!park->dir.exists("Park_DelSites_12-04-2026 09 05.MDB"));

        park->prompter.answers = {Answer::Yes, Answer::Yes, Answer::No};
        click("Command4");
        QCOMPARE(park->count("Sites"), 0L);
        QVERIFY(park->dir.exists("Park_DelSites_12-04-2026 09 05.MDB"));
    }

    void theSheetPickerChoosesTheWorksheet_data() {
        QTest::addColumn<bool>("clickThird");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<long>("rows");
        QTest::newRow("third name clicked") << true << "Three" << 3L;
        QTest::newRow("closed without a click") << false << "One" << 1L;
    }
    void theSheetPickerChoosesTheWorksheet() {
        QFETCH(bool, clickThird);
        QFETCH(QString, sheet);
        QFETCH(long, rows);
        writeThreeSheets();
        refresh();
        QStringList offered;
        whenVisible("frmSheets", [&](QWidget *picker) {
            auto *list = picker->findChild<QListWidget *>("List1");
            for (int i = 0; i < list->count(); ++i)
                offered << list->item(i)->text();
            if (clickThird)
                clickEntry(list, "Three");
            else
                picker->close();
        });
        park->prompter.answers = {Answer::No};
        clickEntry(files(), "book.xls");
        QCOMPARE(offered, (QStringList{"One", "Two", "Three"}));
        QCOMPARE(control<QLineEdit>("ShtName")->text(), sheet);
        QCOMPARE(park->said().mid(0, 2), (QStringList{"There are 3 sheets, we will be processing One",
                                                      QString("There are %1 Rows.").arg(rows + 1)}));

        choose("FileField_1", "Site");
        park->prompter.shown.clear();
        park->prompter.answers = {Answer::No};
        click("Command1");
        QCOMPARE(park->said().last(), QString("%1 of %1 Sites Successfully Imported").arg(rows));
        QCOMPARE(park->count("Sites"), rows);
    }

    void aRepairedFileIsListedAtOnce() {
        park->dir.write("plain.csv", "Site,Len\r\n1,2\r\n");
        refresh();
        park->prompter.answers = {Answer::OK};
        clickEntry(files(), "plain.csv");
        QVERIFY(!files()->findItems("plain New.CSV", Qt::MatchExactly).isEmpty());
        // The repaired copy holds quoted titles that can be read.
        clickEntry(files(), "plain New.CSV");
        QCOMPARE(ItemsOf(control<QComboBox>("FileField_1")), (QStringList{"Site", "Len"}));
    }

    void filesAreBroughtIntoTheNamedParkFolderAndListedWhenTheyArrive() {
        QCOMPARE(control<QLabel>("lblParkFolder")->toolTip(), QString::fromStdString(park->dir.path()));
        QVERIFY(control<QLabel>("lblParkFolder")->text().startsWith("Files in /"));
        TempDir outside;
        outside.write("new.csv", kSitesB);
        outside.write("a.csv", kSitesC);
        const std::string replace = "The park's folder already holds a file named a.csv. Replace it with the one from " +
                                    outside.path() + "?";
        auto parkFile = [&](const char *name) { return park->dir.read(name); };

        // No keeps the park's a.csv; the new file is listed at once.
        park->prompter.fileChoices = {{outside.file("new.csv"), outside.file("a.csv")}};
        park->prompter.answers = {Answer::No};
        click("cmdAddFiles");
        QCOMPARE(park->said().mid(park->said().size() - 2),
                 (QStringList{"Add Files to the Park's Folder|" + QDir::homePath(), QString::fromStdString(replace)}));
        QCOMPARE(parkFile("a.csv"), kSitesA);
        QCOMPARE(parkFile("new.csv"), kSitesB);
        QVERIFY(!files()->findItems("new.csv", Qt::MatchExactly).isEmpty());

        // The next dialog opens where the files came from; Yes replaces; a vanished file is said.
        park->prompter.fileChoices = {{outside.file("a.csv"), outside.file("gone.csv")}};
        park->prompter.answers = {Answer::Yes};
        click("cmdAddFiles");
        QCOMPARE(park->said().mid(park->said().size() - 3),
                 (QStringList{"Add Files to the Park's Folder|" + QString::fromStdString(outside.path()),
                              QString::fromStdString(replace),
                              "gone.csv could not be copied into the park's folder: No such file or directory."}));
        QCOMPARE(parkFile("a.csv"), kSitesC);
        // A file chosen from the park's own folder is already there: nothing is asked or copied.
        park->prompter.fileChoices = {{park->dir.file("b.csv")}};
        const qsizetype asked = park->said().size();
        click("cmdAddFiles");
        QCOMPARE(park->said().size(), asked + 1);
        QCOMPARE(parkFile("b.csv"), kSitesB);
        // Nothing half-copied is left behind.
        for (const auto &entry : std::filesystem::directory_iterator(park->dir.path()))
            QVERIFY2(entry.path().filename().string().front() != '.', qPrintable(entry.path().c_str()));

        // A file another program puts in the folder is listed without a click, the selection kept.
        clickEntry(files(), "b.csv");
        park->dir.write("arrived.txt", "\"Item\"\r\n");
        QTRY_VERIFY(!files()->findItems("arrived.txt", Qt::MatchExactly).isEmpty());
        QCOMPARE(files()->selectedItems().size(), 1);
        QCOMPARE(files()->selectedItems().front()->text(), QString("b.csv"));
    }

    void badInputGetsASentence_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("deleted before import") << "gone.csv"
                                               << "\"Site\"\r\n1\r\n"
                                               << "delete"
                                               << "could not be found";
        QTest::newRow("not a workbook") << "fake.xls"
                                        << "just text"
                                        << ""
                                        << "";
        QTest::newRow("empty file") << "empty.csv"
                                    << ""
                                    << ""
                                    << "";
        QTest::newRow("no title line") << "untitled.csv"
                                       << "\r\n1,2\r\n"
                                       << ""
                                       << "";
        QTest::newRow("park folder removed") << "c.csv"
                                             << "\"Site\"\r\n1\r\n"
                                             << "folder"
                                             << "no longer exists";
        QTest::newRow("park locked") << "d.csv"
                                     << "\"Site\"\r\n1\r\n"
                                     << "lock"
                                     << "in use by another program";
    }
    void badInputGetsASentence() {
        QFETCH(QString, file);
        QFETCH(QString, content);
        QFETCH(QString, damage);
        QFETCH(QString, expected);
        park->dir.write(file.toStdString(), content.toStdString());
        refresh();
        park->prompter.answers = {Answer::Cancel, Answer::Yes, Answer::Cancel};
        clickEntry(files(), file);
        QVERIFY(!park->prompter.shown.empty() || damage != "");
        if (damage.isEmpty())
            return; // reading the titles said why the file cannot be used; nothing else to do
        choose("FileField_1", "Site");
        sqlite3 *locker = nullptr;
        if (damage == "delete")
            std::remove(park->dir.file(file.toStdString()).c_str());
        if (damage == "folder")
            std::filesystem::remove_all(park->dir.path());
        std::optional<jet::WriterLock> jetLocker;
        if (damage == "lock" && ParkFormatUnderTest() == ParkFormat::Jet)
            jetLocker.emplace(park->dir.file("Park.MDB"));
        else if (damage == "lock") {
            sqlite3_open(park->dir.file("Park.MDB").c_str(), &locker);
            sqlite3_exec(locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        }
        park->prompter.shown.clear();
        park->prompter.answers = {Answer::No};
        click("Command1");
        if (locker)
            sqlite3_close(locker);
        jetLocker.reset();
        const QString said = park->said().join("\n");
        QVERIFY2(said.contains(expected), qPrintable(said));
        QVERIFY(window->isEnabled());
        QVERIFY(!park->progress.isVisible());
    }

    void theStartUpNamesAnInterruptedImportAndRestoresOnYes() {
        clickEntry(files(), "a.csv");
        choose("FileField_1", "Site");
        park->prompter.answers = {Answer::Yes};
        click("Command1");
        const std::string backup = park->dir.file("Park_AddSites_12-04-2026 09 05.MDB");
        // As a power cut in a second import leaves it.
        LeaveKilledImportMarker(park->session, {"Sites", "c.csv", backup, "12-04-2026 09 05", 2});
        park->prompter.shown.clear();
        park->prompter.answers = {Answer::Yes, Answer::No};
        ShowMainWindow(park->navigator);
        QCOMPARE(
            park->said().first(),
            QString::fromStdString("The import of c.csv into Sites that started 12-04-2026 09 05 was interrupted: 0 "
                                   "of its rows are in the table.\r\nDo you want to put back the backup taken "
                                   "before it, " +
                                   backup + "?"));
        QCOMPARE(park->said().last(), QString("We are making an Initial BackUp of the Halvane DataBase before you make "
                                              "any changes 12-04-2026 09 05 ?"));
        QCOMPARE(park->count("Sites"), 0L); // the backup from before the imports
    }

    void matchTitlesMarksItsChoicesAndASavedMappingIsOffered() {
        clickEntry(files(), "a.csv");
        click("cmdMatch_0");
        QCOMPARE(park->said().last(), QString("Match Titles matched 2 columns."));
        QCOMPARE(control<QComboBox>("FileField_1")->currentText(), QString("Site"));
        QCOMPARE(control<QComboBox>("FileField_3")->currentText(), QString("Len"));
        QVERIFY(control<QComboBox>("FileField_1")->property("matched").toBool());
        choose("FileField_1", "Len");
        QVERIFY(!control<QComboBox>("FileField_1")->property("matched").toBool());
        choose("FileField_1", "Site");

        park->prompter.inputs = {std::string("north")};
        click("cmdSaveMapping_0");
        QVERIFY(park->dir.exists("north.mapping.json"));
        QCOMPARE(park->said().last(),
                 QString::fromStdString("The mapping was saved as " + park->dir.file("north.mapping.json") + "."));

        // The same titles again: the mapping is offered and put back.
        park->prompter.shown.clear();
        park->prompter.answers = {Answer::Yes};
        clickEntry(files(), "c.csv");
        QCOMPARE(park->said(),
                 QStringList{"The titles of c.csv are those of the saved mapping north.mapping.json. Do you "
                             "want to use it?"});
        QCOMPARE(control<QComboBox>("FileField_1")->currentText(), QString("Site"));
        QCOMPARE(control<QComboBox>("FileField_3")->currentText(), QString("Len"));
        // Other titles: nothing is offered.
        park->prompter.shown.clear();
        clickEntry(files(), "b.csv");
        QVERIFY(park->said().isEmpty());
    }

    void checkFileShowsTheReportAndStoresNothing() {
        park->dir.write("bad.csv", "\"Site\"\r\n1\r\nten\r\n3\r\n");
        refresh();
        clickEntry(files(), "bad.csv");
        choose("FileField_1", "Site");
        park->prompter.shown.clear();
        click("cmdCheck_0");
        QVERIFY(park->said().isEmpty());
        QWidget *report = window->findChild<QWidget *>("frmCheckReport");
        QVERIFY(report && report->isVisible());
        auto *table = report->findChild<QTableWidget *>("ReportTable");
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 3)->text(), QString("ten"));
        QCOMPARE(report->findChild<QLabel *>("Totals")->text(),
                 QString("3 data lines read, 2 rows would be stored, 1 refused, 0 values shortened."));
        QCOMPARE(park->count("Sites"), 0L);
    }

    void closingReturnsToTheMainWindow() {
        auto *main = park->navigator.window(WindowId::Main);
        QVERIFY(!main->isVisible());
        window->close();
        QVERIFY(main->isVisible());
        QCOMPARE(park->session.Navigating, short(0));
        QVERIFY(park->navigator.existing(WindowId::Import) == nullptr ||
                !park->navigator.existing(WindowId::Import)->isVisible());
    }

    void navigationButtonsShowOnlyTheTarget() {
        auto *main = park->navigator.window(WindowId::Main);
        main->hide();
        click("Command9");
        QVERIFY(main->isVisible());
        QVERIFY(!window->isVisible());
        QCOMPARE(park->session.Navigating, short(0));
        QTRY_VERIFY(park->navigator.existing(WindowId::Import) == nullptr);

        // The main window's button hides it and makes the import window anew.
        QTest::mouseClick(main->findChild<QPushButton *>("Command3"), Qt::LeftButton);
        QVERIFY(!main->isVisible());
        QWidget *again = park->navigator.existing(WindowId::Import);
        QVERIFY(again && again->isVisible());
        QVERIFY(again->findChild<QRadioButton *>("Option1_0")->isChecked());
    }

private:
    void refresh() { window->refreshFileList(); }
};

QTEST_MAIN(ImportWindowTest)
#include "ImportWindowTest.moc"
