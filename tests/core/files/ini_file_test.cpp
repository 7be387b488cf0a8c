#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "files/config.h"
#include "files/ini_file.h"
#include "test_files.h"
#include "text/text_codec.h"

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void Put(const std::string& bytes) { test_support::WriteBytes(path_, bytes); }
    std::string Get() const { return test_support::ReadBytes(path_); }
    const test_support::TempDir tmp_;
    const std::string dir_ = tmp_.path();
    const std::string path_ = tmp_ / "Sonmira.INI";
};

TEST_F(IniFileTest, readsMatchNamesWithoutCaseAndTrimBlanks) {
    Put("; comment=not a key\r\n"
        "top=outside any section\r\n"
        "[option]\r\n"
        "  auto = 0  \r\n"
        "EditPath=/usr/bin/editor  --x\r\n"
        "Empty=\r\n"
        "noequals\r\n"
        "[ Device ]\n"
        "0=SM-1 \xb1\xe0\xb3\xcc\xc6\xf7\n"
        "0=second wins never\n"
        "[Option]\r\n"
        "Later=duplicate section is not read\r\n");
    files::CIniFile f(path_);
    EXPECT_EQ(f.ReadString("OPTION", "AUTO", "d"), "0");
    EXPECT_EQ(f.ReadString("Option", "editpath", "d"), "/usr/bin/editor  --x");
    EXPECT_EQ(f.ReadString("Option", "Empty", "d"), "");
    EXPECT_EQ(f.ReadString("Option", "noequals", "d"), "d");
    EXPECT_EQ(f.ReadString("Option", "Later", "d"), "d");
    EXPECT_EQ(f.ReadString("Option", "; comment", "d"), "d");
    EXPECT_EQ(f.ReadString("Option", "Missing", "d"), "d");
    EXPECT_EQ(f.ReadString("Nowhere", "AUTO", "d"), "d");
    EXPECT_EQ(f.ReadString("device", "0", ""), "SM-1 编程器");
}

TEST_F(IniFileTest, integerAndBooleanReadsFallBackToDefault) {
    Put("[Option]\r\nA=42\r\nB=$1F\r\nC=0x10\r\nD=yes\r\nE=\r\nF=0\r\nG=-3\r\nH=12abc\r\n");
    files::CIniFile f(path_);
    EXPECT_EQ(f.ReadInteger("Option", "A", 7), 42);
    EXPECT_EQ(f.ReadInteger("Option", "B", 7), 31);
    EXPECT_EQ(f.ReadInteger("Option", "C", 7), 16);
    EXPECT_EQ(f.ReadInteger("Option", "D", 7), 7);
    EXPECT_EQ(f.ReadInteger("Option", "E", 7), 7);
    EXPECT_EQ(f.ReadInteger("Option", "H", 7), 7);
    EXPECT_EQ(f.ReadInteger("Option", "Z", 7), 7);
    EXPECT_TRUE(f.ReadBool("Option", "D", true));
    EXPECT_FALSE(f.ReadBool("Option", "D", false));
    EXPECT_FALSE(f.ReadBool("Option", "F", true));
    EXPECT_TRUE(f.ReadBool("Option", "G", false));
    EXPECT_TRUE(f.ReadBool("Option", "A", false));
}

TEST_F(IniFileTest, missingFileReadsDefaultsAndFirstWriteCreatesIt) {
    files::CIniFile f(path_);
    EXPECT_EQ(f.ReadInteger("Option", "ComChip", 5), 5);
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_EQ(f.WriteBool("Option", "AUTO", false), files::kIniOk);
    EXPECT_EQ(Get(), "[Option]\r\nAUTO=0\r\n");
    EXPECT_EQ(f.WriteInteger("Option", "ComChip", -1), files::kIniOk);
    EXPECT_EQ(f.WriteString("Device", "0", "SV-2 编程器"), files::kIniOk);
    EXPECT_EQ(Get(), "[Option]\r\nAUTO=0\r\nComChip=-1\r\n[Device]\r\n0=SV-2 \xb1\xe0\xb3\xcc\xc6\xf7\r\n");
    EXPECT_EQ(f.ReadString("Device", "0", ""), "SV-2 编程器");
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, writeChangesOneLineAndKeepsEverythingElse) {
    const std::string before =
        "; keep me\r\n"
        "[Option]\r\n"
        "ComProgram = 3   \r\n"
        "AUTO=1\r\n"
        "\r\n"
        "; about the next section\r\n"
        "[Unknown]\n"
        "x=y\n"
        "[Device]\r\n"
        "0=A";
    Put(before);
    files::CIniFile f(path_);
    // Existing key, other case: only its value changes, the key keeps its spelling and line end.
    EXPECT_EQ(f.WriteInteger("OPTION", "comprogram", 1), files::kIniOk);
    std::string want = before;
    want.replace(want.find("ComProgram = 3   "), 17, "ComProgram =1");
    EXPECT_EQ(Get(), want);
    // New key: after the section's last key, before the blank line and comment.
    EXPECT_EQ(f.WriteString("Option", "EditPath", ""), files::kIniOk);
    want.insert(want.find("AUTO=1\r\n") + 8, "EditPath=\r\n");
    EXPECT_EQ(Get(), want);
    // New key in an LF section takes LF.
    EXPECT_EQ(f.WriteString("unknown", "z", "1"), files::kIniOk);
    want.insert(want.find("x=y\n") + 4, "z=1\n");
    EXPECT_EQ(Get(), want);
    // New key after a last line without a line end.
    EXPECT_EQ(f.WriteString("Device", "1", "B"), files::kIniOk);
    want += "\r\n1=B\r\n";
    EXPECT_EQ(Get(), want);
    EXPECT_EQ(f.ReadString("Device", "1", ""), "B");
    // A lone CR at the very end is not a line end: the new section still starts on a line of its own.
    Put(" 2\r");
    EXPECT_EQ(f.WriteString("a", "2", "v"), files::kIniOk);
    EXPECT_EQ(Get(), " 2\r\r\n[a]\r\n2=v\r\n");
    EXPECT_EQ(f.ReadString("a", "2", ""), "v");
}

