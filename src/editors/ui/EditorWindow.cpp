#include "editors/ui/EditorWindow.h"

#include "editors/ui/EditorGrid.h"
#include "editors/ui/EditorWidgets.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace tarnwick {

EditorWindow::EditorWindow(Navigator &navigator) : navigator_(navigator), session_(navigator.session) {
    setAttribute(Qt::WA_DeleteOnClose);
}

EditorWindow::~EditorWindow() {
    // The grid's view lets go of the editor's texts before they go.
    if (grid_)
        grid_->setModel(nullptr);
}

QVBoxLayout *EditorWindow::centralColumn(const QString &label1) {
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(Pixels(150), 6, Pixels(150), 6);
    auto *label = new QLabel(label1);
    label->setObjectName("Label1");
    layout->addWidget(label);
    setCentralWidget(central);
    return layout;
}

void EditorWindow::helpMenu(const QString &item, const QString &name, long topic) {
    AddHelpItem(navigator_, this, item, name, topic);
}

QGroupBox *EditorWindow::gridFrame(const QString &title, const GridTable &grid, const QString &countWhat,
                                   std::function<void(int, int, long, int)> onClick) {
    auto *frame = new QGroupBox(title);
    frame->setObjectName("Frame1");
    auto *layout = new QVBoxLayout(frame);
    // With the window's own margins, the frame is 300 twips and the grid 600 twips narrower than
    // the window, whatever its width.
    layout->setContentsMargins(Pixels(150), 6, Pixels(150), 6);
    grid_ = new EditorGrid(grid, std::move(onClick));
    grid_->setMinimumHeight(Pixels(2000));
    layout->addWidget(grid_, 1);
    auto *count = new QHBoxLayout;
    count->setSpacing(0);
    count->addWidget(new QLabel("There are Currently "));
    noSites_ = new QLabel("0000");
    noSites_->setObjectName("NoSites");
    count->addWidget(noSites_);
    count->addWidget(new QLabel(countWhat));
    count->addStretch(1);
    layout->addLayout(count);
    return frame;
}

QWidget *EditorWindow::navigationRow(const std::vector<NavigationButton> &buttons) {
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const NavigationButton &spec : buttons) {
        QPushButton *button = NamedButton(spec.caption, spec.name);
        layout->addWidget(button);
        const WindowId target = spec.target;
        connect(button, &QPushButton::clicked, this,
                [this, target] { RunHandler(session_, [&] { navigator_.goTo(this, target); }); });
    }
    return row;
}

void EditorWindow::act(const std::function<void()> &rule, bool gridChanged) {
    RunHandler(session_, [&] {
        readState();
        rule();
        if (gridChanged)
            grid_->refresh();
        showState();
    });
}

void EditorWindow::closeEvent(QCloseEvent *event) {
    session_.SelectedId = 0;
    navigator_.unloading();
    event->accept();
}

} // namespace tarnwick
