// A driver library that cannot be bound, as program, play and pulse tell it:
// the message and the loader's reason once, nothing more, exit status 1.
#include <gtest/gtest.h>

#include "test_files.h"

namespace {

const std::string kCli = std::string(SONMIRA_OUT_DIR) + "/sonmira-cli";
const std::string kNoFactory = std::string(SONMIRA_TEST_LIB_DIR) + "/libdrvtest_nofactory.so";

class DriverFailureCli : public ::testing::Test {
protected:
    void SetUp() override {
        // Programmer P, configured and named by the project: the library is
        // asked for at start-up and again when the project is opened.
        Put("Sonmira.INI",
            "[Option]\r\nComProgram=0\r\nComChip=0\r\n[Device]\r\n0=P\r\n1=Q\r\n[P]\r\n0=SV020A\r\nFile=" + kNoFactory +
                "\r\n[Q]\r\n0=SV020A\r\n");
        Put("sound.dat", "h,\r\n1,SV020A,125,0x9F,1,0,20000,\r\n");
        Put("p.QWF",
            "V1.0,20261207,wendaloprist,P,SV020A,\r\n1,\xca\xc7,0X0000,0X0009,a.wav,1000,1KB,.wav,t,/x/a.wav,/x/"
            "a.wav,\r\n");
    }
    void Put(const std::string& name, const std::string& bytes) { test_support::WriteBytes(tmp_ / name, bytes); }
    test_support::CommandResult Cli(const std::string& args) {
        return test_support::RunCommand("SONMIRA_HOME='" + tmp_.path() + "' '" + kCli + "' " + args +
                                        " 2>&1 </dev/null");
    }
    const test_support::TempDir tmp_;
};

}  // namespace

TEST_F(DriverFailureCli, theMessageAndTheLoadersReasonArePrintedOnce) {
    const std::string told =
        "信息提示: " + kNoFactory + "文件没有找到！\n" + kNoFactory + ": undefined symbol: CreateObj\n";
    for (const std::string& args : {"program " + tmp_ / "p.QWF", "play " + tmp_ / "p.QWF", std::string("pulse 10")}) {
        const test_support::CommandResult r = Cli(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.out, told) << args;
    }
    // No library configured: nothing was told, so the run says what is missing.
    const test_support::CommandResult r = Cli("pulse --programmer Q 10");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "sonmira-cli pulse: no driver library is bound for programmer type 'Q'\n");
}