TEST_F(IniFileTest, readsDropOnePairOfMatchingQuotesAndWritesKeepThem) {
    Put(
        text::ToGbk("[Device]\r\n"
                    "0=\"SM-1 编程器\"\r\n"
                    "[SM-1 编程器]\r\n"
                    "0='SM120'\r\n"
                    "File = \"libsm1drv.so\" \r\n"
                    "[Option]\r\n"
                    "EditPath=\"/opt/My Editor/ed\"\r\n"
                    "AUTO=\"0\"\r\n"
                    "Empty=\"\"\r\n"
                    "Mixed='a\"\r\n"
                    "Lone=\"\r\n"
                    "Inner=\" a \"\r\n"
                    "Twice=\"\"x\"\"\r\n"));
    files::CIniFile f(path_);
    EXPECT_EQ(files::ReadProgrammers(f), (std::vector<std::string>{"SM-1 编程器"}));
    files::ProgrammerSection p = files::ReadProgrammerSection(f, "SM-1 编程器");
    EXPECT_EQ(p.chips, (std::vector<std::string>{"SM120"}));
    EXPECT_EQ(p.driverFile, "libsm1drv.so");
    EXPECT_EQ(f.ReadString("Option", "EditPath", "d"), "/opt/My Editor/ed");
    EXPECT_EQ(f.ReadInteger("Option", "AUTO", 7), 0);
    EXPECT_EQ(f.ReadString("Option", "Empty", "d"), "");
    EXPECT_EQ(f.ReadString("Option", "Mixed", "d"), "'a\"");
    EXPECT_EQ(f.ReadString("Option", "Lone", "d"), "\"");
    EXPECT_EQ(f.ReadString("Option", "Inner", "d"), " a ");
    EXPECT_EQ(f.ReadString("Option", "Twice", "d"), "\"x\"");
    // A written value goes down as given, and only its line changes.
    const std::string before = Get();
    EXPECT_EQ(f.WriteString("Option", "EditPath", "\"/usr/bin/ed\""), files::kIniOk);
    std::string want = before;
    const std::string old = "\"/opt/My Editor/ed\"";
    want.replace(want.find(old), old.size(), "\"/usr/bin/ed\"");
    EXPECT_EQ(Get(), want);
    EXPECT_EQ(f.ReadString("Option", "EditPath", "d"), "/usr/bin/ed");
}

TEST_F(IniFileTest, gbkNamesMatchExactlyAndBracketTrailByteIsNotAnEnd) {
    // 乚 is 81 5D in GBK: its second byte is ']'. 丄 is 81 41 ('A'), 乤 is 81 61 ('a').
    Put("[\x81\x5d]\r\nk=1\r\n[\x81\x41]\r\nk=2\r\n");
    files::CIniFile f(path_);
    EXPECT_EQ(f.ReadString("乚", "k", "none"), "1");
    EXPECT_EQ(f.ReadString("丄", "k", "none"), "2");
    EXPECT_EQ(f.ReadString("乤", "k", "none"), "none");
    EXPECT_EQ(f.WriteString("乚", "k", "值"), files::kIniOk);
    EXPECT_EQ(Get(), "[\x81\x5d]\r\nk=\xd6\xb5\r\n[\x81\x41]\r\nk=2\r\n");
}

