#include "list_grid.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

constexpr int kWidths[list::kCols] = {30, 0, 60, 60, 60, 150, 60, 60, 120, 120, 0, 0};
constexpr int kFixedWidths = 456;  // the sum of the others: the last column takes the rest

}  // namespace

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return QString::fromStdString(list_.Cell(index.row() + 1, index.column()));
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= list::kCols) return {};
    return QString::fromUtf8(list::kHeaders[static_cast<size_t>(section)]);
}

void ListModel::Refresh() { emit dataChanged(index(0, 0), index(list::kRows - 1, list::kCols - 1), {Qt::DisplayRole}); }

ListGrid::ListGrid(ListModel* model, QWidget* parent) : QTableView(parent) {
    setObjectName("StringGrid");
    setAccessibleName("选择文件列表");
    setModel(model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(16);
    verticalHeader()->setDefaultSectionSize(16);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setFixedHeight(18);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setDragDropMode(QAbstractItemView::DropOnly);
    setAcceptDrops(true);
    for (int c = 0; c < list::kCols; ++c) setColumnWidth(c, kWidths[c]);
    // Columns 1 and 10 hold the flag and the full path for the commands, unseen.
    setColumnHidden(list::kColFlag, true);
    setColumnHidden(list::kColPath, true);
    SelectRow(1);
}

void ListGrid::LayOutColumns() { setColumnWidth(list::kColShownPath, std::max(0, width() - kFixedWidths)); }

int ListGrid::SelectedRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 1;
}

void ListGrid::SelectRow(int row) {
    setCurrentIndex(model()->index(std::clamp(row, 1, list::kRows) - 1, 0));
    selectRow(std::clamp(row, 1, list::kRows) - 1);
}

void ListGrid::mousePressEvent(QMouseEvent* event) {
    // A right click gives the grid the focus but leaves the selection: the
    // pop-up menu's commands act on the row selected before.
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void ListGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    QTableView::mouseDoubleClickEvent(event);
    if (onDoubleClick) onDoubleClick();
}

void ListGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        event->accept();  // the release deletes
        return;
    }
    QTableView::keyPressEvent(event);
}

void ListGrid::keyReleaseEvent(QKeyEvent* event) {
    // Held down, the key repeats its press and release: it deletes once, on
    // the real release.
    if (event->key() == Qt::Key_Delete && !event->isAutoRepeat()) {
        event->accept();
        if (onDeleteReleased) onDeleteReleased();
        return;
    }
    QTableView::keyReleaseEvent(event);
}

// Any drag is welcome but one that starts on the grid itself.
void ListGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this) return event->ignore();
    event->acceptProposedAction();
}

void ListGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() == this) return event->ignore();
    event->acceptProposedAction();
}

void ListGrid::dropEvent(QDropEvent* event) {
    if (event->source() == this) return event->ignore();
    event->acceptProposedAction();
    if (onDrop) onDrop(event->mimeData());
}
