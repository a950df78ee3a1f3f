#include "app/ui/Navigator.h"

#include "app/Navigation.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/WindowPlacement.h"
#include "import/ui/frmSheets.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>

namespace tarnwick {

Navigator::Navigator(Session &session) : session(session) {}

Navigator::~Navigator() {
    for (auto &[id, window] : windows_)
        delete window.data();
    delete sheets_.data();
    delete help_.data();
}

void Navigator::define(WindowId id, Factory make) {
    factories_[id] = std::move(make);
}

QWidget *Navigator::window(WindowId id) {
    QPointer<QWidget> &slot = windows_[id];
    if (!slot)
        slot = factories_.at(id)(*this);
    return slot;
}

QWidget *Navigator::existing(WindowId id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second.data();
}

void Navigator::goTo(QWidget *from, WindowId target, Order order) {
    session.Navigating = 1;
    showInOrder(
        target, from, [from] { from->close(); }, order);
}

void Navigator::leaveMain(WindowId target, Order order) {
    QWidget *main = window(WindowId::Main);
    showInOrder(
        target, main, [main] { main->hide(); }, order);
}

void Navigator::showInOrder(WindowId target, QWidget *from, const std::function<void()> &leave, Order order) {
    // The editors open in the middle of the screen, the import and export windows over the window
    // they came from; the main window comes back where it was. The target is made after an
    // unload that comes first, so the places are taken before.
    const bool editor = target == WindowId::SiteEditor || target == WindowId::GuestEditor;
    const QRect area = editor ? from->screen()->availableGeometry() : from->frameGeometry();
    if (order == Order::UnloadFirst)
        leave();
    QWidget *shown = window(target);
    if (target != WindowId::Main)
        CentreOn(shown, area);
    shown->show();
    if (order == Order::ShowFirst)
        leave();
}

void Navigator::unloading() {
    if (UnloadShowsMain(session))
        window(WindowId::Main)->show();
}

void Navigator::showHelp(long topic) {
    // The file is read anew each time: the park may have put another one in its folder meanwhile.
    std::shared_ptr<HelpFile> help = OpenParkHelp(session);
    if (!help)
        return;
    if (!help_)
        help_ = new HelpWindow;
    if (help_->isHidden())
        PlaceOver(help_, VisibleMainWindow());
    help_->showPage(help, help->topicPage(topic));
}

QWidget *Navigator::helpWindow() const {
    return help_;
}

frmSheets &Navigator::sheetPicker() {
    if (!sheets_)
        sheets_ = new frmSheets;
    return *sheets_;
}

void AddHelpItem(Navigator &navigator, QMainWindow *window, const QString &caption, const QString &name, long topic) {
    QMenu *menu = window->menuBar()->findChild<QMenu *>("mnuHelp");
    if (!menu) {
        menu = window->menuBar()->addMenu("Help");
        menu->setObjectName("mnuHelp");
    }
    QAction *item = menu->addAction(caption);
    item->setObjectName(name);
    QObject::connect(item, &QAction::triggered, window,
                     [&navigator, topic] { RunHandler(navigator.session, [&] { navigator.showHelp(topic); }); });
}

void RunHandler(Session &session, const std::function<void()> &handler) {
    try {
        handler();
    } catch (const EndProgram &end) {
        QCoreApplication::exit(end.status);
    } catch (const std::exception &error) {
        session.prompter.notify(std::string("The work was stopped by an unexpected error: ") + error.what(),
                                Icon::Critical);
    }
}

void RunBusy(Session &session, QWidget *window, const std::function<void()> &work) {
    window->setEnabled(false);
    RunHandler(session, work);
    // Clicks that waited during the work reach a disabled window and are dropped.
    QApplication::processEvents();
    window->setEnabled(true);
}

} // namespace tarnwick
