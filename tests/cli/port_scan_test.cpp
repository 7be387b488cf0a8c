// sonmira-cli after a port scan that found no module: the message, then one
// line per port saying what the scan found there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "modsim_process.h"
#include "test_files.h"

namespace {

const std::string kOut = std::string(SONMIRA_OUT_DIR) + "/";

TEST(PortScanCli, noModuleFound_namesWhatEachPortDid) {
    if (!std::filesystem::exists(kOut + "sonmira-cli")) GTEST_SKIP() << "sonmira-cli not built";
    const test_support::TempDir home;
    for (const char* f : {"Sonmira.INI", "sound.dat", "libsonmiradrv.so", "libsonveltdrv.so"})
        ASSERT_EQ(symlink((kOut + f).c_str(), (home / f).c_str()), 0) << f;
    test_support::ModSimProcess silent(SONMIRA_MODSIM, {"--module", "first", "--silent"});
    test_support::ModSimProcess wrong(SONMIRA_MODSIM, {"--module", "first", "--wrong-reply"});
    ASSERT_FALSE(silent.Path().empty());
    ASSERT_FALSE(wrong.Path().empty());

    const test_support::CommandResult r = test_support::RunCommand(
        "SONMIRA_HOME='" + home.path() + "' SERTRA_COM1='" + silent.Path() + "' SERTRA_COM2='" + wrong.Path() +
        "' SERTRA_COM3=/nonexistent/sonmira-com3 SERTRA_COM4= '" + kOut +
        "sonmira-cli' pulse --programmer 'SM-1 编程器' 0010 2>&1 </dev/null");
    EXPECT_EQ(r.status, 1);
    std::string expected = "信息提示: 串口未打开！\n";
    expected += "  COM1 (" + silent.Path() + "): opened, no reply within 500 ms\n";
    expected += "  COM2 (" + wrong.Path() + "): opened, reply 5A 44 44 00 failed its check\n";
    expected += "  COM3 (/nonexistent/sonmira-com3): no device at this path\n";
    expected += "  COM4: no device for this port\n";
    EXPECT_EQ(r.out, expected);
}

}  // namespace
