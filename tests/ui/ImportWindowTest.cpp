// The import window driven as the operator drives it, on a laptop's screen: clicks on its file
// list, panels and buttons, on real files in a temporary park, every message answered and checked,
// the small windows it opens placed over it, and the park's tables checked afterwards.
#include "db/ParkFileLock.h"
#include "import/ui/frmReadEcel.h"
#include "support/DesktopPark.h"
#include "support/OffscreenScreen.h"

#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <filesystem>

using namespace tarnwick;

const std::string kSitesA = "\"Site\",\"Len\"\r\n1,40\r\n2,45\r\n";
const std::string kSitesB = "\"Number\",\"Amps\",\"Rate\"\r\n7,30,20\r\n8,50,25\r\n9,50,30\r\n";
// Titles as in kSitesA: files imported together are matched against the titles read last.
const std::string kSitesC = "\"Site\",\"Len\"\r\n7,30\r\n8,50\r\n9,50\r\n";
// The third data line (line 4 of the file) holds a length the column refuses.
const std::string kRefused = "\"Site\",\"Len\",\"Rate\"\r\n1,40,20\r\n2,45,22.5\r\n3,fifty,25\r\n4,50,30\r\n";

// The texts of a row of `table`, or of its titles for row -1.
static QStringList rowTexts(QTableWidget *table, int row) {
    QStringList out;
    for (int c = 0; c < table->columnCount(); ++c) {
        const QTableWidgetItem *item = row < 0 ? table->horizontalHeaderItem(c) : table->item(row, c);
        out << (item ? item->text() : QString());
    }
    return out;
}

class ImportWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DesktopPark> park;
    frmReadEcel *window = nullptr;

    QListWidget *files() { return control<QListWidget>(window, "File1"); }
    void pick(const QString &file, Qt::KeyboardModifiers keys = {}) { clickEntry(window, "File1", file, keys); }
    QStringList offered(const QString &dropDown) { return entries(control<QComboBox>(window, dropDown)); }
    QString status() { return shows(window, {"lblReadStatus"}).front(); }

