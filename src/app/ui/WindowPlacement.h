#pragma once
// Where the small windows appear: over the window that opened them, kept above it.
#include <QWidget>

namespace tarnwick {

// The one main window on screen (the main window, an editor, the import or the export window);
// null when none is visible.
QWidget *VisibleMainWindow();

// Keeps `window` above `owner` without `owner` owning it, and moves it to the middle of `owner`,
// inside the owner's screen. Nothing happens without an owner.
void PlaceOver(QWidget *window, QWidget *owner);

// Moves a top-level window, before it is shown, so that its frame is centred on `area` and lies
// wholly on its screen.
void CentreOn(QWidget *window, const QRect &area);

// Moves a top-level window's frame to `topLeft` in a way a window manager keeps when the window is
// shown again (a window shown without a position of its own is placed where the manager likes).
void PlaceAt(QWidget *window, const QPoint &topLeft);

// The window a message box speaks over: the Progress window while it shows, so that the box lies
// above it, else the active window.
QWidget *SpeakingOwner();

// Widens a message box so that the window manager's title bar shows its whole title.
void FitTitle(QWidget *box);

// Sizes a window `width` x `height`, or smaller where its screen is smaller (a magnified or small
// screen), leaving room for the frame and title bar, which are not known before it is shown.
void ResizeWithinScreen(QWidget *window, int width, int height);

// Escape closes `window`, as its Close button does.
void CloseOnEscape(QWidget *window);

} // namespace tarnwick
