#include "app/ui/Screenshots.h"

#include "app/HelpFile.h"
#include "app/SiteTypes.h"
#include "app/Startup.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"
#include "app/ui/frmDataImport1.h"
#include "db/Maintenance.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"
#include "db/VbNumber.h"
#include "import/ui/frmSheets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <fstream>
#include <iostream>

namespace tarnwick {
namespace {

bool save(QWidget *window, const QString &folder) {
    window->show();
    QApplication::processEvents();
    const QString path = folder + "/" + window->objectName() + ".png";
    if (window->grab().save(path))
        return true;
    std::cerr << "Could not write " << path.toStdString() << std::endl;
    return false;
}

// Nobody is there to answer while the windows are drawn: messages go to stderr, questions get No.
class QuietPrompter : public Prompter {
public:
    void notify(const std::string &text, Icon) override { std::cerr << text << std::endl; }
    Answer ask(const std::string &text, Buttons buttons, Icon) override {
        std::cerr << text << std::endl;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    std::optional<std::string> input(const std::string &, const std::string &) override { return std::nullopt; }
};

// A few site types, sites and guests, so that the editors show rows.
void fillDemoPark(Session &session) {
    SiteTypeBoxes types;
    types[1] = "Tent";
    types[2] = "Rv";
    types[3] = "Cabin";
    SaveSiteTypes(session, types);
    Recordset sites;
    sites.Open("SELECT * FROM Sites", *session.ParkConnection, adOpenStatic, adLockOptimistic);
    for (int i = 1; i <= 12; ++i) {
        sites.AddNew();
        sites.Fields("Number") = Value::number(i);
        sites.Fields("AliasNumber") = Value(FormatMinDigits(std::to_string(i), 3));
        sites.Fields("Length") = Value::number(30 + i);
        sites.Fields("Width") = Value::number(12);
        sites.Fields("ElectricAmp") = Value::number(i % 2 ? 30 : 50);
        sites.Fields("Water") = Value::boolean(true);
        sites.Fields(i % 3 ? "Camper" : "Tent") = Value::boolean(true);
        sites.Fields("Daily") = Value::number(35);
        sites.Update();
    }
    Recordset guests;
    guests.Open("SELECT * FROM Guest", *session.ParkConnection, adOpenStatic, adLockOptimistic);
    const char *const names[] = {"Garcia, Maria", "Smith, John", "Nguyen, Li", "O'Neil, Pat"};
    for (int i = 0; i < 4; ++i) {
        guests.AddNew();
        guests.Fields("Name") = Value(names[i]);
        guests.Fields("City") = Value("Springfield");
        guests.Fields("State") = Value("TX");
        guests.Fields("Arrival") = Value("6/" + std::to_string(i + 1) + "/2024");
        guests.Fields("Site") = Value(FormatMinDigits(std::to_string(i + 3), 3));
        guests.Update();
    }
}

void writeDemoSource(const std::string &folder) {
    std::ofstream sites(folder + "/sites.csv", std::ios::binary);
    sites << "\"Site\",\"Alias\",\"Length\",\"Width\",\"Water\",\"Sewer\",\"Amps\",\"Daily\",\"Weekly\","
             "\"Monthly\"\r\n1,A1,40,12,Yes,Yes,50,35.00,210,650\r\n2,A2,forty,12,No,No,30,35.00,210,650\r\n"
             "3,A3,45,12,Yes,No,30,35.00,210,650,late\r\n";
}

} // namespace

int WriteScreenshots(const std::string &folder) {
    const QString out = QString::fromStdString(folder);
    if (!QDir().mkpath(out)) {
        std::cerr << "Could not make the folder " << folder << std::endl;
        return 1;
    }
    QTemporaryDir park;
    CreateParkDatabase(park.path().toStdString());
    writeDemoSource(park.path().toStdString());

    QuietPrompter prompter;
    Progress progress;
    SystemClock clock;
    Session session(prompter, progress, clock);
    session.AppFolder = session.DbFolder = park.path().toStdString();
    CreateRVCon(session);
    InstallHelpFile(ExecutableFolder(), session.DbFolder);
    fillDemoPark(session);
    Navigator navigator(session);
    DefineWindows(navigator);

    bool ok = true;
    auto *main = static_cast<frmDataImport1 *>(navigator.window(WindowId::Main));
    main->LoadSiteTypes();
    ok &= save(main, out);
    CopyParkAs(session, "AddSites");
    main->findChild<QAction *>("mnuRestore")->trigger();
    if (auto *backups = main->findChild<QWidget *>("frmBackups")) {
        ok &= save(backups, out);
        backups->close();
    }

    QWidget *import = navigator.window(WindowId::Import);
    import->findChild<QListWidget *>("File1")->item(0)->setSelected(true);
    // The titles matched by the panel's button, marked until changed.
    import->findChild<QPushButton *>("cmdMatch_0")->click();
    ok &= save(import, out);
    import->findChild<QPushButton *>("cmdCheck_0")->click();
    if (auto *report = import->findChild<QWidget *>("frmCheckReport")) {
        ok &= save(report, out);
        report->close();
    }

    for (WindowId editor : {WindowId::SiteEditor, WindowId::GuestEditor}) {
        QWidget *window = navigator.window(editor);
        // The first row picked into the editor, as a click on its ID cell does.
        auto *grid = window->findChild<QTableView *>("MSFlexGrid1");
        window->show();
        QApplication::processEvents();
        QWidget *ids = grid->verticalHeader()->viewport();
        const QPoint at(4, 4);
        QMouseEvent press(QEvent::MouseButtonPress, at, ids->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(ids, &press);
        ok &= save(window, out);
    }

    // An old database of the park's own kind beside it, listed, with the field list of a table.
    const std::string old = park.path().toStdString() + "/old";
    CreateParkDatabase(old);
    QFile::rename(QString::fromStdString(old + "/Park.MDB"), park.path() + "/Old Park.mdb");
    QWidget *exporter = navigator.window(WindowId::Export);
    exporter->show();
    auto *databases = exporter->findChild<QListWidget *>("File1");
    databases->item(0)->setSelected(true);
    Q_EMIT databases->itemActivated(databases->item(0));
    QWidget *guestBox = exporter->findChild<QWidget *>("MyTable_2");
    QMouseEvent rightPress(QEvent::MouseButtonPress, QPointF(4, 4), guestBox->mapToGlobal(QPointF(4, 4)),
                           Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(guestBox, &rightPress);
    ok &= save(exporter, out);
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmFields")
            ok &= save(w, out);

    navigator.showHelp(130);
    if (QWidget *help = navigator.helpWindow())
        ok &= save(help, out);

    frmSheets &sheets = navigator.sheetPicker();
    sheets.list({"Former Guests", "Current Guests", "Store"});
    ok &= save(&sheets, out);

    progress.show("Progress");
    progress.setRange(0, 100);
    for (int i = 0; i < 40; ++i)
        progress.advance();
    progress.close();
    ok &= save(&progress, out);
    return ok ? 0 : 1;
}

} // namespace tarnwick
