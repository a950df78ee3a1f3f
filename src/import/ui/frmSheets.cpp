#include "import/ui/frmSheets.h"

#include "app/ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace tarnwick {

frmSheets::frmSheets() : list_(new QListWidget) {
    setObjectName("frmSheets");
    setWindowTitle("Excel Sheet Names");
    // The import window waits for the choice, so it takes no clicks meanwhile.
    setWindowModality(Qt::ApplicationModal);
    auto *label = new QLabel("Just Select the Sheet you want to process.");
    label->setObjectName("Label1");
    list_->setObjectName("List1");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    auto choose = [this](QListWidgetItem *item) {
        chosen_ = item->text().toStdString();
        close();
    };
    connect(list_, &QListWidget::itemClicked, this, choose);
    connect(list_, &QListWidget::itemActivated, this, choose);
    resize(320, 260);
}

std::optional<std::string> frmSheets::pick(const std::vector<std::string> &names) {
    SheetChosen = false;
    chosen_.reset();
    list(names);
    PlaceOver(this, VisibleMainWindow());
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    waiting_ = &loop;
    if (!SheetChosen)
        loop.exec();
    waiting_ = nullptr;
    return chosen_;
}

void frmSheets::list(const std::vector<std::string> &names) {
    list_->clear();
    for (const std::string &name : names)
        list_->addItem(QString::fromStdString(name));
}

void frmSheets::closeEvent(QCloseEvent *event) {
    SheetChosen = true;
    if (waiting_)
        waiting_->quit();
    event->accept();
}

} // namespace tarnwick
