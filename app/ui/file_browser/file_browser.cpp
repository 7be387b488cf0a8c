#include "file_browser/file_browser.h"

#include <fcntl.h>
#include <unistd.h>

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QSocketNotifier>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <cstring>

#include "file_browser/file_list_model.h"
#include "browser/folder_listing.h"
#include "messages/messages.h"

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

// The file list's gestures, the same in both views: double click and Enter
// open, Backspace goes up, and a left-button drag starts with the first
// movement rather than after the usual distance.
template <class View>
class BrowserView : public View {
public:
    using View::View;
    std::function<void()> onOpen;
    std::function<void()> onBack;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        View::mousePressEvent(e);
        dragReady_ = e->button() == Qt::LeftButton && this->indexAt(e->position().toPoint()).isValid();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (dragReady_ && (e->buttons() & Qt::LeftButton)) {
            dragReady_ = false;
            this->startDrag(Qt::CopyAction);
            return;
        }
        View::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        dragReady_ = false;
        View::mouseReleaseEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        View::mouseDoubleClickEvent(e);
        if (e->button() == Qt::LeftButton && onOpen) onOpen();
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Backspace) {
            if (onBack) onBack();
            return;
        }
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            if (onOpen) onOpen();
            return;
        }
        View::keyPressEvent(e);
    }

private:
    bool dragReady_ = false;
};

std::string Normalized(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

TFileBrowser::TFileBrowser(messages::IUserPrompt& ui, QObject* parent) : QObject(parent), ui_(ui) {
    model_ = new FileListModel(this);

    drive1_ = new QComboBox;
    drive1_->setObjectName("Drive1");
    drive1_->setAccessibleName("驱动器");
    drive1_->setFixedWidth(145);
    connect(drive1_, QOverload<int>::of(&QComboBox::activated), this, &TFileBrowser::Drive1Change);

    tree_ = new QStandardItemModel(this);
    directoryList_ = new QTreeView;
    directoryList_->setObjectName("DirectoryListBox1");
    directoryList_->setAccessibleName("文件夹");
    directoryList_->setHeaderHidden(true);
    directoryList_->setUniformRowHeights(true);
    directoryList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    directoryList_->setModel(tree_);
    connect(directoryList_, &QTreeView::expanded, this,
            [this](const QModelIndex& i) { FillChildren(tree_->itemFromIndex(i)); });
    connect(directoryList_, &QTreeView::activated, this,
            [this](const QModelIndex& i) { DirectoryListBox1Change(i.data(kPathRole).toString().toStdString()); });

    auto* icons = new BrowserView<QListView>;
    icons->setObjectName("ListView1Icons");
    icons->setModel(model_);
    icons->setUniformItemSizes(true);
    icons->setMovement(QListView::Static);
    icons->setResizeMode(QListView::Adjust);
    icons->setLayoutMode(QListView::Batched);
    icons->setWrapping(true);
    auto* details = new BrowserView<QTreeView>;
    details->setObjectName("ListView1Details");
    details->setModel(model_);
    details->setRootIsDecorated(false);
    details->setItemsExpandable(false);
    details->setUniformRowHeights(true);
    details->setSortingEnabled(false);
    details->header()->setSectionsClickable(false);
    details->header()->setSectionsMovable(false);
    details->header()->setStretchLastSection(true);
    for (int c = 0; c < FileListModel::kColumns - 1; ++c) details->setColumnWidth(c, c == 1 ? 100 : 140);
    for (auto* v : std::initializer_list<QAbstractItemView*>{icons, details}) {
        v->setAccessibleName("文件");
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setDragEnabled(true);
        v->setDragDropMode(QAbstractItemView::DragOnly);
    }
    // One selection for both views, so a style change keeps it.
    QItemSelectionModel* own = icons->selectionModel();
    icons->setSelectionModel(details->selectionModel());
    delete own;
    icons->onOpen = details->onOpen = [this] { ListView1DblClick(); };
    icons->onBack = details->onBack = [this] { ToolButton14Click(); };
    icons_ = icons;
    details_ = details;

    listView1_ = new QStackedWidget;
    listView1_->setObjectName("ListView1");
    listView1_->setAccessibleName("文件");
    listView1_->addWidget(icons_);
    listView1_->addWidget(details_);
    SetStyle(Style::Details);
    icons_->viewport()->installEventFilter(this);
    details_->viewport()->installEventFilter(this);

    // The mount table signals a change as an exceptional condition.
    mountsFd_ = ::open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
    if (mountsFd_ >= 0) {
        mountWatch_ = new QSocketNotifier(mountsFd_, QSocketNotifier::Exception, this);
        connect(mountWatch_, &QSocketNotifier::activated, this, [this] {
            char buf[4096];
            ::lseek(mountsFd_, 0, SEEK_SET);
            while (::read(mountsFd_, buf, sizeof buf) > 0) {}
            RefreshVolumes();
        });
    }
    RefreshVolumes();
}

TFileBrowser::~TFileBrowser() {
    delete mountWatch_;
    if (mountsFd_ >= 0) ::close(mountsFd_);
}

QWidget* TFileBrowser::ListView1() const { return listView1_; }

bool TFileBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !model_->ThemeIconsShown()) {
        // After this paint, and after the window's own first paint is done.
        QTimer::singleShot(0, model_, &FileListModel::ShowThemeIcons);
        icons_->viewport()->removeEventFilter(this);
        details_->viewport()->removeEventFilter(this);
    }
    return QObject::eventFilter(watched, event);
}

