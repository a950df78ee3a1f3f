#include "import/ui/frmCheckReport.h"

#include "app/ui/Navigator.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarnwick {

frmCheckReport::frmCheckReport(Session &session) : session_(session), table_(new QTableWidget), totals_(new QLabel) {
    setObjectName("frmCheckReport");
    setWindowTitle("Check Report");
    auto *layout = new QVBoxLayout(this);
    table_->setObjectName("ReportTable");
    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels({"File", "Line", "Field", "Value", "Reason"});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    totals_->setObjectName("Totals");
    layout->addWidget(totals_);
    auto *buttons = new QHBoxLayout;
    auto *save = new QPushButton("Save Report...");
    save->setObjectName("cmdSaveReport");
    auto *close = new QPushButton("Close");
    close->setObjectName("cmdClose");
    buttons->addWidget(save);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(save, &QPushButton::clicked, this, [this] {
        RunHandler(session_, [this] {
            const std::optional<std::string> name =
                session_.prompter.input("Save Report", "Name of the report file (it is kept in the database folder):");
            if (!name || name->empty())
                return;
            const std::string path = (name->find('/') == std::string::npos ? session_.DbFolder + "/" : "") + *name;
            if (WriteReport(session_, path, report_))
                session_.prompter.notify("The report was saved as " + path + ".");
        });
    });
    resize(900, 420);
}

void frmCheckReport::showReport(const CheckReport &report) {
    report_ = report;
    table_->setSortingEnabled(false);
    table_->setRowCount(static_cast<int>(report.problems.size()));
    for (int r = 0; r < static_cast<int>(report.problems.size()); ++r) {
        const ImportProblem &p = report.problems[static_cast<std::size_t>(r)];
        auto *line = new QTableWidgetItem;
        line->setData(Qt::DisplayRole, static_cast<qlonglong>(p.line)); // sorts as a number
        table_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(p.file)));
        table_->setItem(r, 1, line);
        table_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(p.field)));
        table_->setItem(r, 3, new QTableWidgetItem(QString::fromStdString(p.value)));
        table_->setItem(r, 4, new QTableWidgetItem(QString::fromStdString(p.reason)));
    }
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    const long shortened = static_cast<long>(report.problems.size()) - report.refusedRows();
    totals_->setText(QString("%1 data lines read, %2 rows would be stored, %3 refused, %4 values shortened.")
                         .arg(report.read)
                         .arg(report.stored)
                         .arg(report.refusedRows())
                         .arg(shortened));
    show();
    raise();
}

} // namespace tarnwick
