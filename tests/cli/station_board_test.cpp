// The stations' board of sonmira-cli line: the live line's text (a run's
// verifying included), the prefixed lines off a terminal, and the redrawn
// lines on a real pseudo-terminal.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "station_board.h"

namespace {

using std::chrono::milliseconds;

cli::StationProgress Bar(int32_t position, int32_t max, const std::string& text) {
    cli::StationProgress p;
    p.position = position;
    p.max = max;
    p.text = text;
    p.hasBar = true;
    return p;
}

TEST(CliStationBoard, liveText) {
    cli::StationProgress none;
    EXPECT_EQ(cli::StationBoard::LiveText(none, milliseconds(0)), "starting");
    none.text = "正在编程......";
    EXPECT_EQ(cli::StationBoard::LiveText(none, milliseconds(5000)), "正在编程......");
    EXPECT_EQ(cli::StationBoard::LiveText(Bar(0, 1000, "a.wav"), milliseconds(3000)), "0%  a.wav");
    // A quarter in ten seconds: thirty left, at the pace so far.
    EXPECT_EQ(cli::StationBoard::LiveText(Bar(250, 1000, "a.wav"), milliseconds(10000)), "25%  a.wav  0:30 left");
    EXPECT_EQ(cli::StationBoard::LiveText(Bar(1, 3, "a.wav"), milliseconds(1)), "33%  a.wav  0:01 left");  // rounded up
    EXPECT_EQ(cli::StationBoard::LiveText(Bar(10, 100, "b.wav"), milliseconds(70000)), "10%  b.wav  10:30 left");
    EXPECT_EQ(cli::StationBoard::LiveText(Bar(1500, 1000, "a.wav"), milliseconds(9000)), "100%  a.wav");
    EXPECT_EQ(cli::StationBoard::LiveText(Bar(5, 0, "a.wav"), milliseconds(9000)), "a.wav");
}

TEST(CliStationBoard, aStationListeningToItsChipShowsTheSegmentHeardWithoutTheBar) {
    // A real run's lines through its pipe: the end of programming, then verification.
    cli::StationProcess run;
    std::string error;
    ASSERT_TRUE(run.Start(
        "/bin/sh", {"-c", "printf '[1300/1300 ms] fall.mp3\\nverifying row 2 fall.mp3\\n'; exec sleep 30"}, &error))
        << error;
    std::vector<std::string> lines;
    while (lines.size() < 2) {
        pollfd fd{run.OutFd(), POLLIN, 0};
        ASSERT_EQ(poll(&fd, 1, -1), 1);
        run.ReadFrom(run.OutFd(), &lines);
        ASSERT_GE(run.OutFd(), 0) << "the run ended early";
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"[1300/1300 ms] fall.mp3", "verifying row 2 fall.mp3"}));
    EXPECT_EQ(cli::StationBoard::LiveText(run.Progress(), milliseconds(9000)), "verifying row 2 fall.mp3");
}

std::string ReadAll(FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    char buffer[512];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    return text;
}

TEST(CliStationBoard, offATerminalEachLineUnderItsStation) {
    FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    cli::StationBoard board(out, {"station 1 (COM1)", "station 2 (/dev/ttyUSB1)"});
    board.Update(1, {"[0/500 ms] a.wav", "bad\x01name"}, Bar(0, 500, "a.wav"), milliseconds(0));
    board.Update(0, {}, Bar(0, 500, "a.wav"), milliseconds(0));  // the time left alone prints nothing
    board.Update(0, {"编程结束"}, cli::StationProgress{}, milliseconds(0));
    board.Finish();
    EXPECT_EQ(ReadAll(out),
              "station 2 (/dev/ttyUSB1): [0/500 ms] a.wav\n"
              "station 2 (/dev/ttyUSB1): bad\\x01name\n"
              "station 1 (COM1): 编程结束\n");
    std::fclose(out);
}

TEST(CliStationBoard, onATerminalOneLinePerStationRedrawnInPlace) {
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);  // the bytes as written, no CR added
    tcsetattr(slave, TCSANOW, &raw);
    FILE* out = fdopen(slave, "w");
    ASSERT_NE(out, nullptr);
    {
        cli::StationBoard board(out, {"station 1 (COM1)", "station 10 (COM2)"});
        board.Update(1, {"[250/1000 ms] a.wav"}, Bar(250, 1000, "a.wav"), milliseconds(10000));
        board.Update(0, {}, cli::StationProgress{}, milliseconds(0));
        board.Finish();
    }
    std::fclose(out);
    std::string shown;
    char buffer[1024];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<size_t>(n));
    close(master);
    EXPECT_EQ(shown,
              "\r\033[Kstation 1 (COM1)   waiting\n"
              "\r\033[Kstation 10 (COM2)  25%  a.wav  0:30 left\n"
              "\033[2A"
              "\r\033[Kstation 1 (COM1)   starting\n"
              "\r\033[Kstation 10 (COM2)  25%  a.wav  0:30 left\n");
}

}  // namespace
