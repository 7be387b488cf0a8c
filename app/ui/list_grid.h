// StringGrid: the programming list as the main window shows it. The cells
// are the workspace's list; the grid only draws them and passes on the
// gestures (right click, Delete released, double click).
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>

#include "list/programming_list.h"

// The list's 160 rows and 12 columns; row 0 of the list is the header.
class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListModel(const list::ProgrammingList& list, QObject* parent = nullptr)
        : QAbstractTableModel(parent), list_(list) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : list::kRows; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : list::kCols; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The list changed: every cell is drawn again.
    void Refresh();

private:
    const list::ProgrammingList& list_;
};

class ListGrid : public QTableView {
    Q_OBJECT
public:
    explicit ListGrid(ListModel* model, QWidget* parent = nullptr);

    // The selected row of the list, 1..160 (1 when nothing is selected).
    int SelectedRow() const;
    void SelectRow(int row);
    // The widths of the columns; the last takes the grid's width less 456.
    void LayOutColumns();

    std::function<void()> onDeleteReleased;
    std::function<void()> onDoubleClick;
    // StringGridDragDrop: whatever another control or program dropped here.
    std::function<void(const QMimeData*)> onDrop;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