private Q_SLOTS:
    void init() {
        park = std::make_unique<DesktopPark>();
        for (const auto &[name, text] : {std::pair{"a.csv", kSitesA},
                                         {"b.csv", kSitesB},
                                         {"c.csv", kSitesC},
                                         {"sites.csv", kRefused},
                                         {"notes.dat", std::string()}})
            park->dir.write(name, text);
        window = park->show<frmReadEcel>(WindowId::Import);
        window->move(40, 30);
    }
    void cleanup() { park.reset(); }

    // The file list offers the park folder's sources. Each panel's drop-downs take the titles of the
    // files selected for it; a table switch shows only its panel, keeps the others' titles and says
    // how to fill the new panel; a click on the file selected reads it again, and the status line
    // says which delimiter its lines look split by; a file the reading repairs is listed at once.
    // Return to Site Types shows only the main window and unloads this one; the main window's button
    // makes it anew, with its defaults.
    void panelsFillFromTheSelectedFilesAndTheWayBackToTheMainWindow() {
        QCOMPARE(entries(files()), (QStringList{"a.csv", "b.csv", "c.csv", "sites.csv"}));
        pick("a.csv");
        QCOMPARE(offered("FileField_18"), (QStringList{"Site", "Len"}));
        choose(window, {{"FileField_3", "Len"}});
        click(window, "Option1_1");
        QCOMPARE(offered("FileField2_1"), QStringList());
        QCOMPARE(status(), QString("Click a.csv again to read its titles for Guest Data"));
        click(window, "Option1_0");
        QCOMPARE(shows(window, {"FileField_1", "FileField_3", "lblReadStatus"}),
                 (QStringList{"", "Len", "a.csv: 2 titles"}));

        pick("b.csv", Qt::ControlModifier);
        QCOMPARE(offered("FileField_3"), (QStringList{"Site", "Len", "Number", "Amps", "Rate"}));
        click(window, "Option1_2");
        QVERIFY(control<QWidget>(window, "frmImport_2")->isVisible());
        QVERIFY(!control<QWidget>(window, "frmImport_0")->isVisible());
        QCOMPARE(status(), QString("Click a.csv and b.csv again to read their titles for POS Items"));
        pick("b.csv");
        QCOMPARE(offered("FileField3_1"), (QStringList{"Number", "Amps", "Rate"}));
        QCOMPARE(offered("FileField_1").size(), 5);

        // Read again, as the file now is: titles separated by commas, data by semicolons.
        park->dir.write("b.csv", "\"Number\",\"Length\"\r\n1;40\r\n");
        choose(window, {{"FileField3_1", "Rate"}});
        pick("b.csv");
        QCOMPARE(offered("FileField3_1"), (QStringList{"Number", "Length"}));
        QCOMPARE(shows(window, {"FileField3_1", "lblReadStatus"}),
                 (QStringList{"", "b.csv: 2 titles. The titles look separated by commas but the data by semicolons: "
                                  "choose Semicolon"}));
        QVERIFY(park->prompter.shown.empty());

        park->dir.write("plain.csv", "Site,Len\r\n1,2\r\n");
        window->refreshFileList();
        park->prompter.answers = {Answer::OK};
        pick("plain.csv");
        pick("plain New.CSV");
        QCOMPARE(offered("FileField3_1"), (QStringList{"Site", "Len"}));

        QWidget *main = park->navigator.window(WindowId::Main);
        click(window, "Command9");
        QVERIFY(main->isVisible());
        QCOMPARE(park->session.Navigating, short(0));
        QTRY_VERIFY(park->navigator.existing(WindowId::Import) == nullptr);
        click(main, "Command3");
        QWidget *again = park->shown(WindowId::Import);
        for (const char *option : {"Option1_0", "Option2_0", "Option3_1"})
            QVERIFY2(control<QRadioButton>(again, option)->isChecked(), option);
        QVERIFY(control<QWidget>(again, "frmImport_0")->isVisible());
        QVERIFY(!control<QWidget>(again, "frmImport_2")->isVisible());
    }

    // Match Titles marks its choices until one is changed, and they are saved as a mapping. A park
    // another program is writing to: the import says so, and the window is left usable. Then each file
    // selected is imported and summed up with the Progress window hidden; each purge button asks for
    // its own table, and No keeps it.
    void matchedChoicesAreSavedAndTheFilesImportedAndPurgeAsksFirst() {
        pick("a.csv");
        QCOMPARE(clickSays(*park, window, "cmdMatch_0"), QStringList{"Match Titles matched 2 columns."});
        QCOMPARE(shows(window, {"FileField_1", "FileField_3"}), (QStringList{"Site", "Len"}));
        auto *site = control<QComboBox>(window, "FileField_1");
        QVERIFY(site->property("matched").toBool());
        choose(window, {{"FileField_1", "Len"}});
        QVERIFY(!site->property("matched").toBool());
        choose(window, {{"FileField_1", "Site"}});
        park->prompter.inputs = {std::string("north")};
        QCOMPARE(clickSays(*park, window, "cmdSaveMapping_0").last(),
                 QString::fromStdString("The mapping was saved as " + park->dir.file("north.mapping.json") + "."));

        std::optional<ParkFileLock> elsewhere(std::in_place, park->dir.file("Park.MDB"));
        QCOMPARE(clickSays(*park, window, "Command1", {Answer::No}).last(),
                 QString::fromStdString("Nothing was imported into Sites: -2147467259: " + park->dir.file("Park.MDB") +
                                        " is in use by another program, so nothing can be written to it."));
        elsewhere.reset();
        QVERIFY(window->isEnabled() && !park->progress.isVisible());

        pick("c.csv", Qt::ControlModifier);
        choose(window, {{"FileField_1", "Site"}, {"FileField_3", "Len"}});
        // How the Progress window stands at each summary and each row's error.
        QStringList progress;
        park->prompter.onShow = [&](const Shown &s) {
            if (s.text.find(" Successfully Imported") != std::string::npos || s.text.rfind("Error on Line", 0) == 0)
                progress << (park->progress.isVisible() ? "over: " + placement(&park->progress, window) : "hidden");
        };
        park->prompter.answers = {Answer::Yes, Answer::No};
        click(window, "Command1");
        QCOMPARE(park->said().filter("Successfully"),
                 (QStringList{"2 of 2 Sites Successfully Imported", "3 of 3 Sites Successfully Imported"}));
        QCOMPARE(progress, (QStringList{"hidden", "hidden"}));
        QCOMPARE(park->column("Sites", "Number"), (QStringList{"1", "2", "7", "8", "9"}));
        QCOMPARE(park->column("Sites", "Length"), (QStringList{"40", "45", "30", "50", "50"}));
        QVERIFY(window->isEnabled());

        for (const auto &[button, table] : {std::pair{"Command4", "Sites"}, std::pair{"Command5", "Guests"},
                                            std::pair{"Command7", "Other Charges"}}) {
            const QStringList said = clickSays(*park, window, button, {Answer::No});
            QVERIFY2(said.size() == 1 && said[0].contains(QString(" ALL %1 from").arg(table)),
                     qPrintable(said.join("|")));
        }
        QCOMPARE(park->column("Sites", "ID").size(), 5);

        // A long import moves the Progress window's bar while it is painted; a row's error is asked
        // with the Progress window standing over the import window, and No stops the import there.
        std::string csv = "\"Site\",\"Len\"\r\n";
        for (int i = 1; i <= 60000; ++i)
            csv += std::to_string(i) + (i == 59000 ? ",fifty\r\n" : ",40\r\n");
        park->dir.write("long.csv", csv);
        window->refreshFileList();
        // The saved mapping is offered for its titles, and taken.
        park->prompter.expect({Answer::Yes, Answer::No, Answer::No});
        pick("long.csv");
        QCOMPARE(park->said(), QStringList{"The titles of long.csv are those of the saved mapping north.mapping.json. "
                                           "Do you want to use it?"});
        BarWatch watch(park->progress);
        click(window, "Command1");
        QCOMPARE(watch.bar->maximum(), 60000);
        QVERIFY2(watch.seen.size() >= 2, qPrintable(QString::number(watch.seen.size())));
        QCOMPARE(progress.mid(2), QStringList{"over: "});
        QVERIFY(!park->progress.isVisible());
        QCOMPARE(park->column("Sites", "ID").size(), 5 + 58999);
    }

    void filesAreBroughtIntoTheNamedParkFolderAndListedWhenTheyArrive() {
        QCOMPARE(control<QLabel>(window, "lblParkFolder")->toolTip(), QString::fromStdString(park->dir.path()));
        QVERIFY(control<QLabel>(window, "lblParkFolder")->text().startsWith("Files in /"));
        TempDir outside;
        outside.write("new.csv", kSitesB);
        outside.write("a.csv", kSitesC);
        const QString replace = QString::fromStdString("The park's folder already holds a file named a.csv. Replace "
                                                       "it with the one from " +
                                                       outside.path() + "?");
        // No keeps the park's a.csv; the new file is listed at once.
        park->prompter.fileChoices = {{outside.file("new.csv"), outside.file("a.csv")}};
        QCOMPARE(clickSays(*park, window, "cmdAddFiles", {Answer::No}),
                 (QStringList{"Add Files to the Park's Folder|" + QDir::homePath(), replace}));
        QCOMPARE(park->dir.read("a.csv"), kSitesA);
        QCOMPARE(park->dir.read("new.csv"), kSitesB);
        QVERIFY(entries(files()).contains("new.csv"));

        // The next dialog opens where the files came from; Yes replaces; a vanished file is said.
        park->prompter.fileChoices = {{outside.file("a.csv"), outside.file("gone.csv")}};
        QCOMPARE(clickSays(*park, window, "cmdAddFiles", {Answer::Yes}),
                 (QStringList{"Add Files to the Park's Folder|" + QString::fromStdString(outside.path()), replace,
                              "gone.csv could not be copied into the park's folder: No such file or "
                              "directory."}));
        QCOMPARE(park->dir.read("a.csv"), kSitesC);
        // A file chosen from the park's own folder is already there: nothing is asked or copied.
        park->prompter.fileChoices = {{park->dir.file("b.csv")}};
        QCOMPARE(clickSays(*park, window, "cmdAddFiles").size(), 1);
        // Nothing half-copied is left behind.
        for (const auto &entry : std::filesystem::directory_iterator(park->dir.path()))
            QVERIFY2(entry.path().filename().string().front() != '.', qPrintable(entry.path().c_str()));

        // A file another program puts in the folder is listed without a click, the selection kept.
        pick("b.csv");
        park->dir.write("arrived.txt", "\"Item\"\r\n");
        QTRY_VERIFY(entries(files()).contains("arrived.txt"));
        QCOMPARE(files()->selectedItems().size(), 1);
        QCOMPARE(files()->selectedItems().front()->text(), QString("b.csv"));
    }

    // The check report opens over the window with the problems, the rows as the import would store
    // them and the totals; Escape closes it; nothing is stored.
    void checkFileShowsTheReportOverTheWindow() {
        QCOMPARE(clickSays(*park, window, "cmdCheck_0"),
                 QStringList{"No file is selected: click the file to check in the list of step 2 first."});
        QVERIFY(window->findChild<QWidget *>("frmCheckReport") == nullptr);

        pick("sites.csv");
        choose(window, {{"FileField_1", "Site"}, {"FileField_3", "Len"}, {"FileField_10", "Rate"}});
        QCOMPARE(clickSays(*park, window, "cmdCheck_0"), QStringList());
        auto *report = control<QWidget>(window, "frmCheckReport");
        QVERIFY(report->isVisible());
        QCOMPARE(placement(report, window), QString());
        QCOMPARE(rowTexts(control<QTableWidget>(report, "ReportTable"), 0).mid(0, 4),
                 (QStringList{"sites.csv", "4", "Length", "fifty"}));
        auto *preview = control<QTableWidget>(report, "PreviewTable");
        QCOMPARE(rowTexts(preview, -1), (QStringList{"File", "Line", "Number", "Length", "Daily"}));
        QCOMPARE(rowTexts(preview, 1), (QStringList{"sites.csv", "3", "2", "45", "22.5"}));
        // The refused row: the values set before the refusal, the refused one marked with its reason.
        QCOMPARE(rowTexts(preview, 2), (QStringList{"sites.csv", "4", "3", "fifty", ""}));
        QVERIFY(preview->item(2, 3)->data(Qt::UserRole).toBool());
        QVERIFY(!preview->item(1, 3)->data(Qt::UserRole).toBool());
        QVERIFY2(preview->item(2, 3)->toolTip().startsWith("Length cannot take 'fifty'"),
                 qPrintable(preview->item(2, 3)->toolTip()));
        QCOMPARE(shows(report, {"Totals"}),
                 QStringList{"4 data lines read, 3 rows would be stored, 1 refused, 0 values shortened."});
        pressEscape(report);
        QVERIFY(!report->isVisible());
        QVERIFY(park->column("Sites", "ID").isEmpty());
    }
};

int main(int argc, char **argv) {
    return RunOnScreen<ImportWindowTest>(argc, argv, 1366, 768);
}

#include "ImportWindowTest.moc"