TEST_F(IniFileTest, junkFileNeverCrashesAndKeepsItsJunkOnWrite) {
    std::string junk("\x00\xff\x80[\x00]\r\n", 8);
    junk += std::string(200000, '\xfe') + "\n";  // a huge line of lead bytes without trail bytes
    junk += "[Option]\r\nAUTO=\x81\r\n\x00\x01=\x02\r\n";
    junk.push_back('\0');
    Put(junk);
    files::CIniFile f(path_);
    EXPECT_TRUE(f.ReadBool("Option", "AUTO", true));
    EXPECT_EQ(f.ReadInteger("Option", "AUTO", 9), 9);
    EXPECT_EQ(f.WriteBool("Option", "AUTO", false), files::kIniOk);
    std::string want = junk;
    want.replace(want.find("AUTO=\x81") + 5, 1, "0");
    EXPECT_EQ(Get(), want);
}

TEST_F(IniFileTest, badNamesAndValuesAreRefusedWithTheFileUnchanged) {
    Put("[Option]\r\nAUTO=1\r\n");
    files::CIniFile f(path_);
    EXPECT_EQ(f.WriteString("", "k", "v"), files::kIniBadName);
    EXPECT_EQ(f.WriteString("a]b", "k", "v"), files::kIniBadName);
    EXPECT_EQ(f.WriteString("Option", "", "v"), files::kIniBadName);
    EXPECT_EQ(f.WriteString("Option", "a=b", "v"), files::kIniBadName);
    EXPECT_EQ(f.WriteString("Option", ";c", "v"), files::kIniBadName);
    EXPECT_EQ(f.WriteString("Option", " k", "v"), files::kIniBadName);
    EXPECT_EQ(f.WriteString("Option", "EditPath", "a\r\n[Device]"), files::kIniBadName);
    EXPECT_EQ(f.WriteString("Option", "EditPath", std::string("a\0b", 3)), files::kIniBadName);
    EXPECT_EQ(f.WriteString("Option", "EditPath", "/home/\xf0\x9f\x98\x80"), files::kIniNotGbk);
    EXPECT_EQ(Get(), "[Option]\r\nAUTO=1\r\n");
}

TEST_F(IniFileTest, failedWritesLeaveFilesAloneAndAreReported) {
    // Folder missing: nothing is created.
    files::CIniFile nowhere(dir_ + "/missing/Sonmira.INI");
    EXPECT_EQ(nowhere.WriteBool("Option", "AUTO", true), files::kIniIoError);
    EXPECT_FALSE(fs::exists(dir_ + "/missing"));
    // Not a regular file (a FIFO would block a plain read): defaults, and no write.
    ASSERT_EQ(mkfifo(path_.c_str(), 0644), 0);
    EXPECT_EQ(files::CIniFile(path_).ReadInteger("Option", "AUTO", 3), 3);
    EXPECT_EQ(files::CIniFile(path_).WriteBool("Option", "AUTO", true), files::kIniIoError);
    fs::remove(path_);
    // A file too large to be a configuration reads as empty and is never rewritten.
    Put("[Option]\r\nAUTO=0\r\n");
    ASSERT_EQ(truncate(path_.c_str(), static_cast<off_t>(files::kMaxFileBytes) + 1), 0);
    files::CIniFile f(path_);
    EXPECT_TRUE(f.ReadBool("Option", "AUTO", true));
    EXPECT_EQ(f.WriteBool("Option", "AUTO", false), files::kIniTooLarge);
    EXPECT_EQ(fs::file_size(path_), files::kMaxFileBytes + 1);
    // A read-only file stays as it is (root may write anywhere, so only as a user).
    if (geteuid() != 0) {
        Put("[Option]\r\nAUTO=1\r\n");
        chmod(path_.c_str(), 0444);
        EXPECT_EQ(f.WriteBool("Option", "AUTO", false), files::kIniIoError);
        EXPECT_EQ(Get(), "[Option]\r\nAUTO=1\r\n");
    }
}

TEST_F(IniFileTest, writesFollowSymlinksKeepModeAndSeeOtherWriters) {
    std::string real = dir_ + "/real.ini";
    std::ofstream(real, std::ios::binary) << "[Option]\r\nAUTO=1\r\n";
    chmod(real.c_str(), 0640);
    fs::create_symlink(real, path_);
    files::CIniFile f(path_);
    EXPECT_EQ(f.WriteBool("Option", "AUTO", false), files::kIniOk);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(Get(), "[Option]\r\nAUTO=0\r\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Another writer changes the file between our calls: the next write keeps its change.
    std::ofstream(real, std::ios::binary) << "[Option]\r\nAUTO=0\r\nEDIT=1\r\n";
    EXPECT_TRUE(f.ReadBool("Option", "EDIT", false));
    EXPECT_EQ(f.WriteString("Option", "EditPath", "vi"), files::kIniOk);
    EXPECT_EQ(Get(), "[Option]\r\nAUTO=0\r\nEDIT=1\r\nEditPath=vi\r\n");
}

}  // namespace
