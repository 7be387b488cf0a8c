// sonmira-cli program / play / pulse against sonmira-modsim, both module
// types, with the sound captured as raw PCM and the first-buffer stamps of
// the player compared with the simulator's record-frame stamps.
#include "cli_run.h"

namespace {

using namespace e2e;

TEST_F(CliRun, programmingTheFirstModuleRecordsEachSegmentAsItsSoundStarts) {
    StartSim("first");
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300, 400));
    rig::PutRow(list_, 2, true, "0X0003", "gone.wav", 300, home_ + "/gone.wav");
    rig::PutRow(list_, 3, false, "0X0006", "b.wav", 300, Tone("b.wav", 300, 1200));
    rig::PutRow(list_, 4, true, "0X0009", "c.wav", 500, Tone("c.wav", 500, 800));
    const Result r = Cli("program '" + Project(kFirst, "SV020A") + "'");
    // The run goes on past the missing file, but the tool does not call a chip without it a success.
    ASSERT_EQ(r.code, 1) << r.err;

    EXPECT_EQ(sim_->WaitRxHex(7), (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A",  // connect, BeginRecording
                                                            "5A 66 FF C3", "5A 11 00 4B",  // row 1 at 0x00
                                                            "5A 66 FF C3", "5A 11 09 42",  // row 4 at 0x09
                                                            "5A 66 FF C3"}));              // EndRecording
    EXPECT_EQ(r.out,
              "[0/1625 ms] 准备编程...\n准备编程\n正在编程...\n[0/1625 ms] a.wav\n[375/1625 ms] gone.wav\n"
              "[1125/1625 ms] c.wav\n[1625/1625 ms] 编程结束\n编程结束\n");
    EXPECT_EQ(r.err,
              "Recording 1 retrun=0\nRecording 4 retrun=0\n"
              "sonmira-cli program: row 2 (gone.wav) left out: the audio file does not exist\n");

    std::vector<std::string> played;
    ASSERT_NO_FATAL_FAILURE(ExpectEachSoundFollowsItsRecord(2, &played));
    EXPECT_EQ(played, (std::vector<std::string>{home_ + "/a.wav", home_ + "/c.wav"}));
    // The capture holds a.wav then c.wav, whole.
    const auto s = Captured();
    EXPECT_NEAR(static_cast<double>(s.size()), 0.8 * 8000, 160);
    EXPECT_NEAR(Hz(s, 200, 2000), 400, 20);
    EXPECT_NEAR(Hz(s, 2600, 3000), 800, 20);
}

TEST_F(CliRun, programmingTheSecondModuleInAuxModeSendsChipTypeEndAndAuxRecord) {
    StartSim("second");
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300, 500));
    rig::PutRow(list_, 2, true, "0X0003", "b.wav", 300, Tone("b.wav", 300, 1000));
    const Result r = Cli("program --aux '" + Project(kSecond, "SV060V") + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim_->WaitRxHex(15),
              (std::vector<std::string>{
                  "5A 44 00 03 1D", "5A 44 00 03 1D", "5A 44 01 01 1E", "5A CC 00 00 96", "5A BB 00 00 E1",
                  "5A 44 01 01 1E",                                                        // BeginRecording
                  "5A 44 01 01 1E", "5A 66 00 00 3C", "5A DD 00 02 85", "5A 1A 00 00 40",  // 0x00..0x02
                  "5A 44 01 01 1E", "5A 66 00 00 3C", "5A DD 00 05 82", "5A 1A 00 03 43",  // 0x03..0x05
                  "5A 66 00 00 3C"}));
    ASSERT_NO_FATAL_FAILURE(ExpectEachSoundFollowsItsRecord(2));
    const auto s = Captured();
    EXPECT_NEAR(static_cast<double>(s.size()), 0.6 * 8000, 160);
    EXPECT_NEAR(Hz(s, 200, 2000), 500, 20);
    EXPECT_NEAR(Hz(s, 2600, 2000), 1000, 20);
}

