// sonmira-cli length: one "ms<TAB>path" line per file, exit status 0 only
// when every file was measured.
#include "audio_files.h"

using namespace audiotest;

namespace {

const std::string kCli = std::string(SONMIRA_OUT_DIR) + "/sonmira-cli";

using Result = test_support::CommandResult;

Result RunCli(const std::string& args) { return test_support::RunCommand(kCli + " length " + args + " 2>/dev/null"); }

}  // namespace

TEST(CliLength, linesPerFileAndExitStatus) {
    if (access(kCli.c_str(), X_OK) != 0) GTEST_SKIP() << "sonmira-cli is not built";
    std::string wav = MakeWav("one.wav", 44100, 2, 44144);
    std::string wav2 = MakeWav("two.wav", 8000, 1, 20000);
    std::string missing = PathOf("missing.mp3");

    Result all = RunCli("'" + wav + "' '" + wav2 + "'");
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, "1001\t" + wav + "\n2500\t" + wav2 + "\n");

    Result some = RunCli("'" + wav + "' '" + missing + "'");
    EXPECT_EQ(some.status, 1);
    EXPECT_EQ(some.out, "1001\t" + wav + "\n0\t" + missing + "\n");

    Result none = RunCli("");
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out, "");
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TempDirCleaner);
    return RUN_ALL_TESTS();
}
