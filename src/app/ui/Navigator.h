#pragma once
// The five main windows of the program and the way between them: each is one instance, made on
// first use; a navigation button sets Navigating, shows its target and unloads its own window.
#include "app/Session.h"

#include <QMainWindow>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>

namespace tarnwick {

class frmSheets;
class HelpWindow;

enum class WindowId { Main, SiteEditor, GuestEditor, Import, Export };

class Navigator {
public:
    explicit Navigator(Session &session);
    ~Navigator();
    Navigator(const Navigator &) = delete;
    Navigator &operator=(const Navigator &) = delete;

    using Factory = std::function<QWidget *(Navigator &)>;
    // Says how a window is made. A window with no factory cannot be navigated to yet.
    void define(WindowId id, Factory make);
    bool defined(WindowId id) const { return factories_.count(id) != 0; }

    // The window's instance, made now if it does not exist (an unloaded window is made anew).
    QWidget *window(WindowId id);
    // The instance if it exists, else null.
    QWidget *existing(WindowId id) const;

    enum class Order { ShowFirst, UnloadFirst };
    // A navigation button of `from`: sets Navigating, then shows `target` and unloads `from` in the
    // given order.
    void goTo(QWidget *from, WindowId target, Order order = Order::ShowFirst);
    // A button of the main window, which is hidden rather than unloaded.
    void leaveMain(WindowId target, Order order);
    // The unload handler shared by the editors and the import window: back to the main window
    // when the operator closed the window.
    void unloading();

    // The sheet picker, made on first use.
    frmSheets &sheetPicker();
    // Opens the help window on a topic number of the database folder's help file.
    void showHelp(long topic);
    // The help window, if it was made.
    QWidget *helpWindow() const;

    Session &session;

private:
    void showInOrder(WindowId target, QWidget *from, const std::function<void()> &leave, Order order);

    std::map<WindowId, Factory> factories_;
    std::map<WindowId, QPointer<QWidget>> windows_;
    QPointer<frmSheets> sheets_;
    QPointer<HelpWindow> help_;
};

// Adds the item `caption` (objectName `name`) to the window's "Help" menu (objectName mnuHelp, made
// on first use); it opens help topic `topic`.
void AddHelpItem(Navigator &navigator, QMainWindow *window, const QString &caption, const QString &name, long topic);

// Runs an event handler of a window: an error that escapes the core becomes a message instead of
// ending the program, and the program's orderly end (a start-up message that ends it) quits.
void RunHandler(Session &session, const std::function<void()> &handler);

// Runs a long piece of work (an import, a purge) with `window` disabled, so that clicks made
// meanwhile are dropped rather than acted on when the work is done.
void RunBusy(Session &session, QWidget *window, const std::function<void()> &work);

} // namespace tarnwick
