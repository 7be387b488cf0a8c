#include "main_form.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QMimeData>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "dialogs/about_box.h"
#include "audio/alsa_mixer.h"
#include "aux_button.h"
#include "art/art.h"
#include "commands/volume_commands.h"
#include "browser/dropped_file.h"
#include "commands/editor_commands.h"
#include "file_browser/file_browser.h"
#include "file_browser/file_list_model.h"
#include "commands/help_command.h"
#include "dialogs/hex_key_filter.h"
#include "commands/list_commands.h"
#include "list_grid.h"
#include "text/numbers.h"
#include "list/play_address.h"
#include "dialogs/play_count_dialog.h"
#include "runs/playback_commands.h"
#include "commands/project_commands.h"
#include "dialogs/qt_prompt.h"
#include "ruler_panel.h"
#include "runs/run_problems.h"
#include "dialogs/run_progress_dialog.h"
#include "dialogs/segment_dialog.h"
#include "commands/download_inputs.h"
#include "runs/download_command.h"
#include "dialogs/settings_dialog.h"
#include "tool_button_look.h"
#include "verify_flow.h"
#include "tool_keys.h"
#include "ui_font.h"
#include "audio/volume.h"
#include "dialogs/volume_dialog.h"

namespace {

QLabel* BlueLabel(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    l->setPalette(p);
    return l;
}

QLabel* IconLabel(int index, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setPixmap(HeaderIcon(static_cast<HeaderIconId>(index)).pixmap(16, 16));
    return l;
}

// A strip of the given height with its widgets from the left.
QWidget* Strip(const char* name, int height, std::initializer_list<QWidget*> widgets, QWidget* parent) {
    auto* strip = new QFrame(parent);
    strip->setObjectName(name);
    strip->setFixedHeight(height);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(4);
    for (QWidget* w : widgets) {
        w->setParent(strip);
        row->addWidget(w);
    }
    row->addStretch(1);
    return strip;
}

}  // namespace

TMainForm::TMainForm(MainFormSetup setup, QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle("语音编程器");
    setFont(SongFont(12));
    if (setup.prompt) {
        ui_ = setup.prompt;
    } else {
        ownPrompt_ = std::make_unique<QtPrompt>(this);
        ui_ = ownPrompt_.get();
    }
    dialogs_ = setup.dialogs ? *setup.dialogs : QtFileDialogs(this);
    verify_ = std::make_unique<VerifyFlow>(this, *ui_);
    browser_ = new TFileBrowser(*ui_, this);

    BuildMenus();
    BuildToolBar();
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildHeaderStrip());
    auto* splitter2 = new QSplitter(Qt::Vertical, central);
    splitter2->setObjectName("Splitter2");
    splitter2->setHandleWidth(2);
    splitter2->setChildrenCollapsible(false);
    splitter2->addWidget(BuildBrowserArea());
    splitter2->addWidget(BuildListPane());
    splitter2->setStretchFactor(0, 1);
    splitter2->setStretchFactor(1, 0);
    column->addWidget(splitter2, 1);
    setCentralWidget(central);
    BuildPopupMenu();

    // Declared to the window manager, so the desktop itself keeps the window
    // from getting smaller.
    setMinimumSize(kMinWidth, kMinHeight);
    resize(800, 581);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    splitter2->setSizes({581 - 335, 335});
    // The main menu's short-cuts come before the focused control's own use of the keys.
    qApp->installEventFilter(this);

    // The creation steps: configuration, the programmer type with its driver, the chip.
    w_.lengthOf = commands::LengthThroughPlayer(player_);
    commands::StartUp(w_, std::make_unique<files::CIniFile>(setup.configPath), setup.programDir, setup.chipTablePath,
                      *ui_);
    MakeVolumeControl(setup.mixer);
    commands::ApplyVolumeAtStart(w_, *volume_);
    FillSelectors();
    ShowWorkspace();
    ShowPlayStart();
    browser_->Start(QDir::currentPath().toStdString());
    if (setup.afterCreation) setup.afterCreation();
}

