#include "app/ui/Screenshots.h"

#include "app/DemoPark.h"
#include "app/HelpFile.h"
#include "app/Maintenance.h"
#include "app/ParkChoice.h"
#include "app/Startup.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"
#include "app/ui/frmDataImport1.h"
#include "db/ParkSchema.h"
#include "import/ui/frmSheets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTemporaryFile>
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
    std::optional<std::string> chooseFolder(const std::string &, const std::string &) override { return std::nullopt; }
};

} // namespace

void UseScreenshotScreen() {
    static QTemporaryFile config(QDir::tempPath() + "/tarnwick-screen-XXXXXX.json");
    if (config.open()) {
        config.write(R"({"screens": [{"name": "Laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        config.flush();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.fileName()).toUtf8());
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

int WriteScreenshots(const std::string &folder) {
    const QString out = QString::fromStdString(folder);
    if (!QDir().mkpath(out)) {
        std::cerr << "Could not make the folder " << folder << std::endl;
        return 1;
    }
    QTemporaryDir park;
    CreateParkDatabase(park.path().toStdString());

    QuietPrompter prompter;
    Progress progress;
    SystemClock clock;
    Session session(prompter, progress, clock);
    session.AppFolder = session.DbFolder = park.path().toStdString();
    CreateRVCon(session);
    InstallHelpFile(ExecutableFolder(), session.DbFolder);
    FillDemoPark(session);
    Navigator navigator(session);
    DefineWindows(navigator);

    bool ok = true;
    auto *main = static_cast<frmDataImport1 *>(navigator.window(WindowId::Main));
    main->LoadSiteTypes();
    ok &= save(main, out);
    if (auto *park = main->findChild<QMenu *>("mnuPark")) {
        Q_EMIT park->aboutToShow();
        ok &= save(park, out);
        park->hide();
    }
    // The folder dialog of the Park menu and of an installed program's first start.
    QFileDialog folders(nullptr, kChooseParkTitle, park.path());
    folders.setObjectName("ChooseParkFolder");
    folders.setFileMode(QFileDialog::Directory);
    folders.setOption(QFileDialog::ShowDirsOnly);
    ok &= save(&folders, out);
    folders.hide();
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
    // Taken before the field list opens, which disables the window behind it.
    ok &= save(exporter, out);
    QWidget *guestBox = exporter->findChild<QWidget *>("MyTable_2");
    QMouseEvent rightPress(QEvent::MouseButtonPress, QPointF(4, 4), guestBox->mapToGlobal(QPointF(4, 4)),
                           Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(guestBox, &rightPress);
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
