#include "app/ui/WindowPlacement.h"

#include "app/ui/Progress.h"

#include <QApplication>
#include <QGridLayout>
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

namespace {

// Room kept for a window manager's frame (title bar and borders) that Qt does not know before the
// window has been shown once.
const QMargins kUnknownFrame(4, 24, 4, 4);

// Room a window manager's title bar takes beside the title: its icon and three buttons.
constexpr int kTitleBarButtons = 160;

} // namespace

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
    CentreOn(window, owner->window()->frameGeometry());
}

void CentreOn(QWidget *window, const QRect &area) {
    QRect frame(QPoint(0, 0), window->frameGeometry().size().expandedTo(window->size()));
    frame.moveCenter(area.center());
    const QMargins unknown = window->frameGeometry() == window->geometry() ? kUnknownFrame : QMargins();
    const QScreen *screen = QApplication::screenAt(area.center());
    if (!screen)
        screen = window->screen();
    // An unknown frame is taken to grow the window right and down from where it is placed.
    const QRect available = screen->availableGeometry().adjusted(0, 0, -unknown.left() - unknown.right(),
                                                                 -unknown.top() - unknown.bottom());
    frame.moveRight(std::min(frame.right(), available.right()));
    frame.moveBottom(std::min(frame.bottom(), available.bottom()));
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    PlaceAt(window, frame.topLeft());
}

void PlaceAt(QWidget *window, const QPoint &topLeft) {
    window->move(topLeft);
    // A window shown before keeps its position in Qt while hidden, so a move to it changes nothing
    // and the manager would place the window anew when it is shown again: the position is given to
    // the native window too.
    if (QWindow *handle = window->windowHandle(); handle && window->frameGeometry() != window->geometry())
        handle->setFramePosition(topLeft);
}

QWidget *SpeakingOwner() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (dynamic_cast<Progress *>(window) && window->isVisible())
            return window;
    return QApplication::activeWindow();
}

void FitTitle(QWidget *box) {
    // The title is drawn in a bold face with the manager's buttons and icon beside it.
    QFont bold = box->font();
    bold.setBold(true);
    const int wanted = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + kTitleBarButtons;
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
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
