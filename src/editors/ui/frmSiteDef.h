#pragma once
// The site window "Site Definition": the grid of Sites and the editor panel below it.
#include "editors/SiteEditor.h"
#include "editors/ui/EditorWindow.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick {

class frmSiteDef : public EditorWindow {
public:
    explicit frmSiteDef(Navigator &navigator);

private:
    QWidget *buildPanel();
    void readState() override;
    void showState() override;
    void paintUnavailable();

    SiteEditor editor_;
    QGroupBox *frame2_ = nullptr;
    std::array<QLineEdit *, 16> data_{};
    QCheckBox *check1_ = nullptr, *check2_ = nullptr, *check3_ = nullptr;
    std::array<QCheckBox *, 11> scType_{};
    QLineEdit *text1_ = nullptr;
    QPushButton *command1_ = nullptr, *command3_ = nullptr, *command4_ = nullptr, *command5_ = nullptr;
    bool showing_ = false;
};

} // namespace tarnwick
