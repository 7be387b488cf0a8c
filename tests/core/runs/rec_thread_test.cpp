// The programming run against the real first/second module drivers and the
// module simulator, with real sound files played into a synchronised fake sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <memory>

#include "audio_files.h"
#include "run_rig.h"
#include "runs/download_command.h"
#include "runs/playback_commands.h"
#include "runs/rec_thread.h"

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";

class RecRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = temp_.path();
        setenv("SONMIRA_AUDIO_SINK", "fakesink sync=true", 1);
        setenv("SONMIRA_PLAY_LOG", (dir_ + "/play.log").c_str(), 1);
        setenv("SONMIRA_DEBUG", "1", 1);
        chip_.step = 125;
        chip_.lastAddress = 0x9F;
        chip_.capacity = 20000;
    }
    void TearDown() override {
        dialog_.reset();
        drivers_.reset();
        sim_.reset();
    }

    void Start(const std::string& module, std::vector<std::string> faults = {}) {
        sim_ = std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", module, faults);
        rig::PointPortsAt(sim_->Path());
        drivers_ = std::make_unique<binding::DriverBinding>();
        ASSERT_EQ(drivers_->Bind(module == "first" ? "libsonmiradrv.so" : "libsonveltdrv.so", kOut).code,
                  binding::kBindOk);
        dialog_ = std::make_unique<runs::RunDialog>(prompt_, messages::MsgId::RecOverflow);
    }
    std::string Tone(const std::string& name, int ms, int hz = 440) {
        const std::string path = dir_ + "/" + name;
        EXPECT_TRUE(rig::MakeTone(path, ms, hz));
        return path;
    }
    // What the download command is given: this list, chip and driver, and a sound output.
    runs::DownloadInputs Inputs() {
        runs::DownloadInputs in;
        in.list = &list_;
        in.chip = chip_;
        in.drivers = drivers_.get();
        in.hasSoundOutput = [] { return true; };
        return in;
    }
    // The download command, then the dialog's show step; waits for the close request.
    runs::RecThread::End Run(int timeout_ms = 20000) {
        runs::RecJob job;
        EXPECT_EQ(runs::DownloadCommand(Inputs(), prompt_, view_, &job), runs::CommandEnd::OpenDialog)
            << (prompt_.Texts().empty() ? "" : prompt_.Texts().back());
        std::promise<runs::RecThread::End> end;
        auto ended = end.get_future();
        started_ns_ = rig::MonotonicNs();
        EXPECT_TRUE(runs::StartRecThread(*dialog_, std::move(job), view_,
                                         [&end](runs::RecThread::End e) { end.set_value(e); }));
        EXPECT_EQ(ended.wait_for(std::chrono::milliseconds(timeout_ms)), std::future_status::ready);
        ended_ns_ = rig::MonotonicNs();
        return ended.get();
    }
    int64_t ElapsedMs() const { return (ended_ns_ - started_ns_) / 1000000; }
    static std::vector<std::string> TraceLines(const std::string& err) {
        std::vector<std::string> out;
        for (const auto& l : rig::Lines(err))
            if (l.rfind("Recording ", 0) == 0) out.push_back(l);
        return out;
    }
    // Rows whose record command the run logged as taken (SONMIRA_PLAY_LOG).
    std::vector<int> SentRows() const {
        std::vector<int> rows;
        for (const auto& l : rig::Lines(rig::ReadFile(dir_ + "/play.log")))
            if (rig::JsonField(l, "event") == "record_sent") rows.push_back(std::stoi(rig::JsonField(l, "row")));
        return rows;
    }
    std::string TenHourMidi() {
        const std::string path = dir_ + "/long.mid";
        audiotest::WriteTenHourMidi(path);
        return path;
    }
    std::vector<std::string> PlayedFiles() const {
        std::vector<std::string> files;
        for (const auto& l : rig::Lines(rig::ReadFile(dir_ + "/play.log")))
            if (rig::JsonField(l, "event") == "first_buffer") files.push_back(rig::JsonField(l, "file"));
        return files;
    }

    test_support::TempDir temp_{"sonmira-run"};
    std::string dir_;
    files::ChipProfile chip_;
    list::ProgrammingList list_;
    ScriptedPrompt prompt_{messages::MsgAnswer::Yes};
    rig::RecordingView view_;
    std::unique_ptr<rig::ModSim> sim_;
    std::unique_ptr<binding::DriverBinding> drivers_;
    std::unique_ptr<runs::RunDialog> dialog_;
    int64_t started_ns_ = 0, ended_ns_ = 0;
};

