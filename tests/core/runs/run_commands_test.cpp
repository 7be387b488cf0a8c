// The download command's checks (and the driver lease it shares with the
// playback commands), the play address box rules and the run dialog's
// show/close steps.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <thread>

#include "run_rig.h"
#include "runs/download_command.h"
#include "list/play_address.h"
#include "runs/playback_commands.h"
#include "runs/run_dialog.h"

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";

class Download : public ::testing::Test {
protected:
    void SetUp() override {
        rig::PointPortsAt("/nonexistent/sonmira-com1");  // a bound driver finds no module
        chip_.capacity = 2000;
        in_.list = &list_;
        in_.chip = chip_;
        in_.hasSoundOutput = [this] { return sound_; };
    }
    runs::CommandEnd Press(binding::DriverBinding* drivers) {
        in_.drivers = drivers;
        return runs::DownloadCommand(in_, prompt_, view_, &job_);
    }
    files::ChipProfile chip_;
    list::ProgrammingList list_;
    runs::DownloadInputs in_;
    ScriptedPrompt prompt_{messages::MsgAnswer::Yes};
    rig::RecordingView view_;
    runs::RecJob job_;
    bool sound_ = true;
    binding::DriverBinding none_;
};

TEST_F(Download, anEmptyListIsRefusedEvenWithoutADriver) {
    EXPECT_EQ(Press(&none_), runs::CommandEnd::Stopped);
    ASSERT_EQ(prompt_.Boxes().size(), 1u);
    EXPECT_EQ(prompt_.Boxes()[0].text, "没有要编程的语音文件，请选择！");
    EXPECT_EQ(prompt_.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(prompt_.Boxes()[0].icon, messages::MsgIcon::Information);
    // A list whose extent is 0 gets the same message.
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 0, "/x/a.wav");
    EXPECT_EQ(Press(&none_), runs::CommandEnd::Stopped);
    EXPECT_EQ(prompt_.Texts().back(), "没有要编程的语音文件，请选择！");
    EXPECT_TRUE(view_.Events().empty());
}

TEST_F(Download, overCapacityAsksAndNoEndsTheCommand) {
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 2001, "/x/a.wav");
    prompt_.answers = {messages::MsgAnswer::No};
    EXPECT_EQ(Press(&none_), runs::CommandEnd::Stopped);
    ASSERT_EQ(prompt_.Boxes().size(), 1u);
    EXPECT_EQ(prompt_.Boxes()[0].text, "语音文件总长度超过芯片容量，是否继续？");
    EXPECT_EQ(prompt_.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(prompt_.Boxes()[0].icon, messages::MsgIcon::Question);
    EXPECT_EQ(prompt_.Boxes()[0].buttons, messages::MsgButtons::YesNo);
    // Yes goes on; with no driver bound the command then ends silently.
    EXPECT_EQ(Press(&none_), runs::CommandEnd::NoDriver);
    EXPECT_EQ(prompt_.Boxes().size(), 2u);
    // Exactly the capacity: no question.
    list_.SetCell(1, list::kColLength, "2000");
    EXPECT_EQ(Press(&none_), runs::CommandEnd::NoDriver);
    EXPECT_EQ(prompt_.Boxes().size(), 2u);
}

TEST_F(Download, overlappingMarkedRowsAreNamedAndNoEndsTheCommand) {
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 1000, "/x/a.wav");  // 0x00..0x07
    rig::PutRow(list_, 2, true, "0X0007", "b.wav", 250, "/x/b.wav");   // 0x07..0x08: on a's last address
    rig::PutRow(list_, 3, false, "0X0000", "c.wav", 500, "/x/c.wav");  // not recorded
    rig::PutRow(list_, 4, true, "0X000A", "d.wav", 125, "/x/d.wav");
    rig::PutRow(list_, 5, true, "0X0004", "e.wav", 0, "/x/e.wav");     // no length: records nothing
    rig::PutRow(list_, 6, true, "0X00A0", "f.wav", 1000, "/x/f.wav");  // past the chip: the run stops here
    rig::PutRow(list_, 7, true, "0X0001", "g.wav", 125, "/x/g.wav");   // never reached
    prompt_.answers = {messages::MsgAnswer::No};
    EXPECT_EQ(Press(&none_), runs::CommandEnd::Stopped);
    ASSERT_EQ(prompt_.Boxes().size(), 1u);
    EXPECT_EQ(prompt_.Boxes()[0].text,
              "下列语音段的编程地址重叠，后录的语音会覆盖先录的：\n第1行（0X0000-0X0007）与第2行（0X0007-0X0008）\n"
              "是否继续？");
    EXPECT_EQ(prompt_.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(prompt_.Boxes()[0].icon, messages::MsgIcon::Question);
    EXPECT_EQ(prompt_.Boxes()[0].buttons, messages::MsgButtons::YesNo);
    prompt_.answers = {messages::MsgAnswer::Yes};
    EXPECT_EQ(Press(&none_), runs::CommandEnd::NoDriver);  // Yes: on to the driver

    // Rows one after the other: no question.
    list_.SetCell(2, list::kColStart, "0X0008");
    prompt_.Clear();
    EXPECT_EQ(Press(&none_), runs::CommandEnd::NoDriver);
    EXPECT_TRUE(prompt_.Texts().empty());
}

