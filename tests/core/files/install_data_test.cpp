// The configuration and chip table shipped beside the program agree with each
// other and describe chips that the address arithmetic can use.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "files/chip_table.h"
#include "files/config.h"
#include "test_files.h"
#include "text/text_codec.h"

namespace {

const std::string kData = std::string(SONMIRA_SOURCE_DIR) + "/data/";

TEST(InstallData, filesAreGbkWithCrLfLineEnds) {
    for (const char* name : {"Sonmira.INI", "sound.dat"}) {
        std::string bytes = test_support::ReadBytes(kData + name);
        ASSERT_FALSE(bytes.empty()) << name;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at " << i;
            }
        }
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
        bool lossless = true;
        EXPECT_EQ(text::ToGbk(text::FromGbk(bytes), &lossless), bytes) << name;
        EXPECT_TRUE(lossless);
        // Bytes that are not GBK decode to U+F700..U+F7FF (EF 9C 80 .. EF 9F BF).
        std::string utf8 = text::FromGbk(bytes);
        for (char second : {'\x9c', '\x9d', '\x9e', '\x9f'})
            EXPECT_EQ(utf8.find(std::string("\xef") + second), std::string::npos) << name << " is not all GBK";
    }
}

TEST(InstallData, everyChipOfEveryProgrammerHasASoundProfile) {
    files::CIniFile config(kData + "Sonmira.INI");
    std::vector<std::string> programmers = files::ReadProgrammers(config);
    ASSERT_EQ(programmers.size(), 2u);
    std::set<std::string> drivers;
    for (const std::string& programmer : programmers) {
        files::ProgrammerSection section = files::ReadProgrammerSection(config, programmer);
        drivers.insert(section.driverFile);
        EXPECT_GE(section.chips.size(), 2u) << programmer;
        for (const std::string& chip : section.chips) {
            SCOPED_TRACE(programmer + " / " + chip);
            files::ChipProfile p;
            std::string error;
            ASSERT_EQ(files::ReadChipProfile(kData + "sound.dat", chip, &p, &error), files::kChipFound) << error;
            EXPECT_GT(p.step, 0);
            EXPECT_GE(p.scale, 1);
            EXPECT_GE(p.lowest, 0);
            EXPECT_GT(p.lastAddress, p.lowest);
            EXPECT_EQ(int64_t{p.capacity}, int64_t{p.lastAddress + 1 - p.lowest} * p.step);
            // Chip addresses fit the module's frames: the first module sends 8 bits,
            // the second 16 bits and its chip code too; a second-module code of 3
            // would read as its handshake.
            int64_t highestChipAddress = int64_t{p.lastAddress + 1} * p.scale - 1;
            if (section.driverFile == "libsonmiradrv.so") {
                EXPECT_LE(highestChipAddress, 0xFF);
                EXPECT_TRUE(p.code > 0 && p.code <= 0xFF);
            } else {
                EXPECT_LE(highestChipAddress, 0xFFFF);
                EXPECT_TRUE(p.code > 3 && p.code <= 0xFFFF);
            }
        }
    }
    EXPECT_EQ(drivers, (std::set<std::string>{"libsonmiradrv.so", "libsonveltdrv.so"}));
}

}  // namespace
