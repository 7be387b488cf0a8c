// The main window as a user drives it: menus, short-cuts, gestures and the
// window's own rules, reaching the core's commands. Message boxes are
// answered by a scripted prompt, file dialogs by the test.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>

#include "art/art.h"
#include "file_browser/file_browser.h"
#include "list_grid.h"
#include "fake_mixer.h"
#include "main_form.h"
#include "dialogs/qt_prompt.h"
#include "scripted_prompt.h"
#include "test_files.h"
#include "window_setup.h"

namespace fs = std::filesystem;

namespace {

const std::string kSm1Gbk = "SM-1 \xb1\xe0\xb3\xcc\xc6\xf7";

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::CopyInstallData(home_);
        MainFormSetup setup = test_support::WindowSetup(home_, &prompt_, &mixer_);
        FileDialogs d;
        d.openProject = [this] {
            calls_.push_back("open dialog");
            return openChoice_;
        };
        d.saveProject = [this](const std::string& proposed) {
            calls_.push_back("save dialog " + proposed.substr(0, 2));
            return std::optional<std::string>();
        };
        d.addFile = [this] {
            calls_.push_back("add dialog");
            return std::optional<std::string>();
        };
        setup.dialogs = d;
        form_ = std::make_unique<TMainForm>(setup);
        // The settings, editor and about commands are counted where they start.
        form_->onHelp = [this] { calls_.push_back("help"); };
        QObject::connect(form_->findChild<QAction*>("C3"), &QAction::triggered, [this] { ++settings_; });
        QObject::connect(form_->findChild<QAction*>("O2"), &QAction::triggered, [this] { ++edits_; });
        QObject::connect(form_->findChild<QAction*>("About1"), &QAction::triggered,
                         [this] { calls_.push_back("about"); });
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }
    void TearDown() override {
        prompt_.answers.clear();
        form_.reset();
    }
    // A project of two rows, opened through Ctrl+O.
    void OpenTwoRows() {
        const std::string rows =
            "1,\xca\xc7,0X0000,0X0009,a.wav,1200,1KB,.wav,t,/x/a.wav,/x/a.wav,\r\n"
            "1,\xca\xc7,0X000A,0X000F,b.wav,700,1KB,.wav,t,/x/b.wav,/x/b.wav,\r\n";
        test_support::WriteBytes(home_ / "p.QWF", "V1.0,20261208,wendaloprist," + kSm1Gbk + ",SV020A,\r\n" + rows);
        openChoice_ = home_ / "p.QWF";
        QTest::keyClick(form_.get(), Qt::Key_O, Qt::ControlModifier);
        ASSERT_EQ(form_->Workspace().list.UsedCount(), 2);
    }
    template <class T>
    T* Find(const char* name) const {
        T* w = form_->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    const test_support::TempDir home_;
    ScriptedPrompt prompt_{messages::MsgAnswer::No};
    test_support::FakeMixer mixer_;
    std::unique_ptr<TMainForm> form_;
    std::optional<std::string> openChoice_;
    int settings_ = 0, edits_ = 0;
    std::vector<std::string> calls_;
};

}  // namespace

TEST_F(MainFormTest, shortCutsReachTheirCommandsWhereTheyShould) {
    OpenTwoRows();
    // Ctrl+C in the play address box opens the settings and copies nothing.
    auto* eadd = Find<QLineEdit>("Eadd");
    QApplication::clipboard()->setText("before");
    eadd->setFocus();
    eadd->selectAll();
    QTest::keyClick(eadd, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(settings_, 1);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");

    // Ctrl+P and Ctrl+E only while the grid has the focus.
    auto* grid = Find<ListGrid>("StringGrid");
    auto* files = Find<QWidget>("ListView1");
    files->setFocus();
    QTest::keyClick(files, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(edits_, 0);
    grid->setFocus();
    grid->SelectRow(5);  // a row without a segment: properties says so
    QTest::keyClick(grid, Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(edits_, 1);
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"没有语音文件！"});

    // Delete held down (repeating) deletes once, on the release.
    prompt_.Clear();
    prompt_.answers = {messages::MsgAnswer::Yes};
    grid->SelectRow(1);
    QTest::keyPress(grid, Qt::Key_Delete);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(grid, &repeatRelease);
    QTest::keyPress(grid, Qt::Key_Delete);
    QTest::keyRelease(grid, Qt::Key_Delete);
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"是否删除 'a.wav' ?"});
    EXPECT_EQ(form_->Workspace().list.UsedCount(), 1);
    EXPECT_EQ(form_->Workspace().list.Cell(1, 5), "b.wav");
}