TEST_F(RecRun, recordsEachMarkedSegmentAndSkipsUnmarkedAndMissingFiles) {
    Start("first");
    const std::string a = Tone("a.wav", 300), b = Tone("b.wav", 300), c = Tone("c.wav", 400, 660),
                      d = Tone("d.wav", 300, 880);
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, a);
    rig::PutRow(list_, 2, false, "0X0003", "b.wav", 300, b);
    rig::PutRow(list_, 3, true, "0X0006", "c.wav", 400, c);
    rig::PutRow(list_, 4, true, "0X000A", "gone.wav", 300, dir_ + "/gone.wav");
    rig::PutRow(list_, 5, true, "0X000D", "d.wav", 300, d);

    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), runs::RecThread::End::Finished);
    const std::string err = testing::internal::GetCapturedStderr();
    dialog_->Close();

    EXPECT_EQ(sim_->WaitRxHex(9), (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A",  // port scan, link check
                                                            "5A 66 FF C3", "5A 11 00 4B",  // row 1 at 0x00
                                                            "5A 66 FF C3", "5A 11 06 4D",  // row 3 at 0x06
                                                            "5A 66 FF C3", "5A 11 0D 46",  // row 5 at 0x0D
                                                            "5A 66 FF C3"}));              // EndRecording
    EXPECT_EQ(view_.Events(), (std::vector<std::string>{
                                  "range:1925", "status:准备编程...@0", "caption:准备编程",  // the command
                                  "caption:正在编程...", "status:a.wav@0", "status:c.wav@750", "status:gone.wav@1250",
                                  "status:d.wav@1625", "status:编程结束@1925", "caption:编程结束", "close"}));
    EXPECT_EQ(TraceLines(err),
              (std::vector<std::string>{"Recording 1 retrun=0", "Recording 3 retrun=0", "Recording 5 retrun=0"}));
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{a, c, d}));
    EXPECT_EQ(SentRows(), (std::vector<int>{1, 3, 5}));
    // Four pauses of 1000 ms (the missing file's included), the sounds, 200 ms at the end.
    EXPECT_GE(ElapsedMs(), 4 * 1000 + 300 + 400 + 300 + 200);
    EXPECT_LT(ElapsedMs(), 12000);
    EXPECT_TRUE(prompt_.Texts().empty());
    EXPECT_TRUE(dialog_->WaitForWorker(2000));
}

TEST_F(RecRun, retriesAFailingRecordCommandAndTracesEveryAttempt) {
    // Second module: the chip-type replies of RecordSegment's first three
    // attempts say "busy" (frames 7 to 9; connecting and BeginRecording send six).
    Start("second", {"--busy", "--fault-after", "6", "--fault-count", "3"});
    chip_.code = 0x0102;
    rig::PutRow(list_, 1, true, "0X0010", "a.wav", 300, Tone("a.wav", 300));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), runs::RecThread::End::Finished);
    const std::string err = testing::internal::GetCapturedStderr();
    dialog_->Close();
    EXPECT_EQ(TraceLines(err), (std::vector<std::string>{"Recording 1 retrun=1", "Recording 1 retrun=1",
                                                         "Recording 1 retrun=1", "Recording 1 retrun=0"}));
    auto rx = sim_->WaitRxHex(14);
    ASSERT_EQ(rx.size(), 14u);
    const std::vector<std::string> tail(rx.begin() + 6, rx.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"5A 44 01 02 1D", "5A 44 01 02 1D", "5A 44 01 02 1D", "5A 44 01 02 1D",
                                              "5A 66 00 00 3C", "5A DD 00 12 95", "5A 11 00 10 5B", "5A 66 00 00 3C"}));
    EXPECT_EQ(PlayedFiles().size(), 1u);
}