QAbstractItemView* TFileBrowser::CurrentView() const {
    return static_cast<QAbstractItemView*>(listView1_->currentWidget());
}

void TFileBrowser::RefreshVolumes() {
    const QString current = drive1_->currentData().toString();
    volumes_ = browser::MountedVolumes();
    const QSignalBlocker block(drive1_);
    drive1_->clear();
    for (const browser::Volume& v : volumes_) {
        drive1_->addItem(QString::fromStdString(v.label), QString::fromStdString(v.root));
        drive1_->setItemData(drive1_->count() - 1, QString::fromStdString(v.root), Qt::ToolTipRole);
    }
    drive1_->setCurrentIndex(std::max(0, drive1_->findData(current)));
}

void TFileBrowser::Start(const std::string& folder) {
    const int volume = browser::VolumeOf(volumes_, folder);
    if (volume >= 0) drive1_->setCurrentIndex(volume);
    ShowTree(folder);
    OpenFolderPath(folder);
}

void TFileBrowser::SetStyle(Style style) {
    style_ = style;
    switch (style) {
        case Style::LargeIcons:
            icons_->setViewMode(QListView::IconMode);
            icons_->setMovement(QListView::Static);
            icons_->setIconSize(QSize(32, 32));
            icons_->setGridSize(QSize(96, 64));
            icons_->setWordWrap(true);
            listView1_->setCurrentWidget(icons_);
            break;
        case Style::SmallIcons:
            icons_->setViewMode(QListView::ListMode);
            icons_->setFlow(QListView::LeftToRight);
            icons_->setWrapping(true);
            icons_->setIconSize(QSize(16, 16));
            icons_->setGridSize(QSize(180, 20));
            icons_->setWordWrap(false);
            listView1_->setCurrentWidget(icons_);
            break;
        case Style::Details: listView1_->setCurrentWidget(details_); break;
    }
    listView1_->setFocusProxy(listView1_->currentWidget());
}

