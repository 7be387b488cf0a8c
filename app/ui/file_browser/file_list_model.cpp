#include "file_browser/file_list_model.h"

#include <QApplication>
#include <QColor>
#include <QMimeData>
#include <QMimeDatabase>
#include <QStyle>

#include "browser/folder_listing.h"

namespace {

// The captions, with their blanks.
const char* const kCaptions[FileListModel::kColumns] = {"      文件名称", "文件大小", " 文件类型", "修改日期",
                                                        "    属 性"};

}  // namespace

void FileListModel::SetEntries(std::vector<browser::TFileEntry> entries, std::string folder,
                               std::vector<std::string> roots) {
    beginResetModel();
    entries_ = std::move(entries);
    folder_ = std::move(folder);
    roots_ = std::move(roots);
    fetched_ = 0;
    endResetModel();
}

std::string FileListModel::PathOf(int row) const {
    const size_t r = static_cast<size_t>(row);
    if (r < roots_.size()) return roots_[r];
    return folder_ + entries_[r].displayName;
}

void FileListModel::FetchDetails(int first, int last) {
    if (first < 0 || first > last || last >= rowCount()) return;
    for (int r = first; r <= last; ++r) Details(r);
}

const browser::TFileEntry& FileListModel::Details(int row) const {
    browser::TFileEntry& e = entries_[static_cast<size_t>(row)];
    if (e.needsDetails) {
        browser::FetchEntryDetails(PathOf(row), e);
        e.typeIndex = TypeIndexFor(e);
        ++fetched_;
    }
    return e;
}

int FileListModel::TypeIndexFor(const browser::TFileEntry& e) const {
    // By name only: opening each file to sniff its content is what makes a
    // large folder slow.
    static const QMimeDatabase db;
    const QMimeType mime =
        e.isFolder ? db.mimeTypeForName("inode/directory")
                   : db.mimeTypeForFile(QString::fromStdString(e.displayName), QMimeDatabase::MatchExtension);
    const auto found = typeSlots_.constFind(mime.name());
    if (found != typeSlots_.cend()) return *found;
    TypeInfo t;
    t.name = mime.comment();
    t.iconName = mime.iconName();
    t.genericIconName = mime.genericIconName();
    t.folder = e.isFolder;
    types_.push_back(std::move(t));
    const int slot = static_cast<int>(types_.size()) - 1;
    typeSlots_.insert(mime.name(), slot);
    return slot;
}

QIcon FileListModel::IconOf(int typeIndex) const {
    if (!themeIcons_) {
        static const QIcon blank = [] {
            QIcon icon;
            for (int side : {16, 32}) {
                QPixmap clear(side, side);
                clear.fill(Qt::transparent);
                icon.addPixmap(clear);
            }
            return icon;
        }();
        return blank;
    }
    TypeInfo& t = types_[static_cast<size_t>(typeIndex)];
    if (t.icon.isNull()) {
        t.icon = QIcon::fromTheme(t.iconName, QIcon::fromTheme(t.genericIconName));
        if (t.icon.isNull())
            t.icon = QApplication::style()->standardIcon(t.folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    }
    return t.icon;
}

void FileListModel::ShowThemeIcons() {
    if (themeIcons_) return;
    themeIcons_ = true;
    if (rowCount() > 0) emit dataChanged(index(0, kName), index(rowCount() - 1, kName), {Qt::DecorationRole});
}

QString FileListModel::TypeName(int row) const {
    const browser::TFileEntry& e = Details(row);
    return e.typeIndex >= 0 ? types_[static_cast<size_t>(e.typeIndex)].name : QString();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int row = index.row();
    const browser::TFileEntry& listed = entries_[static_cast<size_t>(row)];
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case kName: return QString::fromStdString(listed.displayName);
                case kSize: return QString::fromStdString(browser::SizeColumnText(Details(row)));
                case kType: return TypeName(row);
                case kDate: return QString::fromStdString(Details(row).dateText);
                case kAttributes: return QString::fromStdString(browser::AttributeLetters(Details(row).attributes));
            }
            return {};
        case Qt::DecorationRole:
            if (index.column() != kName) return {};
            Details(row);
            return IconOf(listed.typeIndex);
        case Qt::ForegroundRole:
            // Hidden is known from the name, so drawing grey needs no details.
            if (listed.attributes & browser::kHidden) return QColor(128, 128, 128);
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() >= kSize && index.column() <= kDate) return int(Qt::AlignCenter);
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        default: return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kCaptions[section]);
    if (role == Qt::TextAlignmentRole)
        return int((section == kAttributes ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList FileListModel::mimeTypes() const { return {kBrowserDragFormat}; }

QMimeData* FileListModel::mimeData(const QModelIndexList&) const {
    auto* data = new QMimeData;
    data->setData(kBrowserDragFormat, {});
    return data;
}
