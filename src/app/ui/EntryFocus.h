#pragma once
// Entry boxes turn light cyan with their text selected when they receive the focus, and bright
// white again when they lose it.
#include <QLineEdit>
#include <functional>

namespace tarnwick {

extern const QColor kFocusColour; // QBColor 11, light cyan
extern const QColor kIdleColour;  // QBColor 15, bright white

// Selects the whole text of the focused widget when it is an entry box; anything else is ignored.
void SelectAllText();

// Applies the focus colours to `box`; `onLostFocus` runs after the colour is restored.
void InstallEntryFocus(QLineEdit *box, std::function<void()> onLostFocus = {});

} // namespace tarnwick
