#include "app/ui/WindowPlacement.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

namespace tarnwick {

QWidget *VisibleMainWindow() {
    QWidget *active = QApplication::activeWindow();
    if (qobject_cast<QMainWindow *>(active) && active->isVisible())
        return active;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(window) && window->isVisible())
            return window;
    return nullptr;
}

void PlaceOver(QWidget *window, QWidget *owner) {
    if (!owner || owner == window)
        return;
    // A window of its own, whose transient parent keeps it above the owner; the owner may be
    // unloaded while the window lives on.
    // A window never resized takes its layout's size when shown: take it now, to centre that.
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    window->winId();
    if (QWindow *handle = window->windowHandle())
        handle->setTransientParent(owner->window()->windowHandle());
    QRect frame(QPoint(0, 0), window->frameGeometry().size().expandedTo(window->size()));
    frame.moveCenter(owner->window()->frameGeometry().center());
    if (const QScreen *screen = owner->screen()) {
        const QRect available = screen->availableGeometry();
        frame.moveRight(std::min(frame.right(), available.right()));
        frame.moveBottom(std::min(frame.bottom(), available.bottom()));
        frame.moveLeft(std::max(frame.left(), available.left()));
        frame.moveTop(std::max(frame.top(), available.top()));
    }
    window->move(frame.topLeft());
}

void ResizeWithinScreen(QWidget *window, int width, int height) {
    const QRect available = window->screen()->availableGeometry();
    window->resize(std::min(width, available.width() - 16), std::min(height, available.height() - 48));
}

void CloseOnEscape(QWidget *window) {
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

} // namespace tarnwick
