// Chip playback from the main window's tool bar: the play address box's key
// filter and leave rule, pulse play, and continuous play under the play-count
// dialog, against the module simulator.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "fake_mixer.h"
#include "main_form.h"
#include "dialogs/play_count_dialog.h"
#include "run_rig.h"
#include "scripted_prompt.h"
#include "screen_reader.h"
#include "test_files.h"
#include "window_setup.h"

namespace fs = std::filesystem;

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";
const std::string kSm1Gbk = "SM-1 \xb1\xe0\xb3\xcc\xc6\xf7";

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim_ = std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", "first");
        rig::PointPortsAt(sim_->Path());
        test_support::CopyInstallData(home_);
        MainFormSetup setup = test_support::WindowSetup(home_, &prompt_, &mixer_);
        FileDialogs d;
        d.openProject = [this] { return std::optional<std::string>(home_ / "p.QWF"); };
        setup.dialogs = d;
        form_ = std::make_unique<TMainForm>(setup);
        play_ = new TFrmwPalyCount(form_.get(), &prompt_);
        RunDialogs dialogs;
        dialogs.frmwPalyCount = play_;
        form_->AttachRunDialogs(dialogs);
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        eadd_ = form_->findChild<QLineEdit*>("Eadd");
        ASSERT_NE(eadd_, nullptr);
        QObject::connect(play_->ProgressBar1(), &QProgressBar::valueChanged, [this](int v) {
            const QProgressBar* bar = play_->ProgressBar1();
            seen_.push_back(play_->LabelName()->text().toStdString() + "@" + std::to_string(v) + " of " +
                            std::to_string(bar->minimum()) + ".." + std::to_string(bar->maximum()));
        });
    }
    void TearDown() override {
        form_.reset();
        sim_.reset();
    }
    // Rows of (marked, start, length ms); row n is n.wav, a tone of 100 ms.
    void OpenRows(const std::vector<std::tuple<bool, int, int>>& rows) {
        ASSERT_TRUE(
            test_support::WriteToneProject(home_, "V1.0,20261208,wendaloprist," + kSm1Gbk + ",SV020A,\r\n", rows, 100));
        form_->findChild<QAction*>("F2")->trigger();
        ASSERT_EQ(form_->Workspace().list.UsedCount(), static_cast<int>(rows.size()));
    }
    void Trigger(const char* name) { form_->findChild<QAction*>(name)->trigger(); }
    // Frames of one kind the module received (PlaySegment and PulsePlay: 5A 33).
    std::vector<std::string> Frames(const std::string& head) const { return sim_->RxHexStartingWith(head); }
    // Moves the focus from the box to another control of the window.
    void LeaveBox() {
        eadd_->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(eadd_->hasFocus());
        form_->findChild<QWidget*>("CheckAuto")->setFocus(Qt::MouseFocusReason);
    }

    test_support::TempDir home_{"sonmira-play"};
    ScriptedPrompt prompt_{messages::MsgAnswer::No};
    test_support::FakeMixer mixer_;
    std::unique_ptr<rig::ModSim> sim_;
    std::unique_ptr<TMainForm> form_;
    TFrmwPalyCount* play_ = nullptr;
    QLineEdit* eadd_ = nullptr;
    std::vector<std::string> seen_;
};

TEST_F(PlaybackTest, theAddressBoxTakesHexDigitsOnlyAndLeavingItRaisesALowValue) {
    EXPECT_EQ(eadd_->toolTip(), "播放开始地址");
    eadd_->clear();
    eadd_->setFocus();
    QTest::keyClicks(eadd_, "gx c0C");
    EXPECT_EQ(eadd_->text(), "c0C");
    QTest::keyClick(eadd_, Qt::Key_Backspace);
    EXPECT_EQ(eadd_->text(), "c0");
    QTest::keyClicks(eadd_, "12a");
    EXPECT_EQ(eadd_->text(), "c012");  // four characters at most

    form_->Workspace().chip.lowest = 0x10;
    eadd_->setText("5");
    LeaveBox();
    EXPECT_EQ(eadd_->text(), "0010");
    ASSERT_EQ(prompt_.Boxes().size(), 1u);
    EXPECT_EQ(prompt_.Boxes()[0].text, "对不起，起始地址必须大于等于0x0010");
    EXPECT_EQ(prompt_.Boxes()[0].caption, "系统提示");
    // No upper check on leaving; an empty box is no number.
    prompt_.Clear();
    eadd_->setText("FFFF");
    LeaveBox();
    EXPECT_EQ(eadd_->text(), "FFFF");
    eadd_->clear();
    LeaveBox();
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"'0X' is not a valid integer value."});
    EXPECT_TRUE(Frames("5A").empty());
}

