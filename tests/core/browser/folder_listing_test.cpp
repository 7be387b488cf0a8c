// The browser's listing: order, kinds, details on demand and the Linux
// namespace of volumes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "browser/folder_listing.h"
#include "test_files.h"
#include "browser/volumes.h"

namespace fs = std::filesystem;
using test_support::TempDir;
using test_support::WriteBytes;

namespace {

std::vector<std::string> Names(const std::vector<browser::TFileEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.displayName);
    return names;
}

// Lists the same names under a collation locale, putting the old one back.
std::vector<std::string> ListedUnder(const char* locale, const TempDir& d) {
    const std::string before = std::setlocale(LC_COLLATE, nullptr);
    if (!std::setlocale(LC_COLLATE, locale)) return {};
    std::vector<browser::TFileEntry> entries;
    EXPECT_EQ(browser::ReadFolder(d.path(), &entries), 0);
    std::setlocale(LC_COLLATE, before.c_str());
    return Names(entries);
}

}  // namespace

TEST(FolderListing, foldersFirstNumbersAsNumbersCaseFoldedAndDeterministic) {
    TempDir d;
    for (const char* f : {"track10.wav", "track9.wav", "Track2.wav", "b.wav", "a.wav", "track09.wav", ".hidden", "10",
                          "9x", "B.wav", "录音2.wav", "录音10.wav"})
        WriteBytes(d / f, "x");
    for (const char* f : {"zeta", "Alpha", "disc10", "disc2"}) fs::create_directory(d / f);
    const std::vector<std::string> expected = {
        "Alpha", "disc2", "disc10",     "zeta",        "9x",         "10",          ".hidden",   "a.wav",
        "B.wav", "b.wav", "Track2.wav", "track09.wav", "track9.wav", "track10.wav", "录音2.wav", "录音10.wav"};
    EXPECT_EQ(ListedUnder("C.UTF-8", d), expected);
    EXPECT_EQ(ListedUnder("C", d), expected);
}

TEST(FolderListing, numbersAsNumbersUnderAChineseLocale) {
    TempDir d;
    for (const char* f : {"曲10.wav", "曲9.wav", "b2", "B10", "a"}) WriteBytes(d / f, "x");
    std::vector<std::string> zh = ListedUnder("zh_CN.UTF-8", d);
    // Not installed: made from the system's locale sources for this test.
    const TempDir locales;
    if (zh.empty() &&
        std::system(("localedef -i zh_CN -f UTF-8 " + locales.path() + "/zh_CN.UTF-8 >/dev/null 2>&1").c_str()) >= 0 &&
        fs::exists(locales / "zh_CN.UTF-8/LC_COLLATE")) {
        ::setenv("LOCPATH", locales.path().c_str(), 1);
        zh = ListedUnder("zh_CN.UTF-8", d);
        ::unsetenv("LOCPATH");
    }
    if (zh.empty()) GTEST_SKIP() << "zh_CN.UTF-8 is neither installed nor buildable";
    // That locale puts Chinese names before Latin ones; numbers stay numbers.
    EXPECT_EQ(zh, (std::vector<std::string>{"曲9.wav", "曲10.wav", "a", "b2", "B10"}));
}

