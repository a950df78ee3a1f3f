#pragma once
// The main window: the park's site types and the way to the other steps of the set-up.
#include "app/ParkChoice.h"
#include "app/SiteTypes.h"
#include "app/ui/Navigator.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <optional>

class QLineEdit;
namespace tarnwick {
class frmBackups;
}
class QPushButton;

namespace tarnwick {

class frmDataImport1 : public QMainWindow {
public:
    explicit frmDataImport1(Navigator &navigator);
    // A site-type box that still has the focus is left (and saved) while the window is whole.
    ~frmDataImport1() override;

    // Fills the site-type boxes from ParkInfo.
    void LoadSiteTypes();
    void ClearSiteTypes();
    // What the window does on the park it has just been given: its site types loaded, the focus on
    // "Enter Sites Manually ==>", a word on an interrupted import, the offer of the initial backup.
    void ParkOpened();
    QPushButton *enterSitesButton() const { return enterSites_; }
    // Hidden while another window is shown, it comes back where it was.
    void setVisible(bool visible) override;

protected:
    // Closing the main window ends the program.
    void closeEvent(QCloseEvent *event) override;

private:
    SiteTypeBoxes boxTexts() const;
    void SType_LostFocus(int index);
    // The Park menu's items: another park's folder chosen (or made) through the folder dialog.
    void ChooseOtherPark(ParkChoice choice);

    Navigator &navigator_;
    Session &session_;
    std::array<QLineEdit *, 11> stype_{};
    QPushButton *enterSites_ = nullptr;
    QPointer<frmBackups> backups_;
    std::optional<QPoint> lastPosition_;
};

} // namespace tarnwick
