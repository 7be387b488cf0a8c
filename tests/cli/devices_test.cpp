// sonmira-cli devices, run as the user runs it.
#include <gtest/gtest.h>

#include <filesystem>

#include "private_sound_server.h"
#include "test_files.h"

namespace {

const std::string kCli = std::string(SONMIRA_OUT_DIR) + "/sonmira-cli";

TEST(DevicesCli, listsBothHeadingsAndRefusesArguments) {
    if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sonmira-cli not built";
    test_support::CommandResult r = test_support::RunCommand("'" + kCli + "' devices 2>/dev/null");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("serial ports (give one to --port):\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nsound outputs (give one to --audio):\n  "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nsound inputs (give one to --capture):\n  "), std::string::npos) << r.out;

    r = test_support::RunCommand("'" + kCli + "' devices x 2>&1");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.rfind("sonmira-cli devices: unexpected argument 'x'\n\nusage: sonmira-cli devices\n", 0), 0u)
        << r.out;
}

TEST(DevicesCli, aSoundServersSinksAreOutputsAndTheirMonitorsInputs) {
    if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sonmira-cli not built";
    test_support::PrivateSoundServer server;
    std::string error;
    ASSERT_TRUE(server.Start({"wire_one"}, &error)) << error;
    const test_support::CommandResult r = test_support::RunCommand("'" + kCli + "' devices 2>/dev/null");
    EXPECT_EQ(r.status, 0);
    const size_t inputs = r.out.find("\nsound inputs (give one to --capture):\n");
    ASSERT_NE(inputs, std::string::npos) << r.out;
    const size_t output = r.out.find("\n  wire_one  ");
    const size_t monitor = r.out.find("\n  wire_one.monitor  ");
    EXPECT_LT(output, inputs) << r.out;
    EXPECT_NE(monitor, std::string::npos) << r.out;
    EXPECT_GT(monitor, inputs) << r.out;
    EXPECT_NE(r.out.find("(PulseAudio/PipeWire)", monitor), std::string::npos) << r.out;
}

}  // namespace