TMainForm::~TMainForm() { qApp->removeEventFilter(this); }

QAction* TMainForm::Action(const char* name, const QString& text, const QKeySequence& key,
                           void (TMainForm::*handler)()) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    if (handler) connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    addAction(a);
    return a;
}

void TMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* file = bar->addMenu("文件(&F)");
    QAction* newProject = Action("F0", "新建(&N)", QKeySequence("Ctrl+N"), &TMainForm::F0Click);
    items_.open = Action("F2", "打开(&O)", QKeySequence("Ctrl+O"), &TMainForm::F2Click);
    items_.save = Action("F3", "保存(&S)", QKeySequence("Ctrl+S"), &TMainForm::F3Click);
    QAction* exit = Action("X1", "退出(&X)", QKeySequence("Ctrl+X"), &TMainForm::X1Click);
    file->addAction(newProject);
    file->addSeparator();
    file->addAction(items_.open);
    file->addAction(items_.save);
    file->addAction(Action("F4", "另存为(&A)", {}, &TMainForm::F4Click));
    file->addSeparator();
    file->addAction(exit);

    QMenu* edit = bar->addMenu("编辑(&E)");
    items_.add = Action("C1", "增加(&A)", QKeySequence("Ctrl+A"), &TMainForm::C1Click);
    items_.remove = Action("D1", "删除(&D)", {}, &TMainForm::D1Click);
    items_.properties = Action("E2", " 文件属性", {}, &TMainForm::E2Click);
    items_.settings = Action("C3", "设置(&C)", QKeySequence("Ctrl+C"), &TMainForm::C3Click);
    items_.verify = Action("Verify1", "校验芯片(&K)", QKeySequence("Ctrl+K"), &TMainForm::VerifyChipClick);
    QAction* verifySettings = Action("Verify2", "校验设置(&Y)...", {}, &TMainForm::VerifySettingsClick);
    edit->addAction(items_.add);
    edit->addAction(items_.remove);
    edit->addSeparator();
    edit->addAction(items_.properties);
    edit->addAction(items_.verify);
    edit->addAction(verifySettings);
    edit->addSeparator();
    edit->addAction(items_.settings);

    QMenu* view = bar->addMenu("查看(&V)");
    viewStyles_ = new QActionGroup(this);
    view->addAction(ViewStyleItem("N1", "大图标(&G)", TFileBrowser::Style::LargeIcons));
    view->addAction(ViewStyleItem("N2", "小图标(&S)", TFileBrowser::Style::SmallIcons));
    view->addAction(ViewStyleItem("N4", "详细资料(&D)", TFileBrowser::Style::Details));

    QMenu* help = bar->addMenu("帮助(&H)");
    QAction* manual = Action("H2", " 操作帮助(&H)", QKeySequence(Qt::Key_F1), &TMainForm::H2Click);
    help->addAction(manual);
    help->addSeparator();
    items_.about = Action("About1", "关于Sonmira语音编程器(&A)", {}, &TMainForm::ToolButton12Click);
    help->addAction(items_.about);
    menuKeys_ = {newProject, items_.open, items_.save, exit, items_.settings, items_.add, items_.verify, manual};
}

