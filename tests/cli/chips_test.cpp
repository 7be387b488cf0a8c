// sonmira-cli chips, run as the user runs it, on a configuration in SONMIRA_HOME.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "test_files.h"

namespace fs = std::filesystem;

namespace {

const std::string kCli = std::string(SONMIRA_OUT_DIR) + "/sonmira-cli";

using CliRun = test_support::CommandResult;

CliRun RunCli(const std::string& home, const std::string& args) {
    return test_support::RunCommand("SONMIRA_HOME='" + home + "' '" + kCli + "' chips " + args + " 2>&1");
}

class ChipsCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kCli)) GTEST_SKIP() << "sonmira-cli not built";
    }
    void Put(const std::string& name, const std::string& bytes) { test_support::WriteBytes(tmp_ / name, bytes); }
    const test_support::TempDir tmp_;
    const std::string dir_ = tmp_.path();
};

TEST_F(ChipsCliTest, listsProgrammersDriversAndProfiles) {
    Put("Sonmira.INI",
        "[Device]\r\n0=SM-1 \xb1\xe0\xb3\xcc\xc6\xf7\r\n1=Bare\r\n"
        "[SM-1 \xb1\xe0\xb3\xcc\xc6\xf7]\r\n0=SV020A\r\n1=NOPE\r\nFile=libsonmiradrv.so\r\n");
    Put("sound.dat", "h,\r\n1,SV020A,125,0x9F,1,0x10,18000,\r\n");
    CliRun r = RunCli(dir_, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "configuration: " + dir_ + "/Sonmira.INI\n" + "chip table: " + dir_ + "/sound.dat\n" +
                         "\n"
                         "programmer 0: SM-1 编程器\n"
                         "  driver: libsonmiradrv.so\n"
                         "  chip 0: SV020A  code=1 (0X0001)  step=125ms  last=0X009F  scale=1  lowest=0X0010  "
                         "capacity=18000ms\n"
                         "  chip 1: NOPE  (not in the chip table)\n"
                         "\n"
                         "programmer 1: Bare\n"
                         "  driver: (none)\n"
                         "  (no chips)\n");
    r = RunCli(std::string(SONMIRA_SOURCE_DIR) + "/data", "");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("  chip 0: SV060V  code=257 (0X0101)  step=100ms  last=0X0257"), std::string::npos);
}

TEST_F(ChipsCliTest, failsClearlyWithoutProgrammersOrChipTable) {
    CliRun r = RunCli(dir_, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "sonmira-cli chips: no programmer types in " + dir_ +
                         "/Sonmira.INI (section [Device], keys 0, 1, ...)\n");
    Put("Sonmira.INI", "[Device]\r\n0=A\r\n[A]\r\n0=C\r\n");
    r = RunCli(dir_, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("  chip 0: C\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("sonmira-cli chips: chip table not found: " + dir_ + "/sound.dat\n"), std::string::npos);
    Put("sound.dat", "h,\r\n1,C,12x,");
    r = RunCli(dir_, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("  chip 0: C  (chip table error: '12x' is not a valid integer value)\n"), std::string::npos)
        << r.out;
}

}  // namespace
