#include "files/verify_config.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace {

TEST(VerifyConfig, writtenKeyByKeyAndReadBackWithDefaultsForWhatIsMissingOrWrong) {
    test_support::TempDir dir("sonmira-verify-ini");
    const std::string path = dir.path() + "/Sonmira.INI";
    test_support::WriteBytes(path, "[Option]\r\nAUTO=1\r\n");
    const files::CIniFile ini(path);
    const files::VerifySettings defaults = files::ReadVerifySettings(ini);
    EXPECT_EQ(defaults.input, "");
    EXPECT_DOUBLE_EQ(defaults.minSimilarity, 0.80);
    EXPECT_FALSE(defaults.afterDownload);

    ASSERT_EQ(files::WriteVerifySettings(ini, {"line_wire.monitor", 0.9, true}), files::kIniOk);
    EXPECT_EQ(
        test_support::ReadBytes(path),
        "[Option]\r\nAUTO=1\r\nVerifyInput=line_wire.monitor\r\nVerifySimilarity=0.90\r\nVerifyAfterDownload=1\r\n");
    const files::VerifySettings back = files::ReadVerifySettings(ini);
    EXPECT_EQ(back.input, "line_wire.monitor");
    EXPECT_DOUBLE_EQ(back.minSimilarity, 0.90);
    EXPECT_TRUE(back.afterDownload);

    for (const char* bad : {"1.5", "-0.1", "0,8", "x"}) {
        ini.WriteString("Option", "VerifySimilarity", bad);
        EXPECT_DOUBLE_EQ(files::ReadVerifySettings(ini).minSimilarity, 0.80) << bad;
    }
}

}  // namespace
