#pragma once
// The import window "Read CSV or Excel Spreadsheet": choose the table, select source files of the
// database folder, match their titles to the table's columns, import or purge.
#include "app/Maintenance.h"
#include "app/ui/Navigator.h"
#include "import/ImportWindowState.h"
#include "import/Importers.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QStackedWidget;

namespace tarnwick {

class frmCheckReport;

class frmReadEcel : public QMainWindow {
public:
    explicit frmReadEcel(Navigator &navigator);

    // Empties the drop-downs of one panel (0 sites, 1 guests, 2 store items), then ShtName.
    void ClearLists(short cho);
    // The window's controls as the importers read them.
    ImportWindowState windowState() const;
    // Lists the database folder's sources again, keeping the selection of the names still there;
    // names the folder over the list and watches it, so that a file arriving there is listed.
    void refreshFileList();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildSteps();
    QWidget *buildPanel(int panel);
    QWidget *buildNavigation();
    void File1_Click();
    // "Add Files...": files chosen in a dialog are copied into the park's folder.
    void addFilesClicked();
    // The status line of the panel now shown: what was read for it, or how to fill it.
    void showStatus();
    void fileSelectionChanged();
    std::vector<std::string> selectedFiles() const;
    void importClicked(ImportTable table);
    void purgeClicked(PurgeTable table);
    void checkClicked(ImportTable table);
    short panelCode() const;
    // The titles the panel's drop-downs offer.
    std::vector<std::string> panelTitles(int panel) const;
    // Shows the slots of one panel and the options of a state.
    void showChoices(const ImportWindowState &state, int panel);
    void matchTitles(int panel);
    void markMatched(QComboBox *dropDown);

    Navigator &navigator_;
    Session &session_;
    std::array<QRadioButton *, 3> option1_{};
    QRadioButton *comma_ = nullptr;
    QRadioButton *allCaps_ = nullptr;
    QListWidget *file1_ = nullptr;
    QLabel *folder_ = nullptr;
    QFileSystemWatcher *watcher_ = nullptr;
    QLineEdit *shtName_ = nullptr;
    QLabel *status_ = nullptr;
    std::array<QString, 3> readStatus_; // what the last click read, per panel
    QStackedWidget *panels_ = nullptr;
    std::array<std::vector<QLabel *>, 3> labels_;
    std::array<std::vector<QComboBox *>, 3> dropDowns_;
    QCheckBox *waterYesNo_ = nullptr, *sewerYesNo_ = nullptr, *ampYesNo_ = nullptr, *taxableYesNo_ = nullptr;
    QPointer<frmCheckReport> report_;
    bool listing_ = false;      // the list is being filled by the program, not clicked
    bool clickPending_ = false; // a selection made with the mouse button still down
};

} // namespace tarnwick