void TMainForm::BuildToolBar() {
    QToolBar* bar = addToolBar("ToolBar1");
    bar->setObjectName("ToolBar1");
    toolBar1_ = bar;
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(29);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    auto gap = [bar](int px) {
        auto* g = new QWidget(bar);
        g->setFixedWidth(px);
        bar->addWidget(g);
    };
    // A command of the tool bar alone: its action is the button, named like
    // it; `key` reaches it from the keyboard, as Tab never does.
    auto tool = [this](const char* name, const char* hint, int icon, void (TMainForm::*handler)(),
                       const QKeySequence& key) {
        QAction* a = Action(name, QString::fromUtf8(hint), key, handler);
        a->setIcon(ImageListIcon(icon));
        PlaceOnToolBar(a, name);
        ShowHint(a, QString::fromUtf8(hint));
        return a;
    };
    // A menu command on the tool bar: the menu item's action, shown by a
    // button with its own hint and image.
    auto shown = [this](QAction* command, const char* name, const char* hint, int icon) {
        KeepOwnLook(PlaceOnToolBar(command, name), QString::fromUtf8(hint), ImageListIcon(icon));
    };
    drive1_ = browser_->Drive1();
    bar->addWidget(drive1_);
    gap(40);
    auto* label3 = BlueLabel("0X", bar);
    label3->setObjectName("Label3");
    QFont f = SongFont(14);
    label3->setFont(f);
    bar->addWidget(label3);
    eadd_ = new QLineEdit("0", bar);
    eadd_->setObjectName("Eadd");
    eadd_->setAccessibleName("播放开始地址");
    eadd_->setToolTip("播放开始地址");
    eadd_->setFixedWidth(58);
    eadd_->setMaxLength(list::kMaxChars);
    eadd_->installEventFilter(new HexKeyFilter(&list::KeyPasses, eadd_));
    // Enter in the address box plays from that address.
    connect(eadd_, &QLineEdit::returnPressed, this, &TMainForm::ToolButton9Click);
    bar->addWidget(eadd_);
    tool("ToolButton9", "脉冲触发播放", 13, &TMainForm::ToolButton9Click, ui::kPulsePlayKey);
    tool("ToolButton20", "连续播放", 21, &TMainForm::ToolButton20Click, ui::kContinuousPlayKey);
    gap(8);
    tool("ToolButton8", "下载录音", 12, &TMainForm::ToolButton8Click, ui::kDownloadKey);
    shown(items_.verify, "ToolButtonVerify", "校验芯片", 24);
    auxRec_ =
        tool("ToolButtonAUXRec", ui::AuxButtonHint(aux_), ui::AuxButtonImageIndex(aux_), nullptr, ui::kAuxModeKey);
    Checkable(auxRec_, [this](bool on) { SetAuxMode(on); });
    gap(8);
    tool("ToolButton19", "Wav音量设置", 20, &TMainForm::ToolButton19Click, ui::kVolumeKey);
    shown(items_.settings, "ToolButton4", "系统设置", 16);
    gap(16);
    shown(items_.open, "ToolButton16", "打开语音数据文件", 10);
    // ToolButton14 saves here; the file browser's ToolButton14Click goes up a folder.
    shown(items_.save, "ToolButton14", "保存语音数据文件", 17);
    gap(8);
    shown(items_.add, "ToolButton13", "增加语音文件", 18);
    shown(items_.properties, "ToolButton11", "编辑语音文件", 19);
    shown(items_.remove, "ToolButton7", "删除语音文件", 5);
    gap(8);
    shown(StyleItem(TFileBrowser::Style::LargeIcons), "ToolButton2", "大图标", 2);
    shown(StyleItem(TFileBrowser::Style::SmallIcons), "ToolButton3", "小图标", 3);
    shown(StyleItem(TFileBrowser::Style::Details), "ToolButton5", "祥细资料", 7);
    gap(8);
    shown(items_.about, "ToolButton12", "关于", 1);
}

QToolButton* TMainForm::PlaceOnToolBar(QAction* command, const char* name) {
    toolBar1_->addAction(command);
    auto* button = qobject_cast<QToolButton*>(toolBar1_->widgetForAction(command));
    button->setObjectName(name);
    // A tool button checked without a click (a screen reader's toggle,
    // setChecked) would otherwise go down while its action stays up; the
    // action's own changes come back to the button.
    connect(button, &QAbstractButton::toggled, command, &QAction::setChecked);
    return button;
}

