#include "export/ui/frmMSAcessExport.h"

#include "app/ui/WindowPlacement.h"
#include "export/FolderBrowse.h"
#include "export/TableExport.h"
#include "export/ui/frmFields.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarnwick {

frmMSAcessExport::frmMSAcessExport(Navigator &navigator)
    : navigator_(navigator), session_(navigator.session), browser_(navigator.session) {
    setObjectName("frmMSAcessExport");
    setWindowTitle("MS Access Database Export");
    setAttribute(Qt::WA_DeleteOnClose);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *label = new QLabel(
        "This will Export the Tables you select below to Excel Spreadsheets you can then use to Import into the "
        "Halvane Software Database.  The Tables you need should contain the Site Definitions, any Guests you want to "
        "Import and Point of Sale or Store Items you want included.  Pick any of the Tables listed below to see the "
        "Field information.  NOTE: Each Table is Exported to a Single Spreadsheet.");
    label->setObjectName("Label1");
    label->setWordWrap(true);
    layout->addWidget(label);

    auto *lists = new QHBoxLayout;
    dir1_ = new QTreeWidget;
    dir1_->setObjectName("Dir1");
    dir1_->setToolTip("Navigate to the MS Access Database");
    dir1_->setHeaderHidden(true);
    connect(dir1_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        RunHandler(session_, [&] { showFolder(item->data(0, Qt::UserRole).toString().toStdString()); });
    });
    file1_ = new QListWidget;
    file1_->setObjectName("File1");
    file1_->setToolTip("Double Click the Database of Interest");
    connect(file1_, &QListWidget::itemActivated, this, [this] { runReading([this] { File1_DblClick(); }); });
    lists->addWidget(dir1_, 1);
    lists->addWidget(file1_, 1);
    layout->addLayout(lists, 1);
    layout->addWidget(buildTables(), 2);

    auto *buttons = new QHBoxLayout;
    auto *exportButton = new QPushButton("Export Checked Tables");
    exportButton->setObjectName("Command1");
    auto *closeButton = new QPushButton("Close");
    closeButton->setObjectName("Command2");
    connect(exportButton, &QPushButton::clicked, this, [this] { runReading([this] { exportChecked(); }); });
    connect(closeButton, &QPushButton::clicked, this, [this] { close(); });
    buttons->addWidget(exportButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    setCentralWidget(central);

    AddHelpItem(navigator_, this, "Access Export Help", "mnuAccess", 180);

    showFolder(session_.DbFolder);
    resize(900, 640);
}

QWidget *frmMSAcessExport::buildTables() {
    auto *frame = new QGroupBox("Tables In Selected Database for Export ");
    frame->setObjectName("Frame1");
    auto *grid = new QGridLayout(frame);
    constexpr int kPerColumn = 15;
    for (int i = 1; i <= kTableBoxes; ++i) {
        auto *box = new QCheckBox;
        box->setObjectName(QString("MyTable_%1").arg(i));
        box->setToolTip("Right-Click to see the Fields in this Table");
        box->setVisible(false);
        box->installEventFilter(this);
        grid->addWidget(box, (i - 1) % kPerColumn, (i - 1) / kPerColumn);
        myTable_[i] = box;
    }
    // The boxes shown stay together at the top, whatever their number.
    grid->setRowStretch(kPerColumn, 1);
    for (int column = 0; column < 3; ++column)
        grid->setColumnStretch(column, 1);
    return frame;
}

void frmMSAcessExport::showFolder(const std::string &folder) {
    FolderView view = BrowseFolder(session_, folder);
    folder_ = view.ancestors.empty() ? folder : view.ancestors.back();
    dir1_->clear();
    QTreeWidgetItem *parent = nullptr;
    for (const std::string &path : view.ancestors) {
        const std::size_t slash = path.find_last_of('/');
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(dir1_);
        item->setText(
            0, QString::fromStdString(slash == std::string::npos || path == "/" ? path : path.substr(slash + 1)));
        item->setData(0, Qt::UserRole, QString::fromStdString(path));
        item->setExpanded(true);
        parent = item;
    }
    for (const std::string &name : view.folders) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(dir1_);
        item->setText(0, QString::fromStdString(name));
        item->setData(0, Qt::UserRole, QString::fromStdString(folder_ == "/" ? "/" + name : folder_ + "/" + name));
    }
    if (parent)
        dir1_->setCurrentItem(parent);
    file1_->clear();
    for (const std::string &name : view.databases)
        file1_->addItem(QString::fromStdString(name));
}

void frmMSAcessExport::File1_DblClick() {
    for (int i = 1; i <= kTableBoxes; ++i) {
        myTable_[i]->setText(QString());
        myTable_[i]->setVisible(false);
    }
    for (QListWidgetItem *entry : file1_->selectedItems()) {
        std::optional<std::vector<std::string>> names =
            browser_.ListTables(folder_ + "/" + entry->text().toStdString());
        if (!names)
            continue;
        for (std::size_t k = 0; k < names->size(); ++k) {
            myTable_[k + 1]->setText(QString::fromStdString((*names)[k]));
            myTable_[k + 1]->setVisible(true);
        }
    }
}

void frmMSAcessExport::exportChecked() {
    // Only the boxes showing a table of the listed database count.
    std::vector<std::string> checked;
    for (int i = 1; i <= kTableBoxes; ++i)
        if (myTable_[i]->isChecked() && !myTable_[i]->isHidden())
            checked.push_back(myTable_[i]->text().toStdString());
    ExportCheckedTables(session_, browser_.database(), checked);
}

void frmMSAcessExport::MyTable_MouseDown(int index) {
    if (!browser_.database())
        return;
    setEnabled(false);
    if (!fields_)
        fields_ = new frmFields([this] { setEnabled(true); });
    if (fields_->isHidden())
        PlaceOver(fields_, this);
    fields_->show();
    fields_->raise();
    runReading([&] {
        std::optional<Browser::FieldList> list = browser_.Fields(myTable_[index]->text().toStdString());
        // The field window may have been closed while its table was read.
        if (list && fields_)
            fields_->showList(*list);
    });
    setEnabled(!fields_ || fields_->isHidden());
}

void frmMSAcessExport::runReading(const std::function<void()> &work) {
    reading_ = true;
    RunBusy(session_, this, work);
    reading_ = false;
}

bool frmMSAcessExport::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
        for (int i = 1; i <= kTableBoxes; ++i)
            if (watched == myTable_[i]) {
                MyTable_MouseDown(i);
                return true;
            }
    return QMainWindow::eventFilter(watched, event);
}

void frmMSAcessExport::closeEvent(QCloseEvent *event) {
    if (reading_) {
        event->ignore();
        return;
    }
    // Close and the title bar's close box alike: back to the main window, the database let go.
    if (fields_)
        fields_->close();
    delete fields_.data();
    navigator_.window(WindowId::Main)->show();
    browser_.Close();
    event->accept();
}

} // namespace tarnwick