TEST_F(RecRun, afterHundredFailedAttemptsTheSoundIsPlayedAndTheRunGoesOn) {
    // Frames 1..4: two handshakes, release, row 1's record; then the line is
    // gone. Row 1's sound and the pause give the module ample time to hang up
    // before row 2's first attempt (a hang-up on the release itself would race
    // the record frame written 10 ms after it).
    Start("first", {"--hangup-after", "4"});
    const std::string a = Tone("a.wav", 300), b = Tone("b.wav", 300, 660);
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, a);
    rig::PutRow(list_, 2, true, "0X0003", "b.wav", 300, b);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), runs::RecThread::End::Finished);
    const std::string err = testing::internal::GetCapturedStderr();
    dialog_->Close();
    std::vector<std::string> expected{"Recording 1 retrun=0"};
    expected.resize(101, "Recording 2 retrun=1");
    EXPECT_EQ(TraceLines(err), expected);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(SentRows(), (std::vector<int>{1}));  // the module never took row 2's command
    // Two pauses of 1000 ms, 99 pauses of 50 ms between row 2's attempts, the sounds, 200 ms at the end.
    EXPECT_GE(ElapsedMs(), 2 * 1000 + 99 * 50 + 2 * 300 + 200);
    EXPECT_EQ(view_.Events().back(), "close");
    EXPECT_TRUE(prompt_.Texts().empty());  // worker results are never shown
}

