// One side of the window benchmark: imports a guest file of the park folder through the import
// window, offscreen, as the operator would: Guest Data, a click on the file, every guest slot
// matched to its title, Import, no backup. The other side is the same import by tarnwick-cli.
#include "BenchPrompter.h"
#include "DesktopHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <iostream>

using namespace tarnwick;

namespace {

const char *const kTitles[] = {"First", "Last",   "Street", "Unit",    "Town",  "State", "Zip",    "Phone", "Mobile",
                               "Email", "Arrive", "Depart", "Vehicle", "Plate", "DL",    "People", "Pets",  "Notes"};

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " PARK FILE" << std::endl;
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    BenchPrompter prompter;
    DesktopHarness desktop(prompter, argv[1]);
    Navigator &navigator = desktop.navigator;
    QWidget *window = navigator.window(WindowId::Import);
    window->show();

    window->findChild<QRadioButton *>("Option1_1")->setChecked(true);
    auto *files = window->findChild<QListWidget *>("File1");
    const QList<QListWidgetItem *> found = files->findItems(argv[2], Qt::MatchExactly);
    if (found.isEmpty()) {
        std::cerr << argv[2] << " is not listed" << std::endl;
        return 1;
    }
    found.first()->setSelected(true);
    for (int k = 1; k <= 18; ++k)
        window->findChild<QComboBox *>(QString("FileField2_%1").arg(k))->setCurrentText(kTitles[k - 1]);
    window->findChild<QPushButton *>("Command2")->click();
    std::cout << prompter.last << std::endl;
    return prompter.last.find("Guests Successfully Imported") == std::string::npos ? 1 : 0;
}