TEST(FolderListing, kindsAndHiddenAtOnceDetailsOnlyForARangeInsideTheList) {
    TempDir d;
    WriteBytes(d / "k1000.wav", std::string(1000, 'x'));
    WriteBytes(d / "k1999.wav", std::string(1999, 'x'));
    WriteBytes(d / "k999.wav", std::string(999, 'x'));
    WriteBytes(d / ".secret", "");
    fs::create_directory(d / "sub");
    ::mkfifo((d / "pipe").c_str(), 0644);
    std::vector<browser::TFileEntry> e;
    ASSERT_EQ(browser::ReadFolder(d.path(), &e), 0);
    ASSERT_EQ(Names(e), (std::vector<std::string>{"sub", ".secret", "k999.wav", "k1000.wav", "k1999.wav", "pipe"}));
    EXPECT_TRUE(e[0].isFolder);
    EXPECT_EQ(e[1].attributes, browser::kHidden);
    for (const auto& x : e) EXPECT_TRUE(x.needsDetails);

    const std::string folder = d.path() + "/";
    EXPECT_EQ(browser::FetchDetails(folder, e, 4, 6), 0u);  // reaches past the last entry
    for (const auto& x : e) EXPECT_TRUE(x.needsDetails);
    EXPECT_EQ(browser::FetchDetails(folder, e, 0, 5), 6u);
    EXPECT_EQ(browser::FetchDetails(folder, e, 0, 5), 0u);  // once per entry
    EXPECT_EQ(browser::SizeColumnText(e[2]), "0KB");
    EXPECT_EQ(browser::SizeColumnText(e[3]), "1KB");
    EXPECT_EQ(browser::SizeColumnText(e[4]), "1KB");
    EXPECT_EQ(browser::SizeColumnText(e[0]), "");
    EXPECT_FALSE(e[0].dateText.empty());
    EXPECT_EQ(browser::AttributeLetters(e[0].attributes), "");
    EXPECT_EQ(browser::AttributeLetters(e[1].attributes), "HA");
    EXPECT_EQ(browser::AttributeLetters(e[2].attributes), "A");
    EXPECT_EQ(browser::AttributeLetters(e[5].attributes), "S");
    EXPECT_EQ(browser::AttributeLetters(browser::kReadOnly | browser::kHidden | browser::kArchive), "RHA");
}

TEST(FolderListing, aFolderThatCannotBeListedLeavesTheEntries) {
    TempDir d;
    std::vector<browser::TFileEntry> e(1);
    e[0].displayName = "kept";
    EXPECT_EQ(browser::ReadFolder(d / "missing", &e), ENOENT);
    WriteBytes(d / "file", "");
    EXPECT_EQ(browser::ReadFolder(d / "file", &e), ENOTDIR);
    EXPECT_EQ(Names(e), std::vector<std::string>{"kept"});
}

TEST(Volumes, topLevelRootHomeAndMediaWithParentsAndSeparators) {
    const std::string mounts =
        "/dev/sda1 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdb1 /media/ann/MY\\040STICK vfat rw 0 0\n"
        "/dev/sdc1 /run/media/ann/CARD exfat rw 0 0\n"
        "tmpfs /run/user/1000 tmpfs rw 0 0\n";
    const auto v = browser::VolumesFromMounts(mounts, "/home/ann");
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].label + "|" + v[0].root, "文件系统|/");
    EXPECT_EQ(v[1].label + "|" + v[1].root, "主文件夹|/home/ann/");
    EXPECT_EQ(v[2].label + "|" + v[2].root, "MY STICK|/media/ann/MY STICK/");
    EXPECT_EQ(v[3].label + "|" + v[3].root, "CARD|/run/media/ann/CARD/");
    EXPECT_EQ(browser::VolumeOf(v, "/home/ann/Music"), 1);
    EXPECT_EQ(browser::VolumeOf(v, "/etc"), 0);

    EXPECT_EQ(browser::WithSeparator("/"), "/");
    EXPECT_EQ(browser::WithSeparator("/Audio"), "/Audio/");
    std::string up = "unchanged";
    EXPECT_TRUE(browser::ParentFolder(v, "/Audio/", &up));
    EXPECT_EQ(up, "/");
    EXPECT_TRUE(browser::ParentFolder(v, "/home/ann/Music", &up));
    EXPECT_EQ(up, "/home/ann/");
    EXPECT_TRUE(browser::ParentFolder(v, "/home/ann/", &up));
    EXPECT_EQ(up, "");
    EXPECT_TRUE(browser::ParentFolder(v, "/", &up));
    EXPECT_EQ(up, "");
    up = "unchanged";
    EXPECT_FALSE(browser::ParentFolder(v, "", &up));
    EXPECT_EQ(up, "unchanged");
}
