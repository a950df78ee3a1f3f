#pragma once
// The guest window "Guest Definition": the grid of Guest and the editor panel below it.
#include "app/ui/Navigator.h"
#include "editors/GuestEditor.h"

#include <QMainWindow>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tarnwick {

class EditorGrid;

class frmGuestDef : public QMainWindow {
public:
    explicit frmGuestDef(Navigator &navigator);
    // The grid's view lets go of the editor's texts before they go.
    ~frmGuestDef() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildPanel();
    QWidget *buildNavigation();
    void act(const std::function<void()> &action, bool gridChanged);
    void readState();
    void showState();

    Navigator &navigator_;
    Session &session_;
    GuestEditor editor_;
    EditorGrid *grid_ = nullptr;
    QGroupBox *frame2_ = nullptr;
    QLabel *noSites_ = nullptr;
    std::array<QLineEdit *, 22> data_{}; // Data(1) ... Data(21); Data(10) is the notes box below
    QPlainTextEdit *notes_ = nullptr;
    QCheckBox *check1_ = nullptr;
    QPushButton *command3_ = nullptr, *command4_ = nullptr, *command5_ = nullptr;
};

} // namespace tarnwick
