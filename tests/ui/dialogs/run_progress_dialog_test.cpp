// The programming progress dialog: its view carrying the worker's updates
// over to the user-interface thread, the release of a waiting update by the
// close step, and whole runs from the download button against the module
// simulator with the sound played into a synchronised fake sink.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <chrono>
#include <filesystem>
#include <thread>

#include "fake_mixer.h"
#include "main_form.h"
#include "dialogs/run_progress_dialog.h"
#include "run_rig.h"
#include "scripted_prompt.h"
#include "screen_reader.h"
#include "test_files.h"
#include "window_setup.h"

namespace fs = std::filesystem;

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";
const std::string kSm1Gbk = "SM-1 \xb1\xe0\xb3\xcc\xc6\xf7";

// Waits without running the event loop, so only another thread can make `done` true.
template <class F>
bool WaitWithoutEvents(F done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

TEST(RunProgressView, updatesAreCarriedOutOnTheUiThreadAndACloseReleasesOneThatWaits) {
    ScriptedPrompt prompt(messages::MsgAnswer::Ok);
    TFrmwWait dialog(nullptr, &prompt);
    EXPECT_EQ(dialog.windowTitle(), "正在编程......");
    EXPECT_EQ(dialog.size(), QSize(388, 129));
    EXPECT_EQ(dialog.Animate1()->size(), QSize(260, 40));
    EXPECT_EQ(dialog.ProgressBar1()->size(), QSize(273, 16));
    EXPECT_EQ(dialog.Button1()->text(), "取消");

    // Armed: the worker's update is made by the event loop, then the worker goes on.
    dialog.View().Arm();
    std::atomic<bool> done{false};
    std::thread first([&] {
        dialog.View().SetStatus("<b>Tom & Jerry</b>.wav", 7);
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done.load(), 30000);
    first.join();
    // Shown and read as it is named: no markup, no '&' taken for a mnemonic.
    EXPECT_EQ(dialog.LabelName()->text(), "<b>Tom & Jerry</b>.wav");
    EXPECT_EQ(dialog.LabelName()->textFormat(), Qt::PlainText);
    // A screen reader hears the file in work, then what it is.
    EXPECT_EQ(test_support::Spoken(dialog.LabelName()),
              std::make_pair(std::string("<b>Tom & Jerry</b>.wav"), std::string("编程文件")));
    EXPECT_EQ(dialog.ProgressBar1()->value(), 7);

    // A worker waits in an update while the user-interface thread, which alone
    // could carry it out, cancels: the close step must not wait on it.
    dialog.ProgressBar1()->setRange(0, 100);
    ASSERT_TRUE(dialog.Run().Show([&] {
        dialog.View().SetStatus("late.wav", 50);
        dialog.View().SetCaption("late");
    }));
    ASSERT_TRUE(WaitWithoutEvents([&] { return dialog.View().Waiting() == 1; }));
    dialog.Button1()->click();
    EXPECT_FALSE(dialog.Run().Running());
    EXPECT_TRUE(WaitWithoutEvents([&] { return !dialog.Run().WorkerAlive(); }));
    EXPECT_EQ(dialog.View().Waiting(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.LabelName()->text(), "<b>Tom & Jerry</b>.wav");
    EXPECT_EQ(dialog.windowTitle(), "正在编程......");
    EXPECT_TRUE(prompt.Texts().empty());
}

TEST(RunProgressView, theClipIsShippedAndAMissingOneLeavesTheAreaBlank) {
    QMovie clip(QString::fromStdString(kOut + "qv.dat"), "gif");
    ASSERT_TRUE(clip.isValid());
    EXPECT_EQ(clip.frameCount(), 18);
    ASSERT_TRUE(clip.jumpToFrame(0));
    EXPECT_EQ(clip.currentImage().size(), QSize(260, 40));
    // The wave's colour somewhere on the left, the chip's outline on the right.
    EXPECT_EQ(clip.currentImage().pixelColor(196, 20), QColor(0x10, 0x10, 0x10));

    ScriptedPrompt prompt(messages::MsgAnswer::Ok);
    TFrmwWait dialog(nullptr, &prompt);
    dialog.PrepareClip("/nonexistent/qv.dat");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.Clip()->state(), QMovie::NotRunning);
    EXPECT_TRUE(dialog.Animate1()->pixmap().isNull());
    dialog.hide();
    dialog.PrepareClip(QString::fromStdString(kOut + "qv.dat"));
    dialog.show();
    EXPECT_EQ(dialog.Clip()->state(), QMovie::Running);
    EXPECT_EQ(dialog.Clip()->currentFrameNumber(), 0);
    dialog.hide();
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SONMIRA_AUDIO_SINK", "fakesink sync=true", 1);
        setenv("SONMIRA_PLAY_LOG", (home_ / "play.log").c_str(), 1);
        sim_ = std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", Module(), SimOptions());
        rig::PointPortsAt(sim_->Path());
        test_support::CopyInstallData(home_, {"Sonmira.INI", "sound.dat", "qv.dat"});
        form_ = test_support::ShowDownloadWindow(home_, &prompt_, &mixer_, &wait_);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        QObject::connect(wait_, &QWidget::windowTitleChanged,
                         [this](const QString& t) { seen_.push_back("caption:" + t.toStdString()); });
        QObject::connect(wait_->ProgressBar1(), &QProgressBar::valueChanged, [this](int v) {
            seen_.push_back("status:" + wait_->LabelName()->text().toStdString() + "@" + std::to_string(v));
        });
    }
    void TearDown() override {
        form_.reset();
        sim_.reset();
    }
    virtual std::string Module() const { return "first"; }
    virtual std::vector<std::string> SimOptions() const { return {}; }
    virtual std::string Header() const { return "V1.0,20261208,wendaloprist," + kSm1Gbk + ",SV020A,\r\n"; }
    // Rows of (marked, start, tone length); row n plays n.wav.
    void OpenRows(const std::vector<std::tuple<bool, int, int>>& rows) {
        ASSERT_TRUE(test_support::WriteToneProject(home_, Header(), rows));
        form_->findChild<QAction*>("F2")->trigger();
        ASSERT_EQ(form_->Workspace().list.UsedCount(), static_cast<int>(rows.size()));
    }
    void Download() { form_->findChild<QAction*>("ToolButton8")->trigger(); }
    std::vector<std::string> RecordFrames() const { return sim_->RxHexStartingWith("5A 11"); }
    std::vector<std::string> Played() const {
        std::vector<std::string> out;
        for (const auto& l : rig::Lines(rig::ReadFile(home_ / "play.log")))
            if (rig::JsonField(l, "event") == "first_buffer")
                out.push_back(fs::path(rig::JsonField(l, "file")).filename());
        return out;
    }

    test_support::TempDir home_{"sonmira-download"};
    ScriptedPrompt prompt_{messages::MsgAnswer::Yes};
    test_support::FakeMixer mixer_;
    std::unique_ptr<rig::ModSim> sim_;
    std::unique_ptr<TMainForm> form_;
    TFrmwWait* wait_ = nullptr;
    std::vector<std::string> seen_;
};

TEST_F(DownloadTest, aRunShowsEachSegmentRecordsTheMarkedOnesAndClosesByItself) {
    OpenRows({{true, 0, 300}, {false, 3, 300}, {true, 6, 400}});
    Download();  // returns when the dialog has closed
    EXPECT_FALSE(wait_->isVisible());
    ASSERT_TRUE(wait_->Run().WaitForWorker(30000));
    EXPECT_EQ(seen_, (std::vector<std::string>{"caption:准备编程", "caption:正在编程...", "status:3.wav@750",
                                               "status:编程结束@1150", "caption:编程结束"}));
    EXPECT_EQ(RecordFrames(), (std::vector<std::string>{"5A 11 00 4B", "5A 11 06 4D"}));
    EXPECT_EQ(sim_->RxHex().back(), "5A 66 FF C3");  // EndRecording
    EXPECT_EQ(Played(), (std::vector<std::string>{"1.wav", "3.wav"}));
    EXPECT_TRUE(prompt_.Texts().empty());
}

TEST_F(DownloadTest, cancelDuringTheFirstSoundHidesAtOnceAndANewRunIsRefusedUntilTheWorkerEnds) {
    OpenRows({{true, 0, 4000}, {true, 0x20, 300}});
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] {
        if (wait_->isVisible() && !Played().empty()) QTest::mouseClick(wait_->Button1(), Qt::LeftButton);
    });
    poll.start(20);
    Download();
    poll.stop();
    EXPECT_FALSE(wait_->isVisible());
    EXPECT_TRUE(wait_->Run().WorkerAlive());  // the first sound has most of its 4 s to go
    Download();
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"上一次编程或播放尚未结束，请稍候再试！"});
    ASSERT_TRUE(wait_->Run().WaitForWorker(30000));
    EXPECT_EQ(RecordFrames(), std::vector<std::string>{"5A 11 00 4B"});
    EXPECT_EQ(sim_->RxHex().back(), "5A 66 FF C3");
    EXPECT_EQ(Played(), std::vector<std::string>{"1.wav"});
}

