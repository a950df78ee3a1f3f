#pragma once
// What the site and the guest window share: the grid frame with its count line, the navigation
// row, the way an event runs (controls into the core's state, the core's rule, state back into the
// controls), and the unload handler.
#include "app/ui/Navigator.h"
#include "editors/GridTable.h"

#include <QMainWindow>
#include <vector>

class QGroupBox;
class QLabel;
class QVBoxLayout;

namespace tarnwick {

class EditorGrid;

class EditorWindow : public QMainWindow {
public:
    ~EditorWindow() override;

protected:
    explicit EditorWindow(Navigator &navigator);

    // The window's column of contents under the label Label1; its Help menu with one item.
    QVBoxLayout *centralColumn(const QString &label1);
    void helpMenu(const QString &item, const QString &name, long topic);

    // The frame "Current ... Defined " holding the grid over `grid` and the line "There are
    // Currently " NoSites `countWhat`. Clicks on the grid go to `onClick`.
    QGroupBox *gridFrame(const QString &title, const GridTable &grid, const QString &countWhat,
                         std::function<void(int, int, long, int)> onClick);

    struct NavigationButton {
        const char *caption;
        const char *name;
        WindowId target;
    };
    QWidget *navigationRow(const std::vector<NavigationButton> &buttons);

    // Runs a rule of the core between copying the controls into its state and showing it again.
    void act(const std::function<void()> &rule, bool gridChanged);
    virtual void readState() = 0;
    virtual void showState() = 0;

    void closeEvent(QCloseEvent *event) override;

    Navigator &navigator_;
    Session &session_;
    EditorGrid *grid_ = nullptr;
    QLabel *noSites_ = nullptr;
};

} // namespace tarnwick