TEST_F(CliRun, aModuleThatHangsUpMidRunFailsTheRunAndNamesTheSegmentsNotRecorded) {
    // Frames 1..4: Connect's and BeginRecording's handshakes, release, row 1's record; then the line is gone.
    StartSim("first", {"--hangup-after", "4"});
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300, 400));
    rig::PutRow(list_, 2, true, "0X0003", "b.wav", 300, Tone("b.wav", 300, 800));
    const Result r = Cli("program '" + Project(kFirst, "SV020A") + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Recording 1 retrun=0\nRecording 2 retrun=1\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("sonmira-cli program: row 2 (b.wav) not recorded: the record command failed 100 times: "
                         "串口通信错误!\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("row 1"), std::string::npos) << r.err;
}

TEST_F(CliRun, overlappingRowsAreRefusedUnlessToldAndAnotherHeaderVersionIsProgrammed) {
    StartSim("first");
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300, 400));
    rig::PutRow(list_, 2, true, "0X0002", "b.wav", 300, Tone("b.wav", 300, 800));  // starts on row 1's last address
    const std::string p = Project(kFirst, "SV020A");
    std::string bytes = rig::ReadFile(p);
    bytes.replace(0, bytes.find("SM-1 "), "V2.0,,other,");  // the programmer follows the first three fields
    test_support::WriteBytes(p, bytes);

    Result r = Cli("program '" + p + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "sonmira-cli program: rows 1 and 2 overlap: row 1 records at 0X0000..0X0002, row 2 at 0X0002..0X0004\n"
              "sonmira-cli program: a later row would record over an earlier one; mend the start addresses (or give "
              "--yes); nothing sent\n");
    EXPECT_TRUE(sim_->RxHex().empty());

    r = Cli("program --yes '" + p + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim_->RxHexStartingWith("5A 11"), (std::vector<std::string>{"5A 11 00 4B", "5A 11 02 49"}));
}

// A file changed after it was added: ten hours behind a row of 300 ms.
TEST_F(CliRun, aChangedFileIsRefusedUnlessToldAndThenACancelEndsTheRunWithinTheRowsBound) {
    StartSim("first");
    audiotest::WriteTenHourMidi(home_ + "/long.mid");
    rig::PutRow(list_, 1, true, "0X0000", "long.mid", 300, home_ + "/long.mid");
    rig::PutRow(list_, 2, true, "0X0003", "b.wav", 300, Tone("b.wav", 300, 800));
    const std::string project = Project(kFirst, "SV020A");
    Result r = Cli("program '" + project + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "sonmira-cli program: row 1 (long.mid): the file now plays 36003903 ms (288032 chip addresses); its row "
              "gives 300 ms (3)\nsonmira-cli program: 1 file changed since it was added; re-address the list first (or "
              "give --ignore-changed); nothing sent\n");
    EXPECT_TRUE(sim_->RxHex().empty());

    // Told to go on, it is cancelled (SIGTERM) while the long file plays.
    const std::string log = home_ + "/play.log";
    const int status =
        std::system((kOut + "sonmira-cli program --ignore-changed '" + project + "' >" + home_ + "/cli.out 2>" + home_ +
                     "/cli.err </dev/null & pid=$!; for i in $(seq 400); do "
                     "grep -q first_buffer " +
                     log + " 2>/dev/null && break; sleep 0.05; done; kill -TERM $pid; wait $pid")
                        .c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
    r.out = rig::ReadFile(home_ + "/cli.out");
    const std::string tail = "[0/675 ms] long.mid\ncancelled\n";
    ASSERT_GE(r.out.size(), tail.size()) << r.out;
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail) << r.out;
    EXPECT_EQ(Records().size(), 1u);
}

// Two modules on the line: --port keeps the run off the other one.
TEST_F(CliRun, aChosenPortIsTheOnlyOneTheRunTouches) {
    StartSim("first");
    rig::ModSim other(kOut + "sonmira-modsim", "first", {});
    setenv("SERTRA_COM1", other.Path().c_str(), 1);
    setenv("SERTRA_COM2", sim_->Path().c_str(), 1);
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300, 400));
    const std::string project = Project(kFirst, "SV020A");
    Result r = Cli("program --port com2 '" + project + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Records().size(), 1u);
    EXPECT_TRUE(other.RxHex().empty());

    r = Cli("program --port COM5 '" + project + "'");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("sonmira-cli program: unknown port 'COM5' (COM1 to COM4, or a device path such as "
                          "/dev/ttyUSB0)\n\nusage: sonmira-cli program ",
                          0),
              0u)
        << r.err;
}

TEST_F(CliRun, chipAfterChipWithAndWithoutTheOperator) {
    StartSim("first");
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300, 400));
    const std::string project = Project(kFirst, "SV020A");
    Result r = Cli("program --count 2 --no-wait '" + project + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Records().size(), 2u);
    EXPECT_EQ(r.out.rfind("chip 1 of 2\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nchip 2 of 2\n"), std::string::npos) << r.out;

    // Waiting for the operator, whose input ends: the batch stops after the first chip.
    r = Cli("program --count=3 '" + project + "'");
    EXPECT_EQ(r.code, 130);
    EXPECT_EQ(Records().size(), 3u);
    EXPECT_NE(r.out.find("\nstopped after 1 of 3 chips\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("insert the next chip, Enter to go on, q to stop: \n"), std::string::npos) << r.err;

    r = Cli("program --count 0 '" + project + "'");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("sonmira-cli program: option '--count' needs a number of chips, 1 or more ('0')\n", 0), 0u);
    r = Cli("program --log a.log --log=b.log '" + project + "'");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("sonmira-cli program: option '--log' is given twice\n", 0), 0u) << r.err;
}

