#include "editors/ui/EditorGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>

namespace tarnwick {

int GridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(grid_.rowCount());
}

int GridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : std::max(0, grid_.columnCount() - 1);
}

QVariant GridModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const std::string_view text = grid_.cell(index.row(), index.column() + 1);
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole)
        return orientation == Qt::Horizontal ? QVariant(Qt::AlignCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section + 1 < grid_.columnCount() ? QString::fromStdString(grid_.titles[section + 1]) : QString();
    const std::string_view id = grid_.cell(section, 0);
    return QString::fromUtf8(id.data(), static_cast<int>(id.size()));
}

void GridModel::refresh() {
    beginResetModel();
    endResetModel();
}

EditorGrid::EditorGrid(const GridTable &grid, ClickHandler onClick)
    : grid_(grid), model_(new GridModel(grid, this)), onClick_(std::move(onClick)) {
    setObjectName("MSFlexGrid1");
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCornerButtonEnabled(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionsClickable(false);
    for (QWidget *area : {viewport(), horizontalHeader()->viewport(), verticalHeader()->viewport()})
        area->installEventFilter(this);
    if (auto *corner = findChild<QAbstractButton *>())
        corner->installEventFilter(this);
}

void EditorGrid::refresh() {
    model_->refresh();
    // Each column as wide as the design says, or as its title needs in this font.
    const QFontMetrics metrics = horizontalHeader()->fontMetrics();
    for (int c = 1; c < grid_.columnCount(); ++c)
        setColumnWidth(c - 1, std::max(Pixels(grid_.widths[c]),
                                       metrics.horizontalAdvance(QString::fromStdString(grid_.titles[c])) + 12));
    // The ID column is as wide as the design says, or as its widest ID needs.
    const int idWidth = grid_.columnCount() > 0 ? Pixels(grid_.widths[0]) : 0;
    verticalHeader()->setMinimumWidth(idWidth);
}

bool EditorGrid::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::MouseButtonPress)
        return QTableView::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint at =
        static_cast<QWidget *>(watched)->mapTo(this, mouse->position().toPoint()) - QPoint(frameWidth(), frameWidth());
    const int headerHeight = horizontalHeader()->height(), idWidth = verticalHeader()->width();
    long row = 0;
    if (at.y() >= headerHeight) {
        const int viewRow = rowAt(at.y() - headerHeight);
        row = viewRow >= 0 ? viewRow + 1 : model_->rowCount();
    }
    int column = 0;
    if (at.x() >= idWidth) {
        const int viewColumn = columnAt(at.x() - idWidth);
        column = viewColumn >= 0 ? viewColumn + 1 : model_->columnCount();
    }
    onClick_(at.x() * 15, at.y() * 15, row, column);
    // The click is the grid's whole answer: no selection follows a message box it may have shown.
    return true;
}

} // namespace tarnwick