// The module hangs up after row 1's record frame: row 2's record command fails.
class HangUpDownloadTest : public DownloadTest {
protected:
    std::vector<std::string> SimOptions() const override { return {"--hangup-after", "4"}; }
};

TEST_F(HangUpDownloadTest, aRunNamesTheRowsItDidNotRecord) {
    OpenRows({{true, 0, 300}, {true, 3, 300}});
    Download();
    ASSERT_TRUE(wait_->Run().WaitForWorker(60000));
    EXPECT_EQ(RecordFrames(), std::vector<std::string>{"5A 11 00 4B"});
    // Given on the window's thread once the worker has ended.
    QTRY_COMPARE_WITH_TIMEOUT(prompt_.Texts().size(), size_t{1}, 30000);
    EXPECT_EQ(prompt_.Texts()[0], "下列语音段没有录进芯片：\n第2行 2.wav：录音命令100次都没有成功（串口通信错误!）");
    EXPECT_EQ(prompt_.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(prompt_.Boxes()[0].icon, messages::MsgIcon::Information);
}

TEST_F(DownloadTest, anOverflowIsReportedAfterTheCloseAndTheNextRunWithinTheChipSaysNothing) {
    OpenRows({{true, 0, 300}, {true, 0xA0, 300}});
    Download();
    ASSERT_TRUE(wait_->Run().WaitForWorker(30000));
    // Loading says the list is too long, the download asks (answered Yes), the close reports.
    EXPECT_EQ(prompt_.Texts(), (std::vector<std::string>{"编程文件总长度超过芯片容量,请修改！",
                                                         "语音文件总长度超过芯片容量，是否继续？", "编程地址溢出！"}));
    EXPECT_EQ(prompt_.Boxes().back().caption, "系统提示");
    EXPECT_EQ(RecordFrames(), std::vector<std::string>{"5A 11 00 4B"});

    prompt_.Clear();
    OpenRows({{true, 0, 300}});
    Download();
    ASSERT_TRUE(wait_->Run().WaitForWorker(30000));
    EXPECT_TRUE(prompt_.Texts().empty());
}

}  // namespace