bool TFileBrowser::OpenFolderPath(const std::string& path) {
    QAbstractItemView* view = CurrentView();
    // Drawing waits for the whole listing, also when it fails.
    view->setUpdatesEnabled(false);
    bool ok = true;
    if (path.empty()) {
        std::vector<browser::TFileEntry> entries;
        std::vector<std::string> roots;
        for (const browser::Volume& v : volumes_) {
            browser::TFileEntry e;
            e.displayName = v.label;
            e.isFolder = true;
            entries.push_back(std::move(e));
            roots.push_back(v.root);
        }
        model_->SetEntries(std::move(entries), "", std::move(roots));
        path_.clear();
    } else {
        std::vector<browser::TFileEntry> entries;
        const std::string folder = Normalized(path);
        const int err = browser::ReadFolder(folder, &entries);
        if (err != 0) {
            ok = false;
            messages::ShowGeneralError(ui_, std::strerror(err));
        } else {
            path_ = browser::WithSeparator(folder);
            model_->SetEntries(std::move(entries), path_);
        }
    }
    view->setUpdatesEnabled(true);
    if (ok && model_->rowCount() > 0) {
        const QModelIndex first = model_->index(0, 0);
        view->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->scrollTo(first);
        view->setFocus();
    }
    return ok;
}

void TFileBrowser::ToolButton14Click() {
    std::string up;
    if (browser::ParentFolder(volumes_, path_, &up)) OpenFolderPath(up);
}

void TFileBrowser::ListView1DblClick() {
    const QModelIndex i = CurrentView()->currentIndex();
    if (!i.isValid() || !CurrentView()->selectionModel()->isSelected(i)) return;
    if (!model_->Entries()[static_cast<size_t>(i.row())].isFolder) return;
    OpenFolderPath(model_->PathOf(i.row()));
}

std::optional<commands::BrowserItem> TFileBrowser::SelectedItem() const {
    const QModelIndex i = CurrentView()->currentIndex();
    if (!i.isValid() || !CurrentView()->selectionModel()->isSelected(i)) return std::nullopt;
    const browser::TFileEntry& e = model_->Details(i.row());
    return commands::BrowserItem{path_, e.displayName, e.size, e.dateText};
}

void TFileBrowser::Drive1Change(int index) {
    if (index < 0 || static_cast<size_t>(index) >= volumes_.size()) return;
    // The directory list moves to the drive, which lists it.
    ShowTree(volumes_[static_cast<size_t>(index)].root);
    DirectoryListBox1Change(volumes_[static_cast<size_t>(index)].root);
}

void TFileBrowser::DirectoryListBox1Change(const std::string& folder) { OpenFolderPath(folder); }

void TFileBrowser::ShowTree(const std::string& folder) {
    tree_->clear();
    const int volume = browser::VolumeOf(volumes_, folder);
    if (volume < 0) return;
    const browser::Volume& v = volumes_[static_cast<size_t>(volume)];
    auto* item = new QStandardItem(QString::fromStdString(v.label));
    item->setData(QString::fromStdString(v.root), kPathRole);
    item->appendRow(new QStandardItem);  // filled when opened
    tree_->appendRow(item);
    // Down the tree to the folder, one name at a time.
    const std::string target = browser::WithSeparator(Normalized(folder));
    std::string at = v.root;
    while (item) {
        directoryList_->setCurrentIndex(item->index());
        if (at == target) break;
        directoryList_->expand(item->index());  // fills its children
        const size_t next = target.find('/', at.size());
        if (next == std::string::npos) break;
        at = target.substr(0, next + 1);
        QStandardItem* child = nullptr;
        for (int r = 0; r < item->rowCount() && !child; ++r)
            if (item->child(r)->data(kPathRole).toString().toStdString() == at) child = item->child(r);
        item = child;
    }
}

void TFileBrowser::FillChildren(QStandardItem* item) {
    if (!item || item->rowCount() != 1 || item->child(0)->data(kPathRole).isValid()) return;
    item->removeRow(0);
    const std::string folder = item->data(kPathRole).toString().toStdString();
    std::vector<browser::TFileEntry> subfolders;
    if (browser::ReadFolder(folder, &subfolders, true) != 0) return;
    for (const browser::TFileEntry& e : subfolders) {
        if (e.attributes & browser::kHidden) continue;
        auto* child = new QStandardItem(QString::fromStdString(e.displayName));
        child->setData(QString::fromStdString(folder + e.displayName + "/"), kPathRole);
        child->appendRow(new QStandardItem);
        item->appendRow(child);
    }
}
