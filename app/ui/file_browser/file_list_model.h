// The file list's model: the browsed folder's TFileEntry records in display
// order. Details (size, date, attributes, type name, icon) are fetched for an
// entry when a view first asks for one of them, so a view that draws only
// its visible rows fetches only those.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <string>
#include <vector>

#include "browser/file_entry.h"

// What a drag from the file list carries; the drop reads the browser's selection.
inline constexpr const char* kBrowserDragFormat = "application/x-sonmira-browser-entry";

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kName, kSize, kType, kDate, kAttributes, kColumns };

    explicit FileListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // A new listing. `roots`, when not empty, gives each entry's own path (the
    // top level's volumes); otherwise an entry's path is `folder` + its name.
    void SetEntries(std::vector<browser::TFileEntry> entries, std::string folder, std::vector<std::string> roots = {});
    const std::vector<browser::TFileEntry>& Entries() const { return entries_; }
    const std::string& Folder() const { return folder_; }
    // The path of entry `row`.
    std::string PathOf(int row) const;

    // ListView1DataHint: the details of rows first..last, when both are listed.
    void FetchDetails(int first, int last);
    // How many entries have had their details fetched since the last listing.
    size_t FetchedCount() const { return fetched_; }
    // Entry `row` with its details, fetching them the first time.
    const browser::TFileEntry& Details(int row) const;
    // The type name of entry `row` (fetched on demand).
    QString TypeName(int row) const;

    // Until this is called the entries' icons are blank, of the right size:
    // the desktop's icon theme loads image plug-ins and parses theme indexes,
    // which the browser calls for once the main window is on the screen.
    void ShowThemeIcons();
    bool ThemeIconsShown() const { return themeIcons_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    struct TypeInfo {
        QString name;
        QString iconName, genericIconName;  // the MIME type's names in the icon theme
        bool folder = false;
        QIcon icon;  // from the theme, once asked for after ShowThemeIcons
    };
    int TypeIndexFor(const browser::TFileEntry& e) const;
    QIcon IconOf(int typeIndex) const;

    mutable std::vector<browser::TFileEntry> entries_;
    std::string folder_;
    std::vector<std::string> roots_;
    mutable size_t fetched_ = 0;
    // Type names and icons, one per MIME type, kept across listings.
    mutable QHash<QString, int> typeSlots_;
    mutable std::vector<TypeInfo> types_;
    bool themeIcons_ = false;
};