TEST_F(MainFormTest, eachButtonRunsTheSameCommandAsItsMenuItemThroughItsOneAction) {
    struct Pair {
        const char* button;
        const char* item;
        std::vector<std::string> calls;
        std::vector<std::string> texts;
    };
    const std::vector<Pair> pairs = {
        {"ToolButton16", "F2", {"open dialog"}, {}},
        {"ToolButton14", "F3", {"save dialog QV"}, {}},
        {nullptr, "F4", {"save dialog QV"}, {}},
        {"ToolButton13", "C1", {"add dialog"}, {}},
        {"ToolButton11", "E2", {}, {"没有语音文件！"}},
        {"ToolButton12", "About1", {"about"}, {}},
        {nullptr, "H2", {"help"}, {}},
    };
    auto* bar = Find<QToolBar>("ToolBar1");
    for (const Pair& p : pairs) {
        auto* item = Find<QAction>(p.item);
        ASSERT_NE(item, nullptr) << p.item;
        if (p.button) {
            auto* button = bar->findChild<QToolButton*>(p.button);
            ASSERT_NE(button, nullptr) << p.button;
            EXPECT_EQ(button->defaultAction(), item) << p.button;
            EXPECT_EQ(bar->widgetForAction(item), button) << p.button;
            calls_.clear();
            prompt_.Clear();
            button->click();
            EXPECT_EQ(calls_, p.calls) << p.button;
            EXPECT_EQ(prompt_.Texts(), p.texts) << p.button;
        }
        calls_.clear();
        prompt_.Clear();
        item->trigger();
        EXPECT_EQ(calls_, p.calls) << p.item;
        EXPECT_EQ(prompt_.Texts(), p.texts) << p.item;
    }
    auto* settingsButton = bar->findChild<QToolButton*>("ToolButton4");
    EXPECT_EQ(settingsButton->defaultAction(), Find<QAction>("C3"));
    settingsButton->click();
    Find<QAction>("C3")->trigger();
    EXPECT_EQ(settings_, 2);
    // The delete button is the menu's delete item too; the pop-up menu's
    // properties item runs the one properties action.
    EXPECT_EQ(bar->findChild<QToolButton*>("ToolButton7")->defaultAction(), Find<QAction>("D1"));
    int properties = 0;
    QObject::connect(Find<QAction>("E2"), &QAction::triggered, [&properties] { ++properties; });
    Find<QAction>("P1")->trigger();
    EXPECT_EQ(properties, 1);
    // No action of the window is a tool button's second one.
    for (QAction* a : form_->findChildren<QAction*>())
        EXPECT_FALSE(a->objectName().startsWith("ToolButton") && !bar->widgetForAction(a))
            << a->objectName().toStdString();
}

TEST_F(MainFormTest, readingAChipPutsItsLowestStartIntoThePlayAddressBox) {
    auto* eadd = Find<QLineEdit>("Eadd");
    EXPECT_EQ(eadd->text(), "0000");
    form_->ComChipClick(3);  // SV030B starts at 0x10
    EXPECT_EQ(eadd->text(), "0010");
    eadd->setText("0020");
    form_->ComChipClick(0);
    EXPECT_EQ(eadd->text(), "0000");
}

TEST_F(MainFormTest, viewStyleMenuAndButtonsStayInStep) {
    auto* n2 = Find<QAction>("N2");
    auto* n1 = Find<QAction>("N1");
    auto* n4 = Find<QAction>("N4");
    auto* tb2 = Find<QToolButton>("ToolButton2");
    auto* tb3 = Find<QToolButton>("ToolButton3");
    auto* tb5 = Find<QToolButton>("ToolButton5");
    EXPECT_EQ(tb2->defaultAction(), n1);
    EXPECT_EQ(tb3->defaultAction(), n2);
    EXPECT_EQ(tb5->defaultAction(), n4);
    EXPECT_EQ(n1->actionGroup(), n4->actionGroup());
    EXPECT_TRUE(n4->isChecked());
    EXPECT_TRUE(tb5->isChecked());
    n2->trigger();
    EXPECT_EQ(form_->Style(), TFileBrowser::Style::SmallIcons);
    EXPECT_TRUE(tb3->isChecked());
    EXPECT_FALSE(tb2->isChecked() || tb5->isChecked());
    tb2->click();
    EXPECT_EQ(form_->Style(), TFileBrowser::Style::LargeIcons);
    EXPECT_TRUE(n1->isChecked());
    EXPECT_FALSE(n2->isChecked() || n4->isChecked());

    // The buttons keep their own hints, images and names while the items'
    // state changes under them.
    auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    const std::vector<std::tuple<QToolButton*, QString, int>> looks = {
        {tb2, "大图标", 2}, {tb3, "小图标", 3}, {tb5, "祥细资料", 7}};
    for (const auto& [button, hint, icon] : looks) {
        EXPECT_EQ(button->toolTip(), hint);
        EXPECT_EQ(button->accessibleName(), hint);
        EXPECT_EQ(image(button->icon()), image(ImageListIcon(icon))) << hint.toStdString();
    }
    EXPECT_EQ(n1->text(), "大图标(&G)");
    EXPECT_TRUE(n1->icon().isNull());
}

