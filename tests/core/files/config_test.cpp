#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "files/config.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("SONMIRA_HOME", dir_.c_str(), 1); }
    void TearDown() override { unsetenv("SONMIRA_HOME"); }
    void Put(const std::string& bytes) { test_support::WriteBytes(path_, bytes); }
    std::string Get() const { return test_support::ReadBytes(path_); }
    const test_support::TempDir tmp_;
    const std::string dir_ = tmp_.path();
    const std::string path_ = tmp_ / "Sonmira.INI";
};

TEST_F(ConfigTest, startSettingsTakeDefaultsForMissingOrOddValues) {
    files::CIniFile config = files::OpenConfig();
    EXPECT_EQ(config.Path(), path_);
    files::StartSettings s = files::ReadStartSettings(config);
    EXPECT_TRUE(s.autoAddressing);
    EXPECT_FALSE(s.editorEnabled || s.hasWavVal || !s.programmers.empty() || s.programmerIndex || s.chipIndex);
    EXPECT_FALSE(fs::exists(path_));
    Put("[Option]\r\nAUTO=yes\r\nEDIT=no\r\nWavVal=loud\r\nComProgram=x\r\n");
    s = files::ReadStartSettings(config);
    EXPECT_TRUE(s.autoAddressing);
    EXPECT_FALSE(s.editorEnabled || s.hasWavVal || s.programmerIndex);
    // Any number but 0 is true; a WavVal outside 0..15 is passed on raw.
    Put("[Option]\r\nComProgram=1\r\nComChip=7\r\nAUTO=0\r\nEDIT=-1\r\nEditPath=/usr/bin/audacity\r\nWavVal=$FFFF\r\n"
        "[Device]\r\n0=SM-1 \xb1\xe0\xb3\xcc\xc6\xf7\r\n1=SV-2\r\n");
    s = files::ReadStartSettings(config);
    EXPECT_FALSE(s.autoAddressing);
    EXPECT_TRUE(s.editorEnabled);
    EXPECT_EQ(s.editorPath, "/usr/bin/audacity");
    EXPECT_TRUE(s.hasWavVal);
    EXPECT_EQ(s.wavVal, 65535);
    EXPECT_EQ(s.programmers, (std::vector<std::string>{"SM-1 编程器", "SV-2"}));
    EXPECT_EQ(s.programmerIndex, 1);
    EXPECT_EQ(s.chipIndex, 7);
}

TEST_F(ConfigTest, numberedListsEndAtTheFirstMissingOrEmptyKey) {
    files::CIniFile config = files::OpenConfig();
    Put("[Device]\r\n0=A\r\n1=B\r\n3=D\r\n");
    EXPECT_EQ(files::ReadProgrammers(config), (std::vector<std::string>{"A", "B"}));
    Put("[Device]\r\n1=B\r\n2=C\r\n");
    EXPECT_TRUE(files::ReadProgrammers(config).empty());
    Put("[SV-2]\r\n1=SV120V\r\n0=SV060V\r\n2=\r\n3=SV240V\r\nFile=libsonveltdrv.so\r\n[sm-1]\r\n0=X\r\n");
    files::ProgrammerSection p = files::ReadProgrammerSection(config, "SV-2");
    EXPECT_EQ(p.chips, (std::vector<std::string>{"SV060V", "SV120V"}));
    EXPECT_EQ(p.driverFile, "libsonveltdrv.so");
    p = files::ReadProgrammerSection(config, "SM-1");
    EXPECT_EQ(p.chips, (std::vector<std::string>{"X"}));
    EXPECT_EQ(p.driverFile, "");
    EXPECT_TRUE(files::ReadProgrammerSection(config, "").chips.empty());
}

TEST_F(ConfigTest, settingWritesReachTheFileKeyByKey) {
    files::CIniFile config = files::OpenConfig();
    EXPECT_EQ(files::WriteAuto(config, false), files::kIniOk);
    EXPECT_EQ(Get(), "[Option]\r\nAUTO=0\r\n");
    EXPECT_EQ(files::WriteEditor(config, true, "/opt/编辑器/run"), files::kIniOk);
    EXPECT_EQ(files::WriteWavVal(config, 8), files::kIniOk);
    EXPECT_EQ(files::WriteSelection(config, -1, 2), files::kIniOk);
    EXPECT_EQ(Get(),
              "[Option]\r\nAUTO=0\r\nEDIT=1\r\nEditPath=/opt/\xb1\xe0\xbc\xad\xc6\xf7/run\r\nWavVal=8\r\n"
              "ComProgram=-1\r\nComChip=2\r\n");
    files::StartSettings s = files::ReadStartSettings(config);
    EXPECT_EQ(s.editorPath, "/opt/编辑器/run");
    EXPECT_EQ(s.programmerIndex, -1);
    // An editor path that cannot be stored is reported; the flag is still written.
    EXPECT_EQ(files::WriteEditor(config, false, "/x/\xf0\x9f\x98\x80"), files::kIniNotGbk);
    EXPECT_FALSE(files::ReadStartSettings(config).editorEnabled);
}

}  // namespace
