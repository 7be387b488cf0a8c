#include "records/record_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "records/record_result.h"
#include "test_files.h"

namespace {

// Whether `work` returned true in a child process of its own.
template <class Work>
pid_t InChild(Work work) {
    const pid_t pid = fork();
    if (pid == 0) _exit(work() ? 0 : 1);
    return pid;
}

bool ExitedZero(pid_t pid) {
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Line i of station c: from a few bytes to well over 4 KiB.
std::string StationLine(int c, int i) {
    return "{\"c\":" + std::to_string(c) + ",\"i\":" + std::to_string(i) + ",\"pad\":\"" +
           std::string((i * 997 + c * 131) % 9000, static_cast<char>('a' + c)) + "\"}\n";
}

TEST(RecordFile, stationsAppendingAtOnceLeaveEveryLineWhole) {
    const test_support::TempDir tmp;
    const std::string log = tmp / "chips.jsonl";
    std::vector<pid_t> stations;
    std::vector<std::string> want;
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i < 200; ++i) want.push_back(StationLine(c, i));
        stations.push_back(InChild([&] {
            std::string error;
            for (int i = 0; i < 200; ++i) {
                if (records::AppendRecordLine(log, StationLine(c, i), &error) != records::kRecordOk) return false;
            }
            return true;
        }));
    }
    for (pid_t pid : stations) EXPECT_TRUE(ExitedZero(pid));
    const std::string bytes = test_support::ReadBytes(log);
    ASSERT_EQ(bytes.back(), '\n');
    std::istringstream in(bytes);
    std::vector<std::string> got;
    for (std::string line; std::getline(in, line);) got.push_back(line + "\n");
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_TRUE(got == want);
}

TEST(RecordFile, failedWriteIsCutBackSoNoHalfLineStays) {
    const test_support::TempDir tmp;
    const std::string log = tmp / "chips.jsonl";
    test_support::WriteBytes(log, "first\n");
    // The size limit lets 100 bytes of the line through, then the write fails.
    EXPECT_TRUE(ExitedZero(InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{106, 106};
        std::string error;
        return setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
               records::AppendRecordLine(log, std::string(5000, 'x') + "\n", &error) == records::kRecordCannotWrite &&
               error == "cannot be written: File too large";
    })));
    EXPECT_EQ(test_support::ReadBytes(log), "first\n");
    std::string error;
    EXPECT_EQ(records::AppendRecordLine(log, "a\nb", &error), records::kRecordBadLine);
    EXPECT_EQ(records::AppendRecordLine(log, "second\n", &error), records::kRecordOk);
    EXPECT_EQ(test_support::ReadBytes(log), "first\nsecond\n");
}

TEST(RecordFile, checkCreatesAMissingFileAndRefusesWhatCannotBeAppendedTo) {
    const test_support::TempDir tmp;
    std::string error;
    EXPECT_EQ(records::CheckRecordFile(tmp / "new.jsonl", &error), records::kRecordOk);
    EXPECT_TRUE(test_support::ReadBytes(tmp / "new.jsonl").empty() && access((tmp / "new.jsonl").c_str(), F_OK) == 0);
    // A FIFO with no reader would block a plain open.
    ASSERT_EQ(mkfifo((tmp / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(records::AppendRecordLine(tmp / "fifo", "x\n", &error), records::kRecordCannotWrite);
}

}  // namespace