QWidget* TMainForm::BuildHeaderStrip() {
    comProgram_ = new QComboBox;
    comProgram_->setObjectName("ComProgram");
    comProgram_->setAccessibleName("编程器");
    comProgram_->setFixedWidth(145);
    comChip_ = new QComboBox;
    comChip_->setObjectName("ComChip");
    comChip_->setAccessibleName("语音芯片");
    comChip_->setFixedWidth(145);
    connect(comProgram_, QOverload<int>::of(&QComboBox::activated), this, &TMainForm::ComProgramClick);
    connect(comChip_, QOverload<int>::of(&QComboBox::activated), this, &TMainForm::ComChipClick);
    return Strip("Panel4", 21,
                 {IconLabel(0, nullptr), new QLabel("   文件管理器"), BlueLabel("编程器", nullptr), comProgram_,
                  BlueLabel("语音芯片", nullptr), comChip_},
                 nullptr);
}

QWidget* TMainForm::BuildBrowserArea() {
    auto* splitter1 = new QSplitter(Qt::Horizontal);
    splitter1->setObjectName("Splitter1");
    splitter1->setHandleWidth(2);
    splitter1->setChildrenCollapsible(false);
    auto* treePanel = new QFrame;
    treePanel->setObjectName("TreeViewPanel");
    auto* treeLayout = new QVBoxLayout(treePanel);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    directoryList_ = browser_->DirectoryListBox1();
    treeLayout->addWidget(directoryList_);
    auto* listPanel = new QFrame;
    listPanel->setObjectName("ListViewPanel");
    auto* listLayout = new QVBoxLayout(listPanel);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listView1_ = browser_->ListView1();
    listLayout->addWidget(listView1_);
    splitter1->addWidget(treePanel);
    splitter1->addWidget(listPanel);
    splitter1->setStretchFactor(1, 1);
    splitter1->setSizes({161, 639});
    return splitter1;
}

QWidget* TMainForm::BuildListPane() {
    auto* pane = new QFrame;
    pane->setObjectName("TabPanel");
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    checkAuto_ = new QCheckBox("自动配置编程地址");
    checkAuto_->setObjectName("CheckAuto");
    checkAuto_->setAccessibleName("自动配置编程地址");
    connect(checkAuto_, &QCheckBox::clicked, this, &TMainForm::CheckAutoClick);
    column->addWidget(Strip("Panel1", 21, {IconLabel(1, nullptr), new QLabel("   选择文件列表"), checkAuto_}, pane));
    model_ = new ListModel(w_.list, this);
    grid_ = new ListGrid(model_, pane);
    grid_->onDeleteReleased = [this] { D1Click(); };
    grid_->onDoubleClick = [this] { StringGridDblClick(); };
    grid_->onDrop = [this](const QMimeData* mime) { StringGridDragDrop(mime); };
    column->addWidget(grid_, 1);
    ruler_ = new RulerPanel(pane);
    column->addWidget(ruler_);
    return pane;
}

void TMainForm::BuildPopupMenu() {
    popup_ = new QMenu(grid_);
    popup_->setObjectName("PopupMenu1");
    // The pop-up menu's own items, with keys only while the grid has the
    // focus (and there before the main menu's).
    auto local = [this](const char* name, const char* text, const char* key) {
        auto* a = new QAction(QString::fromUtf8(text), grid_);
        a->setObjectName(name);
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WidgetShortcut);
        grid_->addAction(a);
        return a;
    };
    QAction* o2 = local("O2", "编辑(&E)", "Ctrl+E");
    connect(o2, &QAction::triggered, this, &TMainForm::O2Click);
    popup_->addAction(o2);
    popup_->setDefaultAction(o2);
    popup_->addSeparator();
    // The main menu's own actions, so one short-cut serves both.
    popup_->addAction(items_.add);
    popup_->addAction(items_.remove);
    popup_->addSeparator();
    // The properties command under the pop-up menu's own text and its
    // grid-only key Ctrl+P, run through the command's one action (E2).
    QAction* p1 = local("P1", "属性(&P)", "Ctrl+P");
    connect(p1, &QAction::triggered, items_.properties, &QAction::trigger);
    popup_->addAction(p1);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(grid_->viewport()->mapToGlobal(at)); });
}

