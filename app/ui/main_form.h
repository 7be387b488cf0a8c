// TMainForm: the main window, the one place every command is reached from.
// Each handler calls the core's function for its command and shows what it
// changed; messages go through the IUserPrompt it is given.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <vector>

#include "runs/aux_mode.h"
#include "dialogs/file_dialogs.h"
#include "commands/list_commands.h"
#include "audio/media_player.h"
#include "commands/project_commands.h"
#include "messages/user_prompt.h"
#include "commands/workspace.h"
#include "file_browser/file_browser.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeView;
class ListGrid;
class ListModel;
class RulerPanel;
class QtPrompt;
class TAboutBox1;
class TfrmPath;
class TFrmedit;
class TFrmwWait;
class TFrmwPalyCount;
class VerifyFlow;
class TFrmVal;
namespace audio {
class IMixer;
class VolumeControl;
}  // namespace audio

// The dialogs of the list, the runs and the volume, made by the start-up
// after the main window; a test attaches only those it drives.
struct RunDialogs {
    TFrmedit* frmedit = nullptr;
    TFrmwWait* frmwWait = nullptr;
    TFrmwPalyCount* frmwPalyCount = nullptr;
    TFrmVal* frmVal = nullptr;
};

// What the main window needs from outside: the configuration and the
// program's folder (as the start-up finds them), and the seams tests replace.
struct MainFormSetup {
    std::string configPath;                   // Sonmira.INI
    std::string programDir;                   // with a trailing '/'
    std::string chipTablePath;                // sound.dat
    messages::IUserPrompt* prompt = nullptr;  // nullptr: message boxes
    std::optional<FileDialogs> dialogs;       // unset: Qt's file dialogs
    audio::IMixer* mixer = nullptr;           // output volume; nullptr: the machine's own (ALSA)
    std::function<void()> afterCreation;      // called when the creation steps are done (tests)
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(MainFormSetup setup, QWidget* parent = nullptr);
    ~TMainForm() override;

    commands::Workspace& Workspace() { return w_; }
    // The file list's view style: the browser's, which the View menu's
    // items (and their buttons) show.
    TFileBrowser::Style Style() const { return browser_->CurrentStyle(); }
    int AuxModeValue() const { return aux_.value; }
    // The list, the selectors and the ruler show the workspace again.
    void ShowWorkspace();

    // The smallest size the window takes.
    static constexpr int kMinWidth = 600;
    static constexpr int kMinHeight = 480;
    static bool FormCanResize(int width, int height) { return width >= kMinWidth && height >= kMinHeight; }

    // Commands of the command map, by their handlers' names.
    void F0Click();            // new
    void F2Click();            // open
    void F3Click();            // save
    void F4Click();            // save as
    void X1Click();            // exit
    void C1Click();            // add a file
    void D1Click();            // delete the selected segment
    void E2Click();            // segment properties
    void C3Click();            // settings
    void O2Click();            // external editor
    void H2Click();            // help
    void ToolButton12Click();  // about
    void SetViewStyle(TFileBrowser::Style style);
    void CheckAutoClick();
    void ComProgramClick(int index);
    void ComChipClick(int index);
    void StringGridDblClick();
    void ToolButton8Click();       // download
    void EaddExit();               // leaving the play address box
    void ToolButton9Click();       // pulse play
    void ToolButton20Click();      // continuous play
    void VerifyChipClick();        // 校验芯片
    void VerifySettingsClick();    // 校验设置...
    void ToolButton19Click();      // volume
    void ToolButtonAUXRecClick();  // AUX recording mode on or off
    void StringGridDragDrop(const QMimeData* mime);
    TFileBrowser* Browser() const { return browser_; }
    VerifyFlow& Verification() { return *verify_; }

    // Opens a project as Open does, without the dialog (the command line's project).
    void OpenProjectFile(const std::string& path);

