// What the import window tells the operator about the files it read: the status line under the
// file list, a click on the file already selected, a table switch, the worksheet proposed while
// its question is asked, and the check report's lines and rows as the import would store them.
#include "sheet/WorkbookWriter.h"
#include "support/ImportWindowDriver.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

using namespace tarnwick;

namespace {

// The third data line (line 4 of the file) holds a length the column refuses.
const std::string kSites = "\"Site\",\"Len\",\"Rate\"\r\n1,40,20\r\n2,45,22.5\r\n3,fifty,25\r\n4,50,30\r\n";

QStringList rowTexts(QTableWidget *table, int row) {
    QStringList out;
    for (int c = 0; c < table->columnCount(); ++c)
        out << (table->item(row, c) ? table->item(row, c)->text() : QString());
    return out;
}

QStringList headers(QTableWidget *table) {
    QStringList out;
    for (int c = 0; c < table->columnCount(); ++c)
        out << table->horizontalHeaderItem(c)->text();
    return out;
}

} // namespace

class ImportWindowReadingTest : public QObject, private ImportWindowDriver {
    Q_OBJECT

    QString status() { return control<QLabel>("lblReadStatus")->text(); }
    void writeGuestBook() {
        WorkbookWriter book("Old Guests");
        book.addSheet("Current Guests");
        for (int sheet = 0; sheet < 2; ++sheet)
            for (int c = 1; c <= 3 + sheet; ++c)
                book.setText(1, c, "T" + std::to_string(c));
        book.save(park->dir.file("guests.xls"));
    }

private Q_SLOTS:
    void init() {
        park = std::make_unique<DesktopPark>();
        park->dir.write("sites.csv", kSites);
        park->dir.write("semi.csv", "\"Site\";\"Len\";\"Rate\"\r\n1;40;20\r\n");
        park->dir.write("mixed.csv", "\"Site\",\"Len\",\"Rate\"\r\n1;40;20\r\n2;45;25\r\n");
        openWindow();
    }
    void cleanup() { closePark(); }