void TMainForm::FillSelectors() {
    const QSignalBlocker a(comProgram_), b(comChip_);
    comProgram_->clear();
    for (const std::string& p : w_.programmers) comProgram_->addItem(QString::fromStdString(p));
    comProgram_->setCurrentIndex(w_.programmerIndex);
    comChip_->clear();
    for (const std::string& c : w_.chips) comChip_->addItem(QString::fromStdString(c));
    comChip_->setCurrentIndex(w_.chipIndex);
}

void TMainForm::ShowWorkspace() {
    model_->Refresh();
    checkAuto_->setChecked(w_.autoAddressing);
    ruler_->ApplyCapacity(w_.chip.capacity);
    ruler_->ShowExtent(w_.extent);
    if (comProgram_->currentIndex() != w_.programmerIndex || comChip_->count() != static_cast<int>(w_.chips.size()) ||
        comChip_->currentIndex() != w_.chipIndex)
        FillSelectors();
}

commands::SaveAsDialog TMainForm::SaveAs() {
    return [this](const std::string& proposed) { return dialogs_.saveProject(proposed); };
}

void TMainForm::F0Click() {
    commands::NewProject(w_, *ui_, SaveAs());
    ShowWorkspace();
}

void TMainForm::F2Click() {
    const std::optional<std::string> chosen = dialogs_.openProject();
    if (!chosen) return;
    OpenProjectFile(*chosen);
}

void TMainForm::OpenProjectFile(const std::string& path) {
    if (commands::OpenProject(w_, *ui_, path)) ShowPlayStart();
    ShowWorkspace();
}

void TMainForm::ShowPlayStart() {
    // Each chip profile read puts the chip's lowest start into the play address box.
    const std::string text = text::AddrText(w_.chip.lowest);
    eadd_->setText(QString::fromStdString(text.rfind("0X", 0) == 0 ? text.substr(2) : text));
}

void TMainForm::F3Click() {
    commands::SaveProject(w_, *ui_, SaveAs());
    ShowWorkspace();
}

void TMainForm::F4Click() {
    commands::SaveProjectAs(w_, *ui_, SaveAs());
    ShowWorkspace();
}

void TMainForm::X1Click() { close(); }

void TMainForm::C1Click() {
    commands::AddFile(w_, *ui_, dialogs_.addFile(), Properties());
    ShowWorkspace();
}

void TMainForm::D1Click() {
    if (commands::DeleteSegment(w_, *ui_, grid_->SelectedRow())) ShowWorkspace();
}

void TMainForm::E2Click() {
    commands::EditSegment(w_, *ui_, grid_->SelectedRow(), Properties());
    ShowWorkspace();
}

void TMainForm::StringGridDblClick() {
    commands::GridDoubleClick(
        w_, *ui_, grid_->SelectedRow(), [this] { return dialogs_.addFile(); }, Properties());
    ShowWorkspace();
}

commands::PropertiesDialog TMainForm::Properties() {
    return [this](list::SegmentForm& form) {
        if (!runDialogs_.frmedit) return false;
        return runDialogs_.frmedit->Run(
            form, [this](const list::SegmentForm& f) { return commands::PropertiesOk(w_, f, *ui_); });
    };
}

