#pragma once
// The site window "Site Definition": the grid of Sites and the editor panel below it.
#include "app/ui/Navigator.h"
#include "editors/SiteEditor.h"

#include <QMainWindow>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick {

class EditorGrid;

class frmSiteDef : public QMainWindow {
public:
    explicit frmSiteDef(Navigator &navigator);
    // The grid's view lets go of the editor's texts before they go.
    ~frmSiteDef() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildPanel();
    QWidget *buildNavigation();
    // Copies the panel's controls into the core's state, runs `action`, and shows the state again.
    void act(const std::function<void()> &action, bool gridChanged);
    void readState();
    void showState();
    void paintUnavailable();

    Navigator &navigator_;
    Session &session_;
    SiteEditor editor_;
    EditorGrid *grid_ = nullptr;
    QGroupBox *frame2_ = nullptr;
    QLabel *noSites_ = nullptr;
    std::array<QLineEdit *, 16> data_{};
    QCheckBox *check1_ = nullptr, *check2_ = nullptr, *check3_ = nullptr;
    std::array<QCheckBox *, 11> scType_{};
    QLineEdit *text1_ = nullptr;
    QPushButton *command1_ = nullptr, *command3_ = nullptr, *command4_ = nullptr, *command5_ = nullptr;
    bool showing_ = false;
};

} // namespace tarnwick
