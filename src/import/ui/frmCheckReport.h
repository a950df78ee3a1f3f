#pragma once
// The report of a check: one row per problem (file, line, field, value, reason), sortable by any
// column, the totals, the first rows as the import would store them (a refused value marked, its
// reason on hover), and "Save Report..." writing the problems as a CSV file.
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
    void showPreview();

    Session &session_;
    CheckReport report_;
    QTableWidget *table_;
    QLabel *totals_;
    QTableWidget *preview_;
};

} // namespace tarnwick
