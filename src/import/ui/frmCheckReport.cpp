#include "import/ui/frmCheckReport.h"

#include "app/ui/Navigator.h"
#include "app/ui/WindowPlacement.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarnwick {

frmCheckReport::frmCheckReport(Session &session)
    : session_(session), table_(new QTableWidget), totals_(new QLabel), preview_(new QTableWidget) {
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
    totals_->setObjectName("Totals");
    preview_->setObjectName("PreviewTable");
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->verticalHeader()->setVisible(false);
    auto *previewPart = new QWidget;
    auto *previewLayout = new QVBoxLayout(previewPart);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(totals_);
    auto *previewTitle = new QLabel("The first rows as the import would store them (a refused value is marked red; "
                                    "hold the mouse over it for the reason):");
    previewTitle->setObjectName("lblPreview");
    previewTitle->setWordWrap(true);
    previewLayout->addWidget(previewTitle);
    previewLayout->addWidget(preview_, 1);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(table_);
    split->addWidget(previewPart);
    layout->addWidget(split, 1);
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
    CloseOnEscape(this);
    connect(save, &QPushButton::clicked, this, [this] {
        RunHandler(session_, [this] {
            const std::optional<std::string> path = session_.prompter.chooseSaveFile(
                {"Save Report", "Name of the report file (it is kept in the database folder):", session_.DbFolder,
                 "check report.csv", "CSV files (*.csv)"});
            if (!path || path->empty())
                return;
            if (WriteReport(session_, *path, report_))
                session_.prompter.notify("The report was saved as " + *path + ".");
        });
    });
    ResizeWithinScreen(this, 900, 560);
}

void frmCheckReport::showReport(const CheckReport &report) {
    report_ = report;
    table_->setSortingEnabled(false);
    table_->setRowCount(static_cast<int>(report.problems.size()));
    for (int r = 0; r < static_cast<int>(report.problems.size()); ++r) {
        const ImportProblem &p = report.problems[static_cast<std::size_t>(r)];
        auto *line = new QTableWidgetItem;
        line->setData(Qt::DisplayRole, static_cast<qlonglong>(p.sourceLine)); // sorts as a number
        table_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(p.file)));
        table_->setItem(r, 1, line);
        table_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(p.field)));
        table_->setItem(r, 3, new QTableWidgetItem(QString::fromStdString(p.value)));
        table_->setItem(r, 4, new QTableWidgetItem(QString::fromStdString(p.reason)));
    }
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    totals_->setText(QString::fromStdString(CheckTotals(report)));
    showPreview();
    show();
    raise();
}

void frmCheckReport::showPreview() {
    QStringList titles{"File", "Line"};
    for (const std::string &column : report_.previewColumns)
        titles << QString::fromStdString(column);
    preview_->clear();
    preview_->setColumnCount(titles.size());
    preview_->setHorizontalHeaderLabels(titles);
    preview_->setRowCount(static_cast<int>(report_.preview.size()));
    const QColor refusedColour(0xf6, 0xc8, 0xc8);
    for (int r = 0; r < preview_->rowCount(); ++r) {
        const PreviewRow &row = report_.preview[static_cast<std::size_t>(r)];
        const QString reason = QString::fromStdString(row.reason);
        preview_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(row.file)));
        auto *line = new QTableWidgetItem(QString::number(row.sourceLine));
        preview_->setItem(r, 1, line);
        if (row.refused) {
            // The row as a whole is marked by its line; the value refused, where it has a column.
            line->setBackground(refusedColour);
            line->setToolTip(reason);
        }
        for (std::size_t c = 0; c < report_.previewColumns.size(); ++c) {
            auto *item = new QTableWidgetItem(c < row.values.size() ? QString::fromStdString(row.values[c]) : "");
            if (row.refused && report_.previewColumns[c] == row.refusedColumn) {
                item->setBackground(refusedColour);
                item->setToolTip(reason);
                item->setData(Qt::UserRole, true);
            }
            preview_->setItem(r, static_cast<int>(c) + 2, item);
        }
    }
    preview_->resizeColumnsToContents();
}

} // namespace tarnwick
