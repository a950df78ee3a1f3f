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

// Sizes a window `width` x `height`, or smaller where its screen is smaller (a magnified or small
// screen), leaving room for the frame and title bar, which are not known before it is shown.
void ResizeWithinScreen(QWidget *window, int width, int height);

// Escape closes `window`, as its Close button does.
void CloseOnEscape(QWidget *window);

} // namespace tarnwick