// The second module with the AUX button pressed: its AUX record command.
class SecondModuleDownloadTest : public DownloadTest {
protected:
    std::string Module() const override { return "second"; }
    std::string Header() const override {
        return "V1.0,20261208,wendaloprist,SV-2 \xb1\xe0\xb3\xcc\xc6\xf7,SV060V,\r\n";
    }
};

TEST_F(SecondModuleDownloadTest, aRunWithTheAuxButtonPressedByAScreenReaderRecordsInAuxMode) {
    OpenRows({{true, 0, 300}, {true, 3, 300}});
    // A screen reader toggles the button itself, not through a click.
    QWidget* aux =
        form_->findChild<QToolBar*>("ToolBar1")->widgetForAction(form_->findChild<QAction*>("ToolButtonAUXRec"));
    QAccessible::queryAccessibleInterface(aux)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    Download();
    ASSERT_TRUE(wait_->Run().WaitForWorker(30000));
    EXPECT_EQ(sim_->RxHexStartingWith("5A 1A"), (std::vector<std::string>{"5A 1A 00 00 40", "5A 1A 00 03 43"}));
    EXPECT_EQ(Played(), (std::vector<std::string>{"1.wav", "2.wav"}));
    EXPECT_TRUE(prompt_.Texts().empty());
}