void TMainForm::ToolButton8Click() {
    TFrmwWait* dialog = runDialogs_.frmwWait;
    if (!dialog) return;
    const runs::DownloadInputs in = commands::DownloadInputsOf(w_, aux_.value, &player_);
    auto job = std::make_shared<runs::RecJob>();
    if (runs::DownloadCommand(in, *ui_, dialog->View(), job.get()) != runs::CommandEnd::OpenDialog) return;
    dialog->PrepareClip(QString::fromStdString(w_.programDir + "qv.dat"));
    auto summary = std::make_shared<runs::RecSummary>();
    // The worker's last act, on its own thread: the account of what the chip
    // did not get is given on the window's thread, also after a cancel.
    // 下载后校验 follows only a run that reached every marked row (no
    // cancel) without overflow.
    auto tell = [this, summary, dialog](runs::RecThread::End) {
        QMetaObject::invokeMethod(
            this,
            [this, summary, dialog] {
                runs::ShowRunProblems(*ui_, *summary);
                if (verify_->DueAfterRun(w_, *summary, dialog->Run().Overflow())) VerifyChipClick();
            },
            Qt::QueuedConnection);
    };
    dialog->ShowModal([dialog, job, tell, summary] {
        return runs::StartRecThread(dialog->Run(), std::move(*job), dialog->View(), tell, summary.get());
    });
}

void TMainForm::VerifyChipClick() { verify_->Verify(w_); }

void TMainForm::VerifySettingsClick() { verify_->Settings(w_); }

void TMainForm::StringGridDragDrop(const QMimeData* mime) {
    const commands::PropertiesDialog dialog = Properties();
    if (mime->hasFormat(kBrowserDragFormat)) {
        commands::DropItem(w_, *ui_, browser_->SelectedItem(), dialog);
    } else {
        // Files from another program, each through the same drop step.
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile())
                commands::DropItem(w_, *ui_, browser::DroppedFileItem(url.toLocalFile().toStdString()), dialog);
    }
    ShowWorkspace();
}

void TMainForm::EaddExit() {
    std::string box = eadd_->text().toStdString();
    list::LeaveBox(box, w_.chip.lowest, *ui_);
    eadd_->setText(QString::fromStdString(box));
}

void TMainForm::ToolButton9Click() {
    std::string box = eadd_->text().toStdString();
    runs::PulsePlayCommand(box, w_.chip, &w_.drivers, *ui_);
    eadd_->setText(QString::fromStdString(box));
}

void TMainForm::ToolButton20Click() {
    TFrmwPalyCount* dialog = runDialogs_.frmwPalyCount;
    if (!dialog) return;
    std::string box = eadd_->text().toStdString();
    runs::PlayJob job;
    const runs::CommandEnd end = runs::ContinuousPlayCommand(box, w_.list, w_.chip, &w_.drivers, *ui_, &job);
    eadd_->setText(QString::fromStdString(box));
    if (end == runs::CommandEnd::OpenDialog) dialog->ShowModal(std::move(job));
}

void TMainForm::MakeVolumeControl(audio::IMixer* mixer) {
    if (!mixer) {
        ownMixer_ = std::make_unique<audio::AlsaMixer>();
        mixer = ownMixer_.get();
    }
    volume_ = std::make_unique<audio::VolumeControl>(*mixer);
}

void TMainForm::ToolButton19Click() {
    TFrmVal* dialog = runDialogs_.frmVal;
    if (!dialog) return;
    commands::VolumeCommand(w_, *volume_, [dialog](int* position) { return dialog->Run(position); });
}

void TMainForm::ToolButtonAUXRecClick() { SetAuxMode(!aux_.Pressed()); }

void TMainForm::SetAuxMode(bool on) {
    aux_.value = on ? kAuxModeOn : kAuxModeOff;
    // Checking the action comes back here with the same value, and stops.
    auxRec_->setChecked(on);
    auxRec_->setIcon(ImageListIcon(ui::AuxButtonImageIndex(aux_)));
    ShowHint(auxRec_, QString::fromUtf8(ui::AuxButtonHint(aux_)));
}

