#pragma once
// The guest window "Guest Definition": the grid of Guest and the editor panel below it.
#include "editors/GuestEditor.h"
#include "editors/ui/EditorWindow.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick {

class frmGuestDef : public EditorWindow {
public:
    explicit frmGuestDef(Navigator &navigator);

private:
    QWidget *buildPanel();
    void readState() override;
    void showState() override;

    GuestEditor editor_;
    QGroupBox *frame2_ = nullptr;
    std::array<QLineEdit *, 22> data_{}; // Data(1) ... Data(21); Data(10), the notes, is twice as tall
    QCheckBox *check1_ = nullptr;
    QPushButton *command3_ = nullptr, *command4_ = nullptr, *command5_ = nullptr;
};

} // namespace tarnwick