TEST_F(CliRun, aSegmentBeyondTheLastAddressEndsTheRunWithTheOverflowMessage) {
    StartSim("first");
    const std::string a = Tone("a.wav", 300, 400);
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, a);
    rig::PutRow(list_, 2, true, "0X00A0", "b.wav", 300, a);  // SV020A ends at 0x9F
    rig::PutRow(list_, 3, true, "0X0003", "c.wav", 300, a);
    // --aux means nothing to the first module: said once, and the run goes on.
    const Result r = Cli("program --aux '" + Project(kFirst, "SV020A") + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("sonmira-cli program: warning: --aux changes nothing: programmer type 'SM-1 编程器' has no "
                          "AUX recording mode\n",
                          0),
              0u)
        << r.err;
    EXPECT_NE(r.err.find("系统提示: 编程地址溢出！\n"), std::string::npos) << r.err;
    // Two handshakes, release, row 1's record, release: the simulator may still be reading them.
    EXPECT_EQ(sim_->RxSettled(5).size(), 5u);
    EXPECT_EQ(Records().size(), 1u);
}

TEST_F(CliRun, aListLongerThanTheChipIsOnlyProgrammedWhenTheUserSaysYes) {
    StartSim("first");
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 300, Tone("a.wav", 300, 400));
    rig::PutRow(list_, 2, false, "0X0090", "b.wav", 3000, home_ + "/b.wav");  // 18000 + 3000 > 20000
    const std::string project = Project(kFirst, "SV020A");
    // Loading the project already warns; the download command then asks.
    const std::string warned = "系统提示: 编程文件总长度超过芯片容量,请修改！\n";
    Result r = Cli("program '" + project + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, warned + "系统提示: 语音文件总长度超过芯片容量，是否继续？ no\n");
    EXPECT_TRUE(sim_->RxHex().empty());
    r = Cli("program --yes '" + project + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err.rfind(warned + "系统提示: 语音文件总长度超过芯片容量，是否继续？ yes (--yes)\n", 0), 0u) << r.err;
    EXPECT_EQ(sim_->RxSettled(5).size(), 5u);
    EXPECT_EQ(Records().size(), 1u);
}

TEST_F(CliRun, playFailsAndNamesTheSegmentsTheModuleDidNotPlay) {
    // Frames 1..4: two handshakes, release, row 1's play; then the line is gone.
    StartSim("first", {"--hangup-after", "4"});
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 200, home_ + "/a.wav");
    rig::PutRow(list_, 2, true, "0X0004", "c.wav", 200, home_ + "/c.wav");
    const Result r = Cli("play '" + Project(kFirst, "SV020A") + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "正在播放......\n[1/3] a.wav\n[2/3] c.wav\n");
    EXPECT_NE(r.err.find("sonmira-cli play: row 2 (c.wav) not played: the play command failed: 串口通信错误!\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("row 1"), std::string::npos) << r.err;
}

TEST_F(CliRun, continuousPlayAndPulsePlayDriveTheModule) {
    StartSim("first");
    rig::PutRow(list_, 1, true, "0X0000", "a.wav", 200, home_ + "/a.wav");
    rig::PutRow(list_, 2, false, "0X0002", "b.wav", 200, home_ + "/b.wav");
    rig::PutRow(list_, 3, true, "0X0004", "c.wav", 200, home_ + "/c.wav");
    Result r = Cli("play '" + Project(kFirst, "SV020A") + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "正在播放......\n[1/4] a.wav\n[3/4] c.wav\n");
    EXPECT_EQ(sim_->WaitRxHex(7), (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 33 00 69",
                                                            "5A 66 FF C3", "5A 33 04 6D", "5A 66 FF C3"}));
    r = Cli("pulse 0x9f");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "playing from 0X009F\n");
    r = Cli("pulse A0");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "系统提示: 播放地址，不能大于0X009F\n");
    r = Cli("pulse 12345");
    EXPECT_EQ(r.code, 2);
    // Connect of play: two handshakes; of pulse: one (a new process connects again).
    EXPECT_EQ(sim_->WaitRxHex(12).size(), 12u);
    const auto rx = sim_->RxHex();
    EXPECT_EQ(std::vector<std::string>(rx.begin() + 7, rx.end()),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 33 9F F6", "5A 66 FF C3"}));
}

}  // namespace
