// sonmira-cli after a port scan that found no module: the message, then one
// line per port saying what the scan found there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "as_nobody.h"
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

// Root opens any device, so the scan runs as nobody on a pseudo-terminal
// handed to root:dialout, as udev hands out a USB adapter.
TEST(PortScanCli, aPortTheUserMayNotOpen_namesItsGroupAndTheWayIn) {
    if (!std::filesystem::exists(kOut + "sonmira-cli")) GTEST_SKIP() << "sonmira-cli not built";
    if (geteuid() != 0) GTEST_SKIP() << "only root can hand the device to another owner and become nobody";
    const int dialout = test_support::GroupId("dialout");
    if (dialout < 0) GTEST_SKIP() << "this system has no group dialout";

    // The program folder and HOME belong to nobody, who may write the settings.
    const test_support::TempDir home;
    test_support::WriteBytes(home / "Sonmira.INI", test_support::ReadBytes(kOut + "Sonmira.INI"));
    for (const char* f : {"sound.dat", "libsonmiradrv.so", "libsonveltdrv.so"})
        ASSERT_EQ(symlink((kOut + f).c_str(), (home / f).c_str()), 0) << f;
    ASSERT_EQ(chown(home.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(chown((home / "Sonmira.INI").c_str(), 65534, 65534), 0);

    // The master stays open here for as long as the program runs.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string slave = ptsname(master);
    ASSERT_EQ(chown(slave.c_str(), 0, static_cast<gid_t>(dialout)), 0);
    ASSERT_EQ(chmod(slave.c_str(), 0660), 0);

    const std::string cli = kOut + "sonmira-cli";
    const test_support::CommandResult r = test_support::RunAsNobody([&] {
        setenv("HOME", home.path().c_str(), 1);
        setenv("SONMIRA_HOME", home.path().c_str(), 1);
        setenv("SERTRA_COM1", slave.c_str(), 1);
        for (const char* empty : {"SERTRA_COM2", "SERTRA_COM3", "SERTRA_COM4"}) setenv(empty, "", 1);
        execl(cli.c_str(), cli.c_str(), "pulse", "--programmer", "SM-1 编程器", "0010", static_cast<char*>(nullptr));
        return 127;
    });
    close(master);
    EXPECT_EQ(r.status, 1);
    std::string expected = "信息提示: 串口未打开！\n";
    expected += "  COM1 (" + slave +
                "): no permission to open it (the device belongs to group dialout): sudo usermod -aG dialout $USER, "
                "then log in again\n";
    for (const char* port : {"COM2", "COM3", "COM4"})
        expected += std::string("  ") + port + ": no device for this port\n";
    EXPECT_EQ(r.out, expected);
}

}  // namespace
