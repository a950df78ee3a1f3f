// One side of the editor benchmark: opens the site or guest window offscreen on a park, as the
// operator's click does, then saves the first row (which refills the grid), and prints the two
// times in seconds. The other side is sqlite3 reading the same rows.
#include "BenchPrompter.h"
#include "DesktopHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <cstring>
#include <iostream>

using namespace tarnwick;

namespace {

void clickFirstId(QWidget *window) {
    QWidget *ids = window->findChild<QTableView *>("MSFlexGrid1")->verticalHeader()->viewport();
    const QPoint at(3, 3);
    QMouseEvent press(QEvent::MouseButtonPress, at, ids->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(ids, &press);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3 || (std::strcmp(argv[2], "sites") != 0 && std::strcmp(argv[2], "guests") != 0)) {
        std::cerr << "usage: " << argv[0] << " PARK sites|guests" << std::endl;
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    BenchPrompter prompter;
    DesktopHarness desktop(prompter, argv[1]);
    Navigator &navigator = desktop.navigator;

    QElapsedTimer timer;
    timer.start();
    QWidget *window =
        navigator.window(std::strcmp(argv[2], "sites") == 0 ? WindowId::SiteEditor : WindowId::GuestEditor);
    window->show();
    QApplication::processEvents();
    const double open = timer.nsecsElapsed() / 1e9;

    clickFirstId(window);
    timer.restart();
    window->findChild<QPushButton *>("Command4")->click();
    QApplication::processEvents();
    const double refill = timer.nsecsElapsed() / 1e9;

    // Scrolling to the end asks the model for the rows on screen only.
    auto *grid = window->findChild<QTableView *>("MSFlexGrid1");
    timer.restart();
    grid->scrollToBottom();
    QApplication::processEvents();
    const double scroll = timer.nsecsElapsed() / 1e9;
    std::cout << open << " " << refill << " " << scroll << " " << grid->model()->rowCount() << std::endl;
    return 0;
}