TEST_F(RecRun, overflowEndsTheRunAndIsReportedOnceWhenTheDialogCloses) {
    Start("first");
    chip_.lastAddress = 4;
    const std::string a = Tone("a.wav", 300);
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, a);
    rig::PutRow(list_, 2, true, "0X0005", "b.wav", 300, a);
    rig::PutRow(list_, 3, true, "0X0008", "c.wav", 300, a);
    EXPECT_EQ(Run(), runs::RecThread::End::Finished);
    EXPECT_TRUE(dialog_->Overflow());
    dialog_->Close();
    dialog_->Close();  // the worker's own close after a cancel runs the step again
    EXPECT_EQ(prompt_.Texts(), (std::vector<std::string>{"编程地址溢出！"}));
    EXPECT_EQ(prompt_.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(sim_->WaitRxHex(5),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 11 00 4B", "5A 66 FF C3"}));
    auto events = view_.Events();
    EXPECT_NE(std::find(events.begin(), events.end(), "status:b.wav@625"), events.end());
    EXPECT_EQ(std::find(events.begin(), events.end(), "status:c.wav@1000"), events.end());

    // The next run that stays within the chip closes without the message.
    list_.ClearRow(3);
    list_.ClearRow(2);
    EXPECT_EQ(Run(), runs::RecThread::End::Finished);
    dialog_->Close();
    EXPECT_FALSE(dialog_->Overflow());
    EXPECT_EQ(prompt_.Texts().size(), 1u);
}

TEST_F(RecRun, aListWithNothingMarkedGoesStraightToTheEnd) {
    Start("first");
    const std::string a = Tone("a.wav", 300);
    rig::PutRow(list_, 1, false, "0X0000", "a.wav", 300, a);
    rig::PutRow(list_, 2, false, "0X0003", "b.wav", 300, a);
    EXPECT_EQ(Run(), runs::RecThread::End::Finished);
    dialog_->Close();
    EXPECT_LT(ElapsedMs(), 1000 + 200);  // no 1000 ms pause, only the 200 ms before the end
    EXPECT_GE(ElapsedMs(), 200);
    EXPECT_EQ(sim_->WaitRxHex(3), (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3"}));
    auto events = view_.Events();
    EXPECT_EQ(std::vector<std::string>(events.begin() + 3, events.end()),
              (std::vector<std::string>{"caption:正在编程...", "status:编程结束@675", "caption:编程结束", "close"}));
    EXPECT_TRUE(PlayedFiles().empty());
}

TEST_F(RecRun, cancelFinishesTheSegmentInWorkAndKeepsTheDriverFromNewCommands) {
    Start("first");
    // Row 1's sound is long, so that the worker outlives the close step's
    // 1000 ms however late a loaded machine lets that step return.
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 4000, Tone("a.wav", 4000));
    rig::PutRow(list_, 2, true, "0X0020", "b.wav", 300, Tone("b.wav", 300));
    runs::RecJob job;
    ASSERT_EQ(runs::DownloadCommand(Inputs(), prompt_, view_, &job), runs::CommandEnd::OpenDialog);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(runs::StartRecThread(*dialog_, std::move(job), view_));
    ASSERT_EQ(sim_->WaitRxHex(4).size(), 4u);  // two handshakes, release, record of row 1
    ASSERT_EQ(test_support::WaitFor([this] { return PlayedFiles().size(); }, [](size_t n) { return n == 1; }), 1u);
    // Well inside the sound (a cancel before the worker's check right after
    // starting the sound would end the run at once).
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // The user presses 取消 during the first sound.
    int64_t cancel_ms = 0;
    std::thread ui([&] {
        const int64_t t0 = rig::MonotonicNs();
        dialog_->Cancel();
        cancel_ms = (rig::MonotonicNs() - t0) / 1000000;
    });
    ui.join();
    EXPECT_GE(cancel_ms, 900);  // the close step waited its 1000 ms in vain
    EXPECT_LT(cancel_ms, 1000 + test_support::kLoadSlackMs);
    EXPECT_TRUE(dialog_->WorkerAlive());

    // Meanwhile a new command finds the driver taken and says so.
    std::string box = "0000";
    EXPECT_EQ(runs::PulsePlayCommand(box, chip_, drivers_.get(), prompt_), runs::PulseEnd::Stopped);
    EXPECT_EQ(prompt_.Texts(), (std::vector<std::string>{messages::MessageText(messages::MsgId::WorkerBusy)}));
    EXPECT_FALSE(runs::StartRecThread(*dialog_, runs::RecJob{}, view_));

    EXPECT_TRUE(dialog_->WaitForWorker(test_support::kWaitMs));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(TraceLines(err), (std::vector<std::string>{"Recording 1 retrun=0"}));
    EXPECT_EQ(sim_->RxSettledHex(5),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 11 00 4B", "5A 66 FF C3"}));
    EXPECT_EQ(view_.Events().back(), "close");

    // With the worker gone the driver is free again.
    EXPECT_EQ(runs::PulsePlayCommand(box, chip_, drivers_.get(), prompt_), runs::PulseEnd::Played);
}

// A file changed after it was added (now ten hours behind a 300 ms row)
// plays until a second after the row's length, then the run goes on.
TEST_F(RecRun, aFileLongerThanItsRowIsStoppedASecondAfterTheRowsLength) {
    Start("first");
    const std::string b = Tone("b.wav", 300);
    rig::PutRow(list_, 1, true, "0X0000", "long.mid", 300, TenHourMidi());
    rig::PutRow(list_, 2, true, "0X0003", "b.wav", 300, b);
    EXPECT_EQ(Run(test_support::kWaitMs + 3000), runs::RecThread::End::Finished);
    dialog_->Close();
    EXPECT_EQ(SentRows(), (std::vector<int>{1, 2}));
    EXPECT_EQ(PlayedFiles().back(), b);
    EXPECT_EQ(view_.Events().back(), "close");
}

TEST_F(RecRun, cancelDuringAFileLongerThanItsRowShowsNoLaterRowAndEndsTheRun) {
    Start("first");
    rig::PutRow(list_, 1, true, "0X0000", "long.mid", 300, TenHourMidi());
    rig::PutRow(list_, 2, true, "0X0003", "b.wav", 300, Tone("b.wav", 300));
    runs::RecJob job;
    ASSERT_EQ(runs::DownloadCommand(Inputs(), prompt_, view_, &job), runs::CommandEnd::OpenDialog);
    ASSERT_TRUE(runs::StartRecThread(*dialog_, std::move(job), view_));
    ASSERT_EQ(test_support::WaitFor([this] { return PlayedFiles().size(); }, [](size_t n) { return n == 1; }), 1u);
    dialog_->Cancel();
    EXPECT_TRUE(dialog_->WaitForWorker(test_support::kWaitMs));
    EXPECT_EQ(SentRows(), (std::vector<int>{1}));
    auto events = view_.Events();
    EXPECT_EQ(std::find(events.begin(), events.end(), "status:b.wav@375"), events.end());
    EXPECT_EQ(events.back(), "close");
}

TEST_F(RecRun, aCellThatIsNoNumberEndsTheRecordingAndLeavesTheDialogOpen) {
    Start("first");
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300));
    rig::PutRow(list_, 2, true, "0X0003", "b.wav", 300, Tone("b.wav", 300));
    list_.SetCell(2, list::kColFlag, "x");
    EXPECT_EQ(Run(), runs::RecThread::End::Failed);
    EXPECT_TRUE(dialog_->Running());
    auto events = view_.Events();
    EXPECT_EQ(events.back(), "status:a.wav@0");
    EXPECT_EQ(sim_->WaitRxHex(5),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 11 00 4B", "5A 66 FF C3"}));
    dialog_->Cancel();
    EXPECT_FALSE(dialog_->Running());
}

}  // namespace
