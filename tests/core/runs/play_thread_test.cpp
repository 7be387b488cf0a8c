// Continuous playback and pulse play against the real first-module driver and
// the module simulator.
#include <gtest/gtest.h>

#include <future>
#include <memory>

#include "run_rig.h"
#include "text/numbers.h"
#include "runs/playback_commands.h"
#include "runs/play_thread.h"

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";

class Playback : public ::testing::Test {
protected:
    void SetUp() override {
        sim_ = std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", "first");
        rig::PointPortsAt(sim_->Path());
        ASSERT_EQ(drivers_.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
        chip_.step = 125;
        chip_.lastAddress = 0x9F;
        chip_.capacity = 20000;
    }
    void TearDown() override { dialog_.WaitForWorker(test_support::kWaitMs); }

    runs::PlayThread::End Run(int timeout_ms = 10000) {
        std::string box = text::Hex4(chip_.lowest);
        runs::PlayJob job;
        EXPECT_EQ(runs::ContinuousPlayCommand(box, list_, chip_, &drivers_, prompt_, &job),
                  runs::CommandEnd::OpenDialog);
        std::promise<runs::PlayThread::End> end;
        auto ended = end.get_future();
        t0_ = rig::MonotonicNs();
        EXPECT_TRUE(runs::StartPlayThread(
            dialog_, std::move(job), view_, prompt_, [&end](runs::PlayThread::End e) { end.set_value(e); }, &summary_));
        EXPECT_EQ(ended.wait_for(std::chrono::milliseconds(timeout_ms)), std::future_status::ready);
        t1_ = rig::MonotonicNs();
        return ended.get();
    }
    int64_t ElapsedMs() const { return (t1_ - t0_) / 1000000; }

    files::ChipProfile chip_;
    list::ProgrammingList list_;
    ScriptedPrompt prompt_{messages::MsgAnswer::Yes};
    rig::RecordingView view_;
    std::unique_ptr<rig::ModSim> sim_;
    binding::DriverBinding drivers_;
    runs::RunDialog dialog_{prompt_, std::nullopt};
    int64_t t0_ = 0, t1_ = 0;
    runs::PlaySummary summary_;
};

TEST_F(Playback, playsTheMarkedRowsInOrderAndClosesByItself) {
    rig::PutRow(list_, 1, false, "0X0000", "a.wav", 250, "/x/a.wav");
    rig::PutRow(list_, 2, true, "0X0002", "b.wav", 250, "/x/b.wav");
    rig::PutRow(list_, 3, false, "0X0004", "c.wav", 250, "/x/c.wav");
    rig::PutRow(list_, 4, true, "0X0030", "d.wav", 250, "/x/d.wav");
    EXPECT_EQ(Run(), runs::PlayThread::End::Finished);
    EXPECT_EQ(view_.Events(), (std::vector<std::string>{"range:5", "status:b.wav@2", "status:d.wav@4", "close"}));
    EXPECT_EQ(sim_->WaitRxHex(7), (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A",  // BeginPlayback
                                                            "5A 66 FF C3", "5A 33 02 6B",  // row 2
                                                            "5A 66 FF C3", "5A 33 30 59",  // row 4
                                                            "5A 66 FF C3"}));              // EndPlayback
    EXPECT_GE(ElapsedMs(), 2 * (250 + 100));
    EXPECT_TRUE(prompt_.Texts().empty());
    EXPECT_TRUE(summary_.unplayed.empty());
}

TEST_F(Playback, segmentsTheModuleDidNotPlayAreInTheSummary) {
    // The module hangs up once it has taken row 2's play frame: row 3 is not played.
    sim_ = std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", "first",
                                         std::vector<std::string>{"--hangup-after", "4"});
    rig::PointPortsAt(sim_->Path());
    rig::PutRow(list_, 1, false, "0X0000", "a.wav", 250, "/x/a.wav");
    rig::PutRow(list_, 2, true, "0X0002", "b.wav", 250, "/x/b.wav");
    rig::PutRow(list_, 3, true, "0X0030", "d.wav", 250, "/x/d.wav");
    EXPECT_EQ(Run(), runs::PlayThread::End::Finished);
    EXPECT_EQ(sim_->WaitRxHex(4).back(), "5A 33 02 6B");
    ASSERT_EQ(summary_.unplayed.size(), 1u);
    EXPECT_EQ(summary_.unplayed[0].row, 3);
    EXPECT_EQ(summary_.unplayed[0].file, "d.wav");
    EXPECT_NE(summary_.unplayed[0].code, 0);
    EXPECT_TRUE(prompt_.Texts().empty());  // the dialog shows nothing of it
}