    // The dialogs the start-up makes after the main window, each once.
    void AttachDialogs(TAboutBox1* about, TfrmPath* settings);
    void AttachRunDialogs(const RunDialogs& dialogs) { runDialogs_ = dialogs; }
    // Stands in for the help viewer in tests; unset, F1 opens the help file.
    std::function<void()> onHelp;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    QWidget* BuildHeaderStrip();
    QWidget* BuildBrowserArea();
    QWidget* BuildListPane();
    void BuildPopupMenu();
    // A command's one action, wherever it is placed (menu, tool bar, pop-up menu).
    QAction* Action(const char* name, const QString& text, const QKeySequence& key, void (TMainForm::*handler)());
    // Places `command` on the tool bar as the button `name`; the button's
    // state changes without a click (a screen reader's toggle, setChecked)
    // go to the action.
    QToolButton* PlaceOnToolBar(QAction* command, const char* name);
    commands::SaveAsDialog SaveAs();
    void FillSelectors();
    void ShowPlayStart();
    commands::PropertiesDialog Properties();
    void MakeVolumeControl(audio::IMixer* mixer);
    // The one place each checkable state is set: every way of changing it
    // (a click, a key, a screen reader's toggle, setChecked) comes here.
    void SetAuxMode(bool on);
    void ViewStyleToggled(TFileBrowser::Style style, bool on);
    // Makes the View menu's item for `style`: in the one view-style group,
    // checked when its style is the one shown, its changes going to
    // ViewStyleToggled. Its tool button shows this same action.
    QAction* ViewStyleItem(const char* name, const QString& text, TFileBrowser::Style style);
    QAction* StyleItem(TFileBrowser::Style style) const;
    // Makes `a` checkable with `apply` run on each change of its state.
    void Checkable(QAction* a, std::function<void(bool)> apply);
    // The button's text and accessible name; its tool tip also names its key.
    void ShowHint(QAction* a, const QString& hint);

    commands::Workspace w_;
    std::unique_ptr<QtPrompt> ownPrompt_;
    messages::IUserPrompt* ui_;
    FileDialogs dialogs_;
    audio::CMyMediaPlayer player_;
    bool closed_ = false;
    bool shown_ = false;

    TAboutBox1* about_ = nullptr;
    TfrmPath* frmPath_ = nullptr;
    RunDialogs runDialogs_;
    runs::AuxModeState aux_;
    QToolBar* toolBar1_ = nullptr;  // made after the menus
    QAction* auxRec_ = nullptr;
    // The main menu's items whose keys come before a text box's own use of them.
    std::vector<QAction*> menuKeys_;
    // The main menu's items that the tool bar or the pop-up menu show too.
    struct {
        QAction* open = nullptr;        // F2
        QAction* save = nullptr;        // F3
        QAction* add = nullptr;         // C1
        QAction* remove = nullptr;      // D1
        QAction* properties = nullptr;  // E2
        QAction* settings = nullptr;    // C3
        QAction* about = nullptr;       // About1
        QAction* verify = nullptr;      // Verify1
    } items_;
    std::unique_ptr<VerifyFlow> verify_;
    std::unique_ptr<audio::IMixer> ownMixer_;
    std::unique_ptr<audio::VolumeControl> volume_;
    ListModel* model_ = nullptr;
    ListGrid* grid_ = nullptr;
    RulerPanel* ruler_ = nullptr;
    QComboBox* comProgram_ = nullptr;
    QComboBox* comChip_ = nullptr;
    QCheckBox* checkAuto_ = nullptr;
    QComboBox* drive1_ = nullptr;
    QLineEdit* eadd_ = nullptr;
    TFileBrowser* browser_ = nullptr;
    QWidget* listView1_ = nullptr;
    QTreeView* directoryList_ = nullptr;
    QMenu* popup_ = nullptr;
    // The View menu's items N1, N2, N4 by style (their buttons ToolButton2,
    // ToolButton3, ToolButton5 show the same actions), in one exclusive group.
    QActionGroup* viewStyles_ = nullptr;
    std::array<QAction*, 3> styleItems_{};
};
