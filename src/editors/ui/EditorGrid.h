#pragma once
// The editors' grid: a table view over the core's grid texts, whose title row is the view's
// header and whose first (ID) column is its row header, so both stay in place while scrolling.
// Rows are served by the model on demand; no widget or item exists per cell. A left click
// anywhere on the grid is reported in twips from the grid's top-left corner, with the grid row and
// column under the pointer (row 0 the titles, column 0 the IDs).
#include "editors/GridTable.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>

namespace tarnwick {

class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(const GridTable &grid, QObject *parent = nullptr) : QAbstractTableModel(parent), grid_(grid) {}
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The grid texts changed: the view reads them again.
    void refresh();

private:
    const GridTable &grid_;
};

class EditorGrid : public QTableView {
public:
    using ClickHandler = std::function<void(int xTwips, int yTwips, long row, int column)>;
    EditorGrid(const GridTable &grid, ClickHandler onClick);

    // Reads the grid texts again and applies their column widths.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const GridTable &grid_;
    GridModel *model_;
    ClickHandler onClick_;
};

// Twips as pixels, 15 to the pixel.
constexpr int Pixels(int twips) {
    return twips / 15;
}

} // namespace tarnwick