TEST_F(PlaybackTest, pulsePlayChecksTheAddressAndSendsItUnscaled) {
    eadd_->setText("A0");
    Trigger("ToolButton9");
    EXPECT_EQ(eadd_->text(), "009F");
    eadd_->setText("9F");
    Trigger("ToolButton9");
    form_->Workspace().chip.lowest = 0x10;
    eadd_->setText("5");
    Trigger("ToolButton9");
    EXPECT_EQ(eadd_->text(), "0010");
    ASSERT_EQ(prompt_.Boxes().size(), 2u);
    EXPECT_EQ(prompt_.Boxes()[0].text, "播放地址，不能大于0X009F");
    EXPECT_EQ(prompt_.Boxes()[1].text, "播放地址，不能小于0X0010");
    EXPECT_EQ(prompt_.Boxes()[1].caption, "系统提示");
    EXPECT_EQ(Frames("5A 33"), std::vector<std::string>{"5A 33 9F F6"});
    EXPECT_FALSE(play_->isVisible());
}

TEST_F(PlaybackTest, continuousPlayChecksTheListFirstThenTheAddress) {
    eadd_->setText("A0");
    Trigger("ToolButton20");
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"编程列表中没有数据供播放!"});
    EXPECT_EQ(eadd_->text(), "A0");
    OpenRows({{true, 0, 200}});
    EXPECT_EQ(eadd_->text(), "0000");  // the project's chip was read: its lowest start
    eadd_->setText("A0");
    prompt_.Clear();
    Trigger("ToolButton20");
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"播放地址，不能大于0X009F"});
    EXPECT_TRUE(Frames("5A").empty());
    EXPECT_TRUE(seen_.empty());
}

TEST_F(PlaybackTest, continuousPlayShowsTheMarkedRowsPlaysThemAndClosesByItself) {
    OpenRows({{false, 0, 200}, {true, 2, 200}, {false, 4, 200}, {true, 6, 200}});
    Trigger("ToolButton20");  // returns when the dialog has closed
    EXPECT_FALSE(play_->isVisible());
    ASSERT_TRUE(play_->Run().WaitForWorker(30000));
    EXPECT_EQ(play_->windowTitle(), "正在播放......");
    EXPECT_EQ(seen_, (std::vector<std::string>{"2.wav@2 of 0..5", "4.wav@4 of 0..5"}));
    EXPECT_EQ(test_support::Spoken(play_->LabelName()), std::make_pair(std::string("4.wav"), std::string("播放文件")));
    EXPECT_EQ(Frames("5A 33"), (std::vector<std::string>{"5A 33 02 6B", "5A 33 06 6F"}));
    EXPECT_EQ(sim_->RxHex().back(), "5A 66 FF C3");  // EndPlayback
    EXPECT_TRUE(prompt_.Texts().empty());
}

TEST_F(PlaybackTest, cancelHidesTheDialogAtOnceAndThePlaybackEndsAfterTheSegment) {
    OpenRows({{true, 0, 4000}, {true, 0x40, 200}});
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] {
        if (play_->isVisible() && !Frames("5A 33").empty()) QTest::mouseClick(play_->Button1(), Qt::LeftButton);
    });
    poll.start(20);
    Trigger("ToolButton20");
    poll.stop();
    EXPECT_FALSE(play_->isVisible());
    ASSERT_TRUE(play_->Run().WaitForWorker(30000));
    EXPECT_EQ(Frames("5A 33"), std::vector<std::string>{"5A 33 00 69"});
    EXPECT_EQ(sim_->RxHex().back(), "5A 66 FF C3");
    EXPECT_TRUE(prompt_.Texts().empty());
}

}  // namespace
