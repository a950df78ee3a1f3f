#pragma once
// The field list "Table Fields": the fields of one table, lined up under a column header, and its
// record count. However it closes, it hands the export window back.
#include "export/Browser.h"

#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QListWidget;

namespace tarnwick {

class frmFields : public QWidget {
public:
    explicit frmFields(std::function<void()> onClosed);
    void showList(const Browser::FieldList &list);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QListWidget *list1_;
    QLabel *label1_;
    std::function<void()> onClosed_;
};

} // namespace tarnwick