TEST_F(Download, aFailingBeginRecordingShowsTheDriverMessageAndOpensNothing) {
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 500, "/x/a.wav");
    binding::DriverBinding drivers;
    ASSERT_EQ(drivers.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
    EXPECT_EQ(Press(&drivers), runs::CommandEnd::Stopped);
    ASSERT_EQ(prompt_.Boxes().size(), 1u);
    EXPECT_EQ(prompt_.Boxes()[0].text, "串口未打开！");
    EXPECT_EQ(prompt_.Boxes()[0].caption, "信息提示");
    EXPECT_TRUE(view_.Events().empty());
}

TEST_F(Download, noSoundOutputAsksBeforeTheModuleIsPrepared) {
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 500, "/x/a.wav");
    binding::DriverBinding drivers;
    ASSERT_EQ(drivers.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
    sound_ = false;
    prompt_.answers = {messages::MsgAnswer::No};
    EXPECT_EQ(Press(&drivers), runs::CommandEnd::Stopped);
    // Only the question: BeginRecording (which would say 串口未打开！) was not called.
    ASSERT_EQ(prompt_.Boxes().size(), 1u);
    EXPECT_EQ(prompt_.Boxes()[0].text, "没有找到可用的声音输出设备，编程时芯片录不到声音，是否继续？");
    EXPECT_EQ(prompt_.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(prompt_.Boxes()[0].buttons, messages::MsgButtons::YesNo);
    EXPECT_EQ(Press(&drivers), runs::CommandEnd::Stopped);  // Yes: on to BeginRecording
    EXPECT_EQ(prompt_.Texts().back(), "串口未打开！");
}

TEST_F(Download, aDriverAWorkerStillHoldsIsRefusedWithTheBusyMessage) {
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 500, "/x/a.wav");
    binding::DriverBinding drivers;
    ASSERT_EQ(drivers.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
    std::promise<void> held, done;
    std::thread worker([&] {
        binding::DriverLease lease = drivers.Acquire();
        held.set_value();
        done.get_future().wait();
    });
    held.get_future().wait();
    EXPECT_EQ(Press(&drivers), runs::CommandEnd::Stopped);
    std::string box = "0000";
    runs::PlayJob play;
    EXPECT_EQ(runs::ContinuousPlayCommand(box, list_, chip_, &drivers, prompt_, &play), runs::CommandEnd::Stopped);
    done.set_value();
    worker.join();
    ASSERT_EQ(prompt_.Boxes().size(), 2u);
    for (const auto& asked : prompt_.Boxes()) {
        EXPECT_EQ(asked.text, "上一次编程或播放尚未结束，请稍候再试！");
        EXPECT_EQ(asked.caption, "系统提示");
    }
    EXPECT_TRUE(view_.Events().empty());
}

TEST(PlayAddressBox, keyFilterPassesHexDigitsAndBackspaceOnly) {
    for (int k : std::initializer_list<int>{'0', '9', 'a', 'c', 'f', 'A', 'C', 'F', list::kBackspace})
        EXPECT_TRUE(list::KeyPasses(k)) << k;
    for (int k : std::initializer_list<int>{'g', 'G', 'x', 'X', ' ', '-', '$', '\r', 0x7F, 0xB1})
        EXPECT_FALSE(list::KeyPasses(k)) << k;
}

TEST(PlayAddressBox, addressCheckCorrectsTheBoxToTheBoundItCrossed) {
    ScriptedPrompt ui{messages::MsgAnswer::Yes};
    int32_t address = -1;
    std::string box = "A0";
    EXPECT_FALSE(list::CheckPlayAddress(box, 0, 0x9F, ui, &address));
    EXPECT_EQ(box, "009F");
    box = "9F";
    EXPECT_TRUE(list::CheckPlayAddress(box, 0, 0x9F, ui, &address));
    EXPECT_EQ(address, 159);
    EXPECT_EQ(box, "9F");
    box = "5";
    EXPECT_FALSE(list::CheckPlayAddress(box, 0x10, 0x9F, ui, &address));
    EXPECT_EQ(box, "0010");
    box = "10";
    EXPECT_TRUE(list::CheckPlayAddress(box, 0x10, 0x9F, ui, &address));
    EXPECT_EQ(address, 16);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"播放地址，不能大于0X009F", "播放地址，不能小于0X0010"}));
    for (const auto& a : ui.Boxes()) EXPECT_EQ(a.caption, "系统提示");
}