TEST_F(MainFormTest, checkableButtonsChangedWithoutAClickKeepEverythingInStep) {
    auto* bar = Find<QToolBar>("ToolBar1");
    auto button = [&](const char* name) { return bar->findChild<QToolButton*>(name); };
    // What a screen reader's "Toggle" does to a tool button.
    auto toggle = [&](const char* name) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(button(name));
        ASSERT_TRUE(i && i->actionInterface()) << name;
        i->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    struct Shown {
        TFileBrowser::Style style;
        const char *item, *down;
    };
    auto expect = [&](const Shown& e) {
        EXPECT_EQ(form_->Style(), e.style);
        EXPECT_EQ(form_->Browser()->CurrentStyle(), e.style);
        for (const char* name : {"N1", "N2", "N4"}) EXPECT_EQ(Find<QAction>(name)->isChecked(), name == e.item) << name;
        for (const char* name : {"ToolButton2", "ToolButton3", "ToolButton5"}) {
            EXPECT_EQ(button(name)->isChecked(), name == e.down) << name;
            EXPECT_EQ(button(name)->toolTip(), button(name)->accessibleName()) << name;
        }
    };
    const Shown small{TFileBrowser::Style::SmallIcons, "N2", "ToolButton3"};
    toggle("ToolButton3");
    expect(small);
    toggle("ToolButton3");  // the style shown cannot be toggled away
    expect(small);
    button("ToolButton5")->setChecked(true);
    expect({TFileBrowser::Style::Details, "N4", "ToolButton5"});
    Find<QAction>("N1")->setChecked(true);
    expect({TFileBrowser::Style::LargeIcons, "N1", "ToolButton2"});

    auto* aux = Find<QAction>("ToolButtonAUXRec");
    auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    auto expectAux = [&](bool on) {
        EXPECT_EQ(form_->AuxModeValue(), on ? kAuxModeOn : kAuxModeOff);
        EXPECT_EQ(aux->isChecked(), on);
        EXPECT_EQ(button("ToolButtonAUXRec")->isChecked(), on);
        const QString hint = on ? "关闭AUX录音模式" : "启用AUX录音模式";
        EXPECT_EQ(aux->toolTip(), hint + " (F8)");
        EXPECT_EQ(button("ToolButtonAUXRec")->accessibleName(), hint);
        EXPECT_EQ(image(aux->icon()), image(ImageListIcon(on ? 22 : 23)));
    };
    toggle("ToolButtonAUXRec");
    expectAux(true);
    aux->setChecked(false);
    expectAux(false);
    button("ToolButtonAUXRec")->setChecked(true);
    expectAux(true);
}

TEST_F(MainFormTest, theToolBarsOwnCommandsAreInKeyboardReach) {
    std::map<std::string, int> runs;
    for (const char* name : {"ToolButton8", "ToolButton9", "ToolButton20", "ToolButton19"})
        QObject::connect(Find<QAction>(name), &QAction::triggered, [&runs, name] { ++runs[name]; });
    Find<QLineEdit>("Eadd")->setText("FFFF");  // pulse play stops at the address, before any port
    for (int key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F9}) QTest::keyClick(form_.get(), Qt::Key(key));
    EXPECT_EQ(runs, (std::map<std::string, int>{
                        {"ToolButton8", 1}, {"ToolButton9", 1}, {"ToolButton20", 1}, {"ToolButton19", 1}}));
    QTest::keyClick(form_.get(), Qt::Key_F8);
    EXPECT_EQ(form_->AuxModeValue(), kAuxModeOn);
    // Each key is named in its button's tool tip.
    const std::map<std::string, QString> tips = {{"ToolButton8", "下载录音 (F5)"},
                                                 {"ToolButton9", "脉冲触发播放 (F6)"},
                                                 {"ToolButton20", "连续播放 (F7)"},
                                                 {"ToolButton19", "Wav音量设置 (F9)"},
                                                 {"ToolButton16", "打开语音数据文件"}};
    for (const auto& [name, tip] : tips) EXPECT_EQ(Find<QToolButton>(name.c_str())->toolTip(), tip) << name;

    // Enter in the play address box plays from it: the address is checked first.
    prompt_.Clear();
    auto* eadd = Find<QLineEdit>("Eadd");
    eadd->setFocus();
    eadd->setText("FFFF");
    QTest::keyClick(eadd, Qt::Key_Return);
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"播放地址，不能大于0X009F"});
}