void TMainForm::ShowHint(QAction* a, const QString& hint) {
    a->setText(hint);
    a->setToolTip(ui::HintWithKey(hint, a->shortcut()));
    if (QWidget* w = toolBar1_ ? toolBar1_->widgetForAction(a) : nullptr) w->setAccessibleName(hint);
}

void TMainForm::Checkable(QAction* a, std::function<void(bool)> apply) {
    a->setCheckable(true);
    connect(a, &QAction::toggled, this, std::move(apply));
}

void TMainForm::AttachDialogs(TAboutBox1* about, TfrmPath* settings) {
    about_ = about;
    frmPath_ = settings;
}

void TMainForm::C3Click() {
    if (frmPath_) RunSettingsCommand(*frmPath_, w_);
}

void TMainForm::O2Click() { commands::RunEditCommand(w_, *ui_, grid_->SelectedRow()); }

void TMainForm::H2Click() {
    if (onHelp)
        onHelp();
    else
        commands::OpenHelpFile(*ui_, w_.programDir);
}

void TMainForm::ToolButton12Click() {
    if (about_) ShowAboutBox(*about_);
}

QAction* TMainForm::StyleItem(TFileBrowser::Style style) const { return styleItems_[static_cast<size_t>(style)]; }

void TMainForm::SetViewStyle(TFileBrowser::Style style) {
    browser_->SetStyle(style);
    // Checking the style's item unchecks the others in its group, and their
    // buttons follow; the toggles that come back find the style already set.
    StyleItem(style)->setChecked(true);
}

QAction* TMainForm::ViewStyleItem(const char* name, const QString& text, TFileBrowser::Style style) {
    QAction* a = Action(name, text, {}, nullptr);
    styleItems_[static_cast<size_t>(style)] = a;
    viewStyles_->addAction(a);
    Checkable(a, [this, style](bool on) { ViewStyleToggled(style, on); });
    a->setChecked(style == Style());
    return a;
}

void TMainForm::ViewStyleToggled(TFileBrowser::Style style, bool on) {
    if (on && style != Style()) SetViewStyle(style);
    // One style is always shown: the current one unchecked with no other
    // checked in its stead (a toggle, setChecked(false)) is checked again.
    // The group checks the new item before it unchecks the old one (and
    // forgets its checked action while it does, so the items are asked).
    if (!on && style == Style()) {
        const QList<QAction*> items = viewStyles_->actions();
        if (std::none_of(items.begin(), items.end(), [](const QAction* i) { return i->isChecked(); }))
            SetViewStyle(style);
    }
}

void TMainForm::CheckAutoClick() { commands::SetAutoAddressing(w_, checkAuto_->isChecked()); }

void TMainForm::ComProgramClick(int index) {
    commands::SelectProgrammer(w_, index, *ui_);
    FillSelectors();
    ShowWorkspace();
    ShowPlayStart();
}

void TMainForm::ComChipClick(int index) {
    commands::SelectChip(w_, index, *ui_);
    ShowWorkspace();
    ShowPlayStart();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // The exit routine runs once; a wish to save that was not fulfilled keeps the window open.
    if (!closed_ && !commands::CloseMainWindow(w_, *ui_, SaveAs())) {
        event->ignore();
        return;
    }
    closed_ = true;
    event->accept();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The path column takes what the grid's first width leaves, once.
    if (!shown_) grid_->LayOutColumns();
    shown_ = true;
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The ruler follows the new width at once, not at the next resize.
    ruler_->LayOut();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the box for another control of this window; not when another
    // window (a message box, a dialog) or a pop-up takes the focus.
    if (watched == eadd_ && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) EaddExit();
    }
    // A text box takes Ctrl+C and Ctrl+X for itself; in this window the main
    // menu's short-cuts come first.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(key->keyCombination());
            for (const QAction* a : menuKeys_) {
                if (a->shortcut() == pressed && !(a == items_.add && widget == grid_)) {
                    event->ignore();
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