    void theStatusLineSaysWhatWasRead_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text file") << "sites.csv"
                                   << "Option2_0"
                                   << "sites.csv: 3 titles";
        QTest::newRow("semicolons read as comma")
            << "semi.csv"
            << "Option2_0"
            << "semi.csv: 3 titles. The titles look separated by semicolons: choose Semicolon";
        QTest::newRow("semicolons read as semicolon") << "semi.csv"
                                                      << "Option2_1"
                                                      << "semi.csv: 3 titles";
        QTest::newRow("commas read as semicolon")
            << "sites.csv"
            << "Option2_1"
            << "sites.csv: 3 titles. The titles look separated by commas: choose Comma";
        QTest::newRow("titles by commas, data by semicolons, read as comma")
            << "mixed.csv"
            << "Option2_0"
            << "mixed.csv: 3 titles. The titles look separated by commas but the data by semicolons: choose Semicolon";
        QTest::newRow("titles by commas, data by semicolons, read as semicolon")
            << "mixed.csv"
            << "Option2_1"
            << "mixed.csv: 3 titles. The titles look separated by commas but the data by semicolons";
        QTest::newRow("workbook, second sheet picked") << "guests.xls"
                                                       << "Option2_0"
                                                       << "guests.xls, sheet Current Guests: 4 titles";
    }
    void theStatusLineSaysWhatWasRead() {
        QFETCH(QString, file);
        QFETCH(QString, delimiter);
        QFETCH(QString, expected);
        writeGuestBook();
        window->refreshFileList();
        click(delimiter);
        QString proposed;
        whenVisible("frmSheets",
                    [](QWidget *picker) { clickEntry(picker->findChild<QListWidget *>("List1"), "Current Guests"); });
        // The worksheet about to be processed stands in ShtName while its question is asked.
        park->prompter.onShow = [&](const Shown &shown) {
            if (shown.text.rfind("There are 2 sheets", 0) == 0)
                proposed = control<QLineEdit>("ShtName")->text();
        };
        park->prompter.answers = {Answer::No};
        clickEntry(files(), file);
        QCOMPARE(status(), expected);
        if (file.endsWith(".xls")) {
            QCOMPARE(proposed, QString("Old Guests"));
            QCOMPARE(control<QLineEdit>("ShtName")->text(), QString("Current Guests"));
        }
    }

    void clickingTheSelectedFileReadsItAgain() {
        clickEntry(files(), "sites.csv");
        QCOMPARE(ItemsOf(control<QComboBox>("FileField_1")), (QStringList{"Site", "Len", "Rate"}));
        choose("FileField_1", "Site");
        park->dir.write("sites.csv", "\"Number\",\"Length\"\r\n1,40\r\n");
        clickEntry(files(), "sites.csv");
        QCOMPARE(ItemsOf(control<QComboBox>("FileField_1")), (QStringList{"Number", "Length"}));
        QCOMPARE(control<QComboBox>("FileField_1")->currentText(), QString());
        QCOMPARE(status(), QString("sites.csv: 2 titles"));
    }

    void aTableSwitchKeepsTheDropDownsAndSaysHowToFillTheNewPanel() {
        clickEntry(files(), "sites.csv");
        choose("FileField_3", "Len");
        click("Option1_1");
        QCOMPARE(control<QComboBox>("FileField2_1")->count(), 0);
        QCOMPARE(status(), QString("Click sites.csv again to read its titles for Guest Data"));
        click("Option1_0");
        QCOMPARE(control<QComboBox>("FileField_3")->currentText(), QString("Len"));
        QCOMPARE(status(), QString("sites.csv: 3 titles"));

        clickEntry(files(), "semi.csv", Qt::ControlModifier);
        click("Option1_2");
        QCOMPARE(status(), QString("Click semi.csv and sites.csv again to read their titles for POS Items"));
        clickEntry(files(), "sites.csv");
        QCOMPARE(ItemsOf(control<QComboBox>("FileField3_1")), (QStringList{"Site", "Len", "Rate"}));
        QVERIFY(park->prompter.shown.empty());
    }

    void checkFileNamesTheFilesLinesAndPreviewsTheRows() {
        clickEntry(files(), "sites.csv");
        choose("FileField_1", "Site");
        choose("FileField_3", "Len");
        choose("FileField_10", "Rate");
        click("cmdCheck_0");
        QVERIFY(park->prompter.shown.empty());
        auto *report = window->findChild<QWidget *>("frmCheckReport");
        QVERIFY(report && report->isVisible());
        auto *problems = report->findChild<QTableWidget *>("ReportTable");
        QCOMPARE(problems->rowCount(), 1);
        QCOMPARE(rowTexts(problems, 0).mid(0, 4), (QStringList{"sites.csv", "4", "Length", "fifty"}));

        auto *preview = report->findChild<QTableWidget *>("PreviewTable");
        QCOMPARE(headers(preview), (QStringList{"File", "Line", "Number", "Length", "Daily"}));
        QCOMPARE(preview->rowCount(), 4);
        QCOMPARE(rowTexts(preview, 1), (QStringList{"sites.csv", "3", "2", "45", "22.5"}));
        // The refused row: the values set before the refusal, the refused one marked with its reason.
        QCOMPARE(rowTexts(preview, 2), (QStringList{"sites.csv", "4", "3", "fifty", ""}));
        QTableWidgetItem *refused = preview->item(2, 3);
        QVERIFY(refused->data(Qt::UserRole).toBool());
        QVERIFY2(refused->toolTip().startsWith("Length cannot take 'fifty'"), qPrintable(refused->toolTip()));
        QVERIFY(!preview->item(1, 3)->data(Qt::UserRole).toBool());
        QCOMPARE(report->findChild<QLabel *>("Totals")->text(),
                 QString("4 data lines read, 3 rows would be stored, 1 refused, 0 values shortened."));

        // The real import keeps the refused line with the same line number.
        park->prompter.standing = {{"Error on Line", Answer::Yes}, {"We are making", Answer::No}};
        click("Command1");
        QCOMPARE(park->said().last(),
                 QString::fromStdString("1 row that was not imported is in " + park->dir.file("sites rejected.csv") +
                                        ": fix it there, then import that file with the same "
                                        "mapping."));
        QCOMPARE(QString::fromStdString(park->dir.read("sites rejected.csv")),
                 QString("\"Site\",\"Len\",\"Rate\",\"Line\",\"Reason\"\r\n3,fifty,25,4,\"Length cannot take 'fifty': "
                         "it is not a number\"\r\n"));
    }

    void theTotalsSpeakOfOneInTheSingular() {
        park->dir.write("one.csv", "\"Site\",\"Name\"\r\n1,x\r\n");
        window->refreshFileList();
        click("Option1_2");
        clickEntry(files(), "one.csv");
        choose("FileField3_6", "Name");
        park->dir.write("one.csv", "\"Site\",\"Name\"\r\n1," + std::string(40, 'x') + "\r\n");
        click("cmdCheck_2");
        auto *report = window->findChild<QWidget *>("frmCheckReport");
        QCOMPARE(report->findChild<QLabel *>("Totals")->text(),
                 QString("1 data line read, 1 row would be stored, 0 refused, 1 value shortened."));
    }

    void checkFileWithNoFileSelectedSaysSo() {
        click("cmdCheck_0");
        QCOMPARE(park->said(),
                 QStringList{"No file is selected: click the file to check in the list of step 2 first."});
        QVERIFY(window->findChild<QWidget *>("frmCheckReport") == nullptr);
    }
};

QTEST_MAIN(ImportWindowReadingTest)
#include "ImportWindowReadingTest.moc"
