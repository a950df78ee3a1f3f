#include "app/ui/Screenshots.h"

#include "app/Startup.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/frmDataImport1.h"
#include "db/ParkSchema.h"
#include "import/ui/frmSheets.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
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

void writeDemoSource(const std::string &folder) {
    std::ofstream sites(folder + "/sites.csv", std::ios::binary);
    sites << "\"Site\",\"Alias\",\"Length\",\"Width\",\"Water\",\"Sewer\",\"Amps\",\"Daily\",\"Weekly\","
             "\"Monthly\"\r\n1,A1,40,12,Yes,Yes,50,35.00,210,650\r\n";
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

    QtPrompter prompter;
    Progress progress;
    SystemClock clock;
    Session session(prompter, progress, clock);
    session.AppFolder = session.DbFolder = park.path().toStdString();
    CreateRVCon(session);
    Navigator navigator(session);
    DefineWindows(navigator);

    bool ok = true;
    auto *main = static_cast<frmDataImport1 *>(navigator.window(WindowId::Main));
    main->LoadSiteTypes();
    ok &= save(main, out);

    QWidget *import = navigator.window(WindowId::Import);
    import->findChild<QListWidget *>("File1")->item(0)->setSelected(true);
    const char *const chosen[][2] = {{"FileField_1", "Site"}, {"FileField_2", "Alias"}, {"FileField_5", "Water"}};
    for (const auto &[name, title] : chosen)
        import->findChild<QComboBox *>(name)->setCurrentText(title);
    ok &= save(import, out);

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
