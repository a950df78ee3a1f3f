#pragma once
// The sheet picker "Excel Sheet Names": lists a workbook's worksheets and waits, processing window
// events, until one is clicked or the picker is closed.
#include "import/SheetPicker.h"

#include <QWidget>

class QEventLoop;
class QListWidget;

namespace tarnwick {

class frmSheets : public QWidget, public SheetPicker {
public:
    frmSheets();
    std::optional<std::string> pick(const std::vector<std::string> &names) override;
    // Fills the list without waiting.
    void list(const std::vector<std::string> &names);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QListWidget *list_;
    QEventLoop *waiting_ = nullptr;
    std::optional<std::string> chosen_;
    bool SheetChosen = false;
};

} // namespace tarnwick
