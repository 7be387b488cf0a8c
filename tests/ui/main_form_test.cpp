// The main window as a user drives it: menus, short-cuts, gestures and the
// window's own rules, reaching the core's commands. Message boxes are
// answered by a scripted prompt, file dialogs by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolBar>
#include <filesystem>

#include "list_grid.h"
#include "fake_mixer.h"
#include "main_form.h"
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
    ScriptedPrompt prompt_{MsgAnswer::No};
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
    prompt_.answers = {MsgAnswer::Yes};
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

TEST_F(MainFormTest, eachButtonRunsTheSameCommandAsItsMenuItem) {
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
        for (const char* name : {p.button, p.item}) {
            if (!name) continue;
            calls_.clear();
            prompt_.Clear();
            QAction* a = p.button == name ? bar->findChild<QAction*>(name) : form_->findChild<QAction*>(name);
            ASSERT_NE(a, nullptr) << name;
            a->trigger();
            EXPECT_EQ(calls_, p.calls) << name;
            EXPECT_EQ(prompt_.Texts(), p.texts) << name;
        }
    }
    bar->findChild<QAction*>("ToolButton4")->trigger();
    Find<QAction>("C3")->trigger();
    EXPECT_EQ(settings_, 2);
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
    auto* tb2 = Find<QToolBar>("ToolBar1")->findChild<QAction*>("ToolButton2");
    auto* tb3 = Find<QToolBar>("ToolBar1")->findChild<QAction*>("ToolButton3");
    auto* tb5 = Find<QToolBar>("ToolBar1")->findChild<QAction*>("ToolButton5");
    EXPECT_TRUE(n4->isChecked());
    EXPECT_TRUE(tb5->isChecked());
    n2->trigger();
    EXPECT_EQ(form_->Style(), TMainForm::ViewStyle::SmallIcons);
    EXPECT_TRUE(tb3->isChecked());
    EXPECT_FALSE(tb2->isChecked() || tb5->isChecked());
    tb2->trigger();
    EXPECT_EQ(form_->Style(), TMainForm::ViewStyle::LargeIcons);
    EXPECT_TRUE(n1->isChecked());
    EXPECT_FALSE(n2->isChecked() || n4->isChecked());
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
    prompt_.answers = {MsgAnswer::Yes};
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