TEST_F(MainFormTest, sizeLimitAndRulerFollowingTheWidthAtOnce) {
    form_->resize(599, 480);
    QApplication::processEvents();
    EXPECT_GE(form_->width(), 600);
    form_->resize(600, 480);
    QApplication::processEvents();
    EXPECT_EQ(form_->size(), QSize(600, 480));
    EXPECT_FALSE(TMainForm::FormCanResize(599, 480));
    EXPECT_FALSE(TMainForm::FormCanResize(600, 479));

    // A gauge of 786 pixels: the marks at their places.
    auto* ruler = Find<QWidget>("Panel3");
    const QWidget* gauge = Find<QWidget>("CGauge");
    ruler->resize(786 + ruler->width() - gauge->width(), ruler->height());
    ASSERT_EQ(gauge->width(), 786);
    EXPECT_EQ(Find<QLabel>("L2")->x(), 39);
    EXPECT_EQ(Find<QLabel>("LT2")->x(), 70);
    EXPECT_EQ(Find<QLabel>("LT6")->x(), 379);
    EXPECT_EQ(Find<QLabel>("LT11")->x(), 756);

    form_->resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(Find<QLabel>("LT11")->x(), gauge->width() - 30);
    EXPECT_EQ(Find<QLabel>("L21")->x(), gauge->width() - 2);
}

TEST_F(MainFormTest, closingRunsTheExitRoutineOnceAndStoresTheChoices) {
    OpenTwoRows();
    prompt_.answers = {messages::MsgAnswer::Yes};
    Find<ListGrid>("StringGrid")->SelectRow(2);
    form_->D1Click();  // modified
    form_->ComChipClick(2);
    prompt_.Clear();
    Find<QAction>("X1")->trigger();  // the save question, answered No by the script's end
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"是否保存所作的修改？"});
    const std::string ini = test_support::ReadBytes(home_ / "Sonmira.INI");
    EXPECT_NE(ini.find("ComProgram=0"), std::string::npos);
    EXPECT_NE(ini.find("ComChip=2"), std::string::npos);
    form_->close();
    EXPECT_EQ(prompt_.Texts().size(), 1u);
}

namespace {

// The start-up's boxes answered by script; the save question in a real box.
class RealSaveQuestion : public messages::IUserPrompt {
public:
    explicit RealSaveQuestion(QWidget* owner) : box_(owner) {}
    messages::MsgAnswer Ask(const std::string& text, const std::string& caption, messages::MsgIcon icon,
                            messages::MsgButtons buttons) override {
        if (buttons != messages::MsgButtons::YesNoCancel) return script_.Ask(text, caption, icon, buttons);
        return box_.Ask(text, caption, icon, buttons);
    }

private:
    ScriptedPrompt script_{messages::MsgAnswer::No};
    QtPrompt box_;
};

}  // namespace

TEST(MainFormExit, escapeOnTheSaveQuestionKeepsTheWindowOpenWithItsList) {
    // The program's own translation of Qt's buttons.
    QTranslator qtTexts;
    ASSERT_TRUE(qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QApplication::installTranslator(&qtTexts);
    const test_support::TempDir home;
    test_support::CopyInstallData(home);
    test_support::FakeMixer mixer;
    RealSaveQuestion prompt(nullptr);
    TMainForm form(test_support::WindowSetup(home, &prompt, &mixer));
    rig::PutRow(form.Workspace().list, 1, true, "0X0000", "a.wav", 300, "/x/a.wav");
    form.Workspace().modified = true;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    QString text;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    form.findChild<QAction*>("X1")->trigger();
    QApplication::removeTranslator(&qtTexts);
    EXPECT_EQ(text, "是否保存所作的修改？");
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"取消", "否(&N)", "是(&Y)"}));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Workspace().list.UsedCount(), 1);
    EXPECT_TRUE(form.Workspace().modified);
    EXPECT_TRUE(form.Workspace().config);  // the exit routine did not run
}
