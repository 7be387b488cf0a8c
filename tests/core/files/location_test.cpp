#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "files/location.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

TEST(Location, programDirIsTheExecutablesFolderUnlessSonmiraHomeIsSet) {
    const std::string out = std::string(SONMIRA_OUT_DIR) + "/";
    unsetenv("SONMIRA_HOME");
    EXPECT_EQ(files::ProgramDir(), out);
    setenv("SONMIRA_HOME", "", 1);
    EXPECT_EQ(files::ProgramDir(), out);
    setenv("SONMIRA_HOME", "/tmp", 1);
    EXPECT_EQ(files::DataFilePath("Sonmira.INI"), "/tmp/Sonmira.INI");
    EXPECT_EQ(files::WritableFilePath("sound.dat"), "/tmp/sound.dat");
    unsetenv("SONMIRA_HOME");
    setenv("XDG_CONFIG_HOME", "relative/conf", 1);  // not absolute: ignored
    setenv("HOME", "/home/u/", 1);
    EXPECT_EQ(files::UserDir(), "/home/u/.config/sonmira/");
    setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    EXPECT_EQ(files::UserDir(), "/x/conf/sonmira/");
}

TEST(Location, readOnlyProgramFolderSeedsTheUserCopyOnce) {
    const test_support::TempDir tmp;
    const std::string dir = tmp.path();
    fs::create_directories(dir + "/prog");
    files::Places places{dir + "/prog/", true, dir + "/cfg/sonmira/"};
    std::ofstream(places.programDir + "Sonmira.INI", std::ios::binary) << "[Device]\r\n0=A\r\n";
    EXPECT_EQ(files::WritePathIn(places, "Sonmira.INI"), places.programDir + "Sonmira.INI");
    EXPECT_FALSE(fs::exists(places.userDir));

    places.programDirWritable = false;
    std::string own = places.userDir + "Sonmira.INI";
    EXPECT_EQ(files::ReadPathIn(places, "Sonmira.INI"), places.programDir + "Sonmira.INI");
    EXPECT_EQ(files::WritePathIn(places, "Sonmira.INI"), own);
    EXPECT_EQ(test_support::ReadBytes(own), "[Device]\r\n0=A\r\n");
    EXPECT_EQ(files::ReadPathIn(places, "Sonmira.INI"), own);
    // The user's changes are never replaced by the installed copy again.
    std::ofstream(own, std::ios::binary) << "changed";
    EXPECT_EQ(files::WritePathIn(places, "Sonmira.INI"), own);
    EXPECT_EQ(test_support::ReadBytes(own), "changed");
    // Nothing installed to seed from: the user copy is made by the first write.
    EXPECT_EQ(files::WritePathIn(places, "clip"), places.userDir + "clip");
    EXPECT_FALSE(fs::exists(places.userDir + "clip"));
    // No user folder known: stay beside the program.
    places.userDir.clear();
    EXPECT_EQ(files::WritePathIn(places, "Sonmira.INI"), places.programDir + "Sonmira.INI");
}

}  // namespace