TEST_F(Playback, aSegmentStartingBelowTheLowestAddressIsSkippedWithoutPause) {
    chip_.lowest = 0x10;
    chip_.scale = 2;
    rig::PutRow(list_, 1, true, "0X0007", "low.wav", 3000, "/x/low.wav");  // 14 < 16
    rig::PutRow(list_, 2, true, "0X0008", "ok.wav", 200, "/x/ok.wav");     // 16
    EXPECT_EQ(Run(), runs::PlayThread::End::Finished);
    EXPECT_LT(ElapsedMs(), 3000);  // the 3000 ms row did not wait (had it, the run would last longer)
    EXPECT_EQ(sim_->WaitRxHex(5),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 33 10 79", "5A 66 FF C3"}));
    EXPECT_EQ(view_.Events(), (std::vector<std::string>{"range:3", "status:low.wav@1", "status:ok.wav@2", "close"}));
}

TEST_F(Playback, cancelEndsThePlaybackAfterTheSegmentInWork) {
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 1200, "/x/a.wav");
    rig::PutRow(list_, 2, true, "0X0010", "b.wav", 1200, "/x/b.wav");
    std::string box = "0000";
    runs::PlayJob job;
    ASSERT_EQ(runs::ContinuousPlayCommand(box, list_, chip_, &drivers_, prompt_, &job), runs::CommandEnd::OpenDialog);
    ASSERT_TRUE(runs::StartPlayThread(dialog_, std::move(job), view_, prompt_));
    ASSERT_EQ(sim_->WaitRxHex(4).size(), 4u);  // row 1 plays
    const int64_t t0 = rig::MonotonicNs();
    dialog_.Cancel();
    EXPECT_FALSE(dialog_.Running());
    ASSERT_TRUE(dialog_.WaitForWorker(test_support::kWaitMs));
    const int64_t ms = (rig::MonotonicNs() - t0) / 1000000;
    EXPECT_LT(ms, 1200 + 100 + test_support::kLoadSlackMs);
    // Row 2 was not played: nothing but EndPlayback's release after row 1.
    EXPECT_EQ(sim_->RxSettledHex(5),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 33 00 69", "5A 66 FF C3"}));
    EXPECT_EQ(view_.Events().back(), "close");
}

TEST_F(Playback, aCellThatIsNoNumberEndsThePlaybackWithTheSystemErrorMessage) {
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 200, "/x/a.wav");
    rig::PutRow(list_, 2, true, "0X0002", "b.wav", 200, "/x/b.wav");
    list_.SetCell(2, list::kColLength, "long");
    EXPECT_EQ(Run(), runs::PlayThread::End::Failed);
    EXPECT_FALSE(dialog_.Running());
    EXPECT_EQ(view_.Events(), (std::vector<std::string>{"range:3", "status:a.wav@1", "status:b.wav@2", "close"}));
    ASSERT_EQ(prompt_.Boxes().size(), 1u);
    EXPECT_EQ(prompt_.Boxes()[0].text, "对不起，系统出错！");
    EXPECT_EQ(prompt_.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(sim_->WaitRxHex(5),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 33 00 69", "5A 66 FF C3"}));
}

TEST_F(Playback, continuousPlayChecksTheListBeforeTheAddress) {
    std::string box = "A0";
    runs::PlayJob job;
    EXPECT_EQ(runs::ContinuousPlayCommand(box, list_, chip_, &drivers_, prompt_, &job), runs::CommandEnd::Stopped);
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 200, "/x/a.wav");
    EXPECT_EQ(runs::ContinuousPlayCommand(box, list_, chip_, &drivers_, prompt_, &job), runs::CommandEnd::Stopped);
    EXPECT_EQ(prompt_.Texts(), (std::vector<std::string>{"编程列表中没有数据供播放!", "播放地址，不能大于0X009F"}));
    EXPECT_EQ(box, "009F");
    EXPECT_TRUE(sim_->RxHex().empty());  // nothing reached the module
}

TEST_F(Playback, pulsePlaySendsTheTypedAddressWithoutScale) {
    chip_.scale = 4;
    std::string box = "9F";
    EXPECT_EQ(runs::PulsePlayCommand(box, chip_, &drivers_, prompt_), runs::PulseEnd::Played);
    EXPECT_EQ(sim_->WaitRxHex(5),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 33 9F F6", "5A 66 FF C3"}));
    EXPECT_TRUE(prompt_.Texts().empty());
}

TEST(PlaybackWithoutModule, driverFailuresAreShownAndNothingBoundDoesNothing) {
    rig::PointPortsAt("/nonexistent/sonmira-com1");
    ScriptedPrompt prompt{messages::MsgAnswer::Yes};
    files::ChipProfile chip;
    list::ProgrammingList list;
    rig::PutRow(list, 1, true, "0X0000", "a.wav", 200, "/x/a.wav");
    std::string box = "0000";
    runs::PlayJob job;
    binding::DriverBinding none;
    EXPECT_EQ(runs::PulsePlayCommand(box, chip, &none, prompt), runs::PulseEnd::NoDriver);
    EXPECT_EQ(runs::ContinuousPlayCommand(box, list, chip, &none, prompt, &job), runs::CommandEnd::NoDriver);
    EXPECT_TRUE(prompt.Texts().empty());

    binding::DriverBinding drivers;
    ASSERT_EQ(drivers.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
    EXPECT_EQ(runs::PulsePlayCommand(box, chip, &drivers, prompt), runs::PulseEnd::Stopped);
    EXPECT_EQ(runs::ContinuousPlayCommand(box, list, chip, &drivers, prompt, &job), runs::CommandEnd::Stopped);
    ASSERT_EQ(prompt.Boxes().size(), 2u);
    EXPECT_EQ(prompt.Boxes()[0].text, "串口未打开！");
    EXPECT_EQ(prompt.Boxes()[0].caption, "信息提示");
    EXPECT_EQ(prompt.Boxes()[1].text, "串口未打开！");
}

}  // namespace
