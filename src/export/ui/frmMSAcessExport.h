#pragma once
// The export window "MS Access Database Export": a folder tree, the Access databases of the chosen
// folder, the tables of the database double-clicked as 45 boxes, their field lists, and the export
// of the ticked tables to workbooks of the database folder.
#include "app/ui/Navigator.h"
#include "export/Browser.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class QCheckBox;
class QListWidget;
class QTreeWidget;

namespace tarnwick {

class frmFields;

class frmMSAcessExport : public QMainWindow {
public:
    explicit frmMSAcessExport(Navigator &navigator);

    // Dir1's folder changed: the tree and the file list show it.
    void showFolder(const std::string &folder);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildTables();
    void File1_DblClick();
    void exportChecked();
    void MyTable_MouseDown(int index);
    // Runs a read of the browsed database with the window disabled; meanwhile it cannot be closed,
    // as the database it reads would be let go under it.
    void runReading(const std::function<void()> &work);

    Navigator &navigator_;
    Session &session_;
    Browser browser_;
    std::string folder_;
    QTreeWidget *dir1_ = nullptr;
    QListWidget *file1_ = nullptr;
    std::array<QCheckBox *, kTableBoxes + 1> myTable_{}; // boxes 1 to 45
    QPointer<frmFields> fields_;
    bool reading_ = false;
};

} // namespace tarnwick
