// The file browser pane: the volume list Drive1, the folder tree
// DirectoryListBox1 and the file list ListView1 over one FileListModel.
// The namespace is the Linux one of volumes.h: a top level of volumes above
// each volume's real folder tree.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/list_commands.h"
#include "messages/user_prompt.h"
#include "browser/volumes.h"

class QAbstractItemView;
class QComboBox;
class QListView;
class QSocketNotifier;
class QStackedWidget;
class QStandardItem;
class QStandardItemModel;
class QTreeView;
class FileListModel;

class TFileBrowser : public QObject {
    Q_OBJECT
public:
    enum class Style { LargeIcons, SmallIcons, Details };

    explicit TFileBrowser(messages::IUserPrompt& ui, QObject* parent = nullptr);
    ~TFileBrowser() override;

    // The three controls, for the window to place (it takes them over).
    QComboBox* Drive1() const { return drive1_; }
    QTreeView* DirectoryListBox1() const { return directoryList_; }
    QWidget* ListView1() const;

    // Lists `folder` (the working folder at start-up); the drive and
    // directory lists move there too.
    void Start(const std::string& folder);
    void SetStyle(Style style);
    Style CurrentStyle() const { return style_; }

    // Lists a folder path; "" is the top level. A folder that cannot be
    // listed goes to the general error box and the listing stays.
    bool OpenFolderPath(const std::string& path);
    // Backspace: one level up (the top level at a volume's root).
    void ToolButton14Click();  // up one folder; the main window's ToolButton14 saves the project
    // Double click and Enter: opens the selected entry when it is a folder.
    void ListView1DblClick();
    // The drop's view of the selected entry; nullopt when none is selected.
    std::optional<commands::BrowserItem> SelectedItem() const;
    // The current folder's path with separator ("" at the top level).
    const std::string& PathWithSeparator() const { return path_; }
    FileListModel* Model() const { return model_; }
    QAbstractItemView* CurrentView() const;
    // Re-reads the mount table into Drive1.
    void RefreshVolumes();

protected:
    // The file list's first paint lets the icon theme in (FileListModel::ShowThemeIcons).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DirectoryListBox1Change(const std::string& folder);
    void Drive1Change(int index);
    void ShowTree(const std::string& folder);
    void FillChildren(QStandardItem* item);

    messages::IUserPrompt& ui_;
    std::vector<browser::Volume> volumes_;
    std::string path_;
    Style style_ = Style::Details;
    FileListModel* model_ = nullptr;
    QComboBox* drive1_ = nullptr;
    QTreeView* directoryList_ = nullptr;
    QStandardItemModel* tree_ = nullptr;
    QStackedWidget* listView1_ = nullptr;
    QListView* icons_ = nullptr;
    QTreeView* details_ = nullptr;
    QSocketNotifier* mountWatch_ = nullptr;
    int mountsFd_ = -1;
};
