#include "app/ui/frmBackups.h"

#include "app/Backups.h"
#include "app/ui/Navigator.h"
#include "app/ui/WindowPlacement.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>

namespace tarnwick {

frmBackups::frmBackups(Session &session) : session_(session), list_(new QTableWidget) {
    setObjectName("frmBackups");
    setWindowTitle("Restore a Backup");
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel("The backups of Park.MDB, newest first. Select one and press Restore to put it back; "
                             "the database as it is now is backed up first.");
    label->setWordWrap(true);
    layout->addWidget(label);
    list_->setObjectName("BackupList");
    list_->setColumnCount(7);
    list_->setHorizontalHeaderLabels({"File", "Reason", "Taken", "Sites", "Guests", "Store Items", "Site Types"});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->setVisible(false);
    list_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(list_, 1);
    auto *buttons = new QHBoxLayout;
    auto *restore = new QPushButton("Restore");
    restore->setObjectName("cmdRestore");
    auto *close = new QPushButton("Close");
    close->setObjectName("cmdClose");
    buttons->addWidget(restore);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    CloseOnEscape(this);
    connect(restore, &QPushButton::clicked, this, [this] {
        const int row = list_->currentRow();
        if (row < 0)
            return;
        const std::string path = list_->item(row, 0)->data(Qt::UserRole).toString().toStdString();
        RunHandler(session_, [&] { OfferRestore(session_, path); });
        refresh();
    });
    resize(860, 380);
}

void frmBackups::refresh() {
    const std::vector<BackupInfo> backups = ListBackups(session_.DbFolder);
    list_->setRowCount(static_cast<int>(backups.size()));
    for (int r = 0; r < static_cast<int>(backups.size()); ++r) {
        const BackupInfo &b = backups[static_cast<std::size_t>(r)];
        std::string types;
        for (const std::string &type : b.siteTypes)
            types += (types.empty() ? "" : ", ") + type;
        const bool sound = b.problem.empty();
        const QStringList cells = {QString::fromStdString(std::filesystem::path(b.path).filename().string()),
                                   QString::fromStdString(b.reason),
                                   QString::fromStdString(b.stamp),
                                   sound ? QString::number(b.sites) : QString(),
                                   sound ? QString::number(b.guests) : QString(),
                                   sound ? QString::number(b.charges) : QString(),
                                   QString::fromStdString(sound ? types : b.problem)};
        for (int c = 0; c < cells.size(); ++c)
            list_->setItem(r, c, new QTableWidgetItem(cells[c]));
        list_->item(r, 0)->setData(Qt::UserRole, QString::fromStdString(b.path));
    }
    list_->resizeColumnsToContents();
    if (!backups.empty())
        list_->selectRow(0);
}

} // namespace tarnwick
