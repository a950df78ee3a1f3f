#pragma once
// The report of a check: one row per problem (file, line, field, value, reason), sortable by any
// column, the totals, and "Save Report..." writing it as a CSV file.
#include "import/ImportCheck.h"

#include <QWidget>

class QLabel;
class QTableWidget;

namespace tarnwick {

class frmCheckReport : public QWidget {
public:
    explicit frmCheckReport(Session &session);
    void showReport(const CheckReport &report);

private:
    Session &session_;
    CheckReport report_;
    QTableWidget *table_;
    QLabel *totals_;
};

} // namespace tarnwick