TEST(PlayAddressBox, leavingTheBoxRaisesOnlyALowValue) {
    ScriptedPrompt ui{messages::MsgAnswer::Yes};
    std::string box = "5";
    EXPECT_TRUE(list::LeaveBox(box, 0x10, ui));
    EXPECT_EQ(box, "0010");
    box = "FFFF";  // no upper check here
    EXPECT_TRUE(list::LeaveBox(box, 0x10, ui));
    EXPECT_EQ(box, "FFFF");
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"对不起，起始地址必须大于等于0x0010"}));
    EXPECT_EQ(ui.Boxes()[0].caption, "系统提示");
}

TEST(PlayAddressBox, anEmptyBoxGetsTheGenericNumberReport) {
    ScriptedPrompt ui{messages::MsgAnswer::Yes};
    std::string box;
    int32_t address = 0;
    EXPECT_FALSE(list::LeaveBox(box, 0, ui));
    EXPECT_FALSE(list::CheckPlayAddress(box, 0, 0x9F, ui, &address));
    ASSERT_EQ(ui.Boxes().size(), 2u);
    for (const auto& a : ui.Boxes()) {
        EXPECT_EQ(a.text, "'0X' is not a valid integer value.");
        EXPECT_EQ(a.caption, "Sonmira");
        EXPECT_EQ(a.icon, messages::MsgIcon::Error);
    }
    EXPECT_EQ(box, "");
}

TEST(RunDialogSteps, closeWaitsAtMostOneSecondAndAnOutlivingWorkerBlocksTheNextShow) {
    ScriptedPrompt ui{messages::MsgAnswer::Yes};
    runs::RunDialog dialog(ui, messages::MsgId::RecOverflow);
    std::atomic<int> nice_delta{-100};
    std::atomic<bool> release{false};
    const int main_nice = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
    ASSERT_TRUE(dialog.Show([&] {
        nice_delta = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid))) - main_nice;
        while (dialog.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        dialog.MarkOverflow();  // met after the cancel
        // Outlives the close step until the test lets it go (or long after).
        const int64_t until = rig::MonotonicNs() + int64_t{test_support::kWaitMs} * 1000000;
        while (!release && rig::MonotonicNs() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }));
    EXPECT_FALSE(dialog.Show([] {}));  // running already
    const int64_t t0 = rig::MonotonicNs();
    dialog.Cancel();
    const int64_t waited = (rig::MonotonicNs() - t0) / 1000000;
    EXPECT_GE(waited, 900);
    EXPECT_LT(waited, 1000 + test_support::kLoadSlackMs);  // the worker would have held it far longer
    EXPECT_TRUE(dialog.WorkerAlive());
    EXPECT_FALSE(dialog.Show([] {}));  // the old worker has not ended
    EXPECT_EQ(nice_delta.load(), main_nice >= 19 ? 0 : 1);
    // An overflow the worker met after the cancel is reported, and only once.
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"编程地址溢出！"}));
    release = true;
    EXPECT_TRUE(dialog.WaitForWorker(test_support::kWaitMs));
    dialog.Close();
    EXPECT_EQ(ui.Texts().size(), 1u);
    EXPECT_TRUE(dialog.Show([] {}));
    EXPECT_FALSE(dialog.Overflow());
    dialog.Close();
}

TEST(RunDialogSteps, destroyingTheDialogWaitsForItsWorker) {
    ScriptedPrompt ui{messages::MsgAnswer::Yes};
    std::atomic<bool> finished{false};
    {
        runs::RunDialog dialog(ui, std::nullopt);
        ASSERT_TRUE(dialog.Show([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            finished = true;
        }));
    }
    EXPECT_TRUE(finished.load());
}

}  // namespace
