// The progress line a run prints off a terminal and `line` reads back from
// its stations: the bytes written, and what is read from them.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "progress_line.h"
#include "run_terminal.h"
#include "station_process.h"

namespace {

TEST(CliProgressLine, theBytesOfThePrefix) {
    EXPECT_EQ(cli::ProgressPrefix(375, 1625, cli::kRunUnit), "[375/1625 ms] ");
    EXPECT_EQ(cli::ProgressPrefix(3, 10, ""), "[3/10] ");  // playback counts rows
    EXPECT_EQ(cli::ProgressCount(0, 0, "ms"), "0/0 ms");
}

TEST(CliProgressLine, whatIsWrittenIsReadBack) {
    const int32_t values[][2] = {{0, 0}, {375, 1625}, {1625, 1625}, {-1, 5}, {INT32_MAX, INT32_MAX}};
    for (const auto& v : values) {
        const std::string line = cli::ProgressPrefix(v[0], v[1], cli::kRunUnit) + "b c.wav";
        int64_t position = -7, max = -7;
        size_t textAt = 0;
        ASSERT_TRUE(cli::ParseProgressPrefix(line, &position, &max, &textAt)) << line;
        EXPECT_EQ(position, v[0]);
        EXPECT_EQ(max, v[1]);
        EXPECT_EQ(line.substr(textAt), "b c.wav");
    }
}

TEST(CliProgressLine, otherLinesAreNotProgress) {
    for (const char* line : {"", "编程结束", "[3/10] a.wav", "[375 ms] a.wav", "375/1625 ms] a.wav", "[a/b ms] a.wav",
                             "[375/1625 s] a.wav", "chip 1 of 2"}) {
        int64_t position = 0, max = 0;
        size_t textAt = 0;
        EXPECT_FALSE(cli::ParseProgressPrefix(line, &position, &max, &textAt)) << line;
        cli::StationProgress p;
        EXPECT_FALSE(cli::ParseProgressLine(line, &p)) << line;
        EXPECT_FALSE(p.hasBar);
    }
}

// Both sides at once: the run's view writes the line, the station reads it.
TEST(CliProgressLine, aStationReadsWhatTheRunsViewPrints) {
    FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        cli::TerminalRunView view(out, cli::kRunUnit);
        view.SetRange(1625);
        view.SetStatus("b\t.wav", 375);
        view.SetCaption("编程结束");
    }
    std::rewind(out);
    char buffer[256] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
    std::fclose(out);
    const std::string printed(buffer, n);
    ASSERT_EQ(printed, "[375/1625 ms] b\\t.wav\n编程结束\n");
    cli::StationProgress p;
    ASSERT_TRUE(cli::ParseProgressLine(printed.substr(0, printed.find('\n')), &p));
    EXPECT_EQ(p.position, 375);
    EXPECT_EQ(p.max, 1625);
    EXPECT_EQ(p.text, "b\\t.wav");
    EXPECT_TRUE(p.hasBar);
}

}  // namespace
