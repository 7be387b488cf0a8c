// The Debian package of this build: made with cpack into a temporary folder,
// looked at with Debian's own tools, and unpacked (never installed) to run
// the programs from it.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

#include "as_nobody.h"
#include "list/project_file.h"
#include "run_rig.h"
#include "test_files.h"

namespace fs = std::filesystem;
using test_support::RunCommand;

namespace {

const std::string kProgramDir = std::string("usr/") + SONMIRA_PROGRAM_DIR + "/";

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Runs the shell command `cmd` as an ordinary user: as root, as nobody (root
// may write anywhere, an installed program's user may not); else as ourselves.
test_support::CommandResult AsUser(const std::string& cmd) {
    if (::geteuid() != 0) return RunCommand(cmd);
    return test_support::RunAsNobody([&] {
        execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        return 127;
    });
}

class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work_ = new test_support::TempDir("sonmira-package");
        ::chmod(work_->path().c_str(), 0755);  // the unprivileged runs below go through it
        const auto made = RunCommand("cd " + Quoted(SONMIRA_BUILD_DIR) + " && cpack -G DEB -B " +
                                     Quoted(*work_ / "out") + " -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip 2>&1");
        ASSERT_EQ(made.status, 0) << made.out;
        for (const auto& e : fs::directory_iterator(*work_ / "out"))
            if (e.path().extension() == ".deb") deb_ = e.path();
        ASSERT_FALSE(deb_.empty()) << made.out;
        root_ = *work_ / "root";
        const auto unpacked = RunCommand("dpkg-deb -x " + Quoted(deb_) + " " + Quoted(root_) + " 2>&1");
        ASSERT_EQ(unpacked.status, 0) << unpacked.out;
        ::chmod(root_.c_str(), 0755);
    }
    static void TearDownTestSuite() {
        delete work_;
        work_ = nullptr;
    }
    static std::string Bin(const std::string& program) { return root_ + "/usr/bin/" + program; }

    static test_support::TempDir* work_;
    static std::string deb_, root_;
};

test_support::TempDir* Package::work_ = nullptr;
std::string Package::deb_, Package::root_;

TEST_F(Package, holdsTheProgramFolderItsLinksAndTheDesktopsFilesAndNothingElse) {
    EXPECT_EQ(fs::path(deb_).filename().string().rfind("sonmira_", 0), 0u) << deb_;
    const std::vector<std::string> listing = LinesOf(RunCommand("dpkg-deb -c " + Quoted(deb_)).out);
    std::vector<std::string> files;
    for (const std::string& line : listing) {
        if (line[0] == 'd') continue;
        std::string entry = line.substr(line.find("./") + 2);
        files.push_back(entry);
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> expected = {
        "usr/bin/sonmira -> ../lib/" + std::string(SONMIRA_PROGRAM_DIR).substr(4) + "/sonmira",
        "usr/bin/sonmira-cli -> ../lib/" + std::string(SONMIRA_PROGRAM_DIR).substr(4) + "/sonmira-cli",
        "usr/bin/sonmira-modsim -> ../lib/" + std::string(SONMIRA_PROGRAM_DIR).substr(4) + "/sonmira-modsim",
        "usr/share/applications/org.sonmira.Sonmira.desktop",
        "usr/share/bash-completion/completions/sonmira-cli",
        "usr/share/doc/sonmira/changelog.gz",
        "usr/share/doc/sonmira/copyright",
        "usr/share/man/man1/sonmira-cli.1.gz",
        "usr/share/man/man1/sonmira-modsim.1.gz",
        "usr/share/man/man1/sonmira.1.gz",
        "usr/share/metainfo/org.sonmira.Sonmira.metainfo.xml",
        "usr/share/mime/packages/org.sonmira.Sonmira-project.xml",
    };
    for (const char* f :
         {"Sonmira.INI", "libhhctrl.so", "libsertra.so", "libsonmira_sound.so", "libsonmiradrv.so", "libsonveltdrv.so",
          "qv.dat", "qv_help.chm", "sonmira", "sonmira-cli", "sonmira-modsim", "sound.dat"})
        expected.push_back(kProgramDir + f);
    for (const char* size : {"128x128", "16x16", "24x24", "256x256", "32x32", "48x48", "64x64"})
        expected.push_back("usr/share/icons/hicolor/" + std::string(size) + "/apps/org.sonmira.Sonmira.png");
    expected.push_back("usr/share/icons/hicolor/scalable/apps/org.sonmira.Sonmira.svg");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files, expected);
    // What the program writes goes to the user's folder: nothing installed is writable by others.
    for (const std::string& line : listing)
        EXPECT_TRUE(line.compare(0, 10, "-rw-r--r--") == 0 || line.compare(0, 10, "-rwxr-xr-x") == 0 ||
                    line.compare(0, 10, "drwxr-xr-x") == 0 || line.compare(0, 10, "lrwxrwxrwx") == 0)
            << line;
}

// A build folder or source folder compiled into what is installed would
// break on every other machine. A sanitizer build names its source files in
// its reports: those names alone are allowed there.
TEST_F(Package, nothingInItNamesTheBuildOrTheSourceFolder) {
    const std::regex sourceName(R"(^[A-Za-z0-9_./+-]*\.(cpp|cc|c|h|hpp)$)");
    for (const auto& e : fs::recursive_directory_iterator(root_)) {
        if (!e.is_regular_file() || e.is_symlink()) continue;
        const std::string bytes = test_support::ReadBytes(e.path());
        for (const std::string dir : {SONMIRA_BUILD_DIR, SONMIRA_SOURCE_DIR}) {
            for (size_t at = bytes.find(dir); at != std::string::npos; at = bytes.find(dir, at + 1)) {
                size_t end = at;
                while (end < bytes.size() && bytes[end] > ' ' && bytes[end] < 0x7f && bytes[end] != ':') ++end;
                const std::string named = bytes.substr(at + dir.size(), end - at - dir.size());
                EXPECT_TRUE(SONMIRA_SANITIZED && std::regex_match(named, sourceName))
                    << e.path() << " names " << dir + named;
            }
        }
    }
}

TEST_F(Package, lintianFindsNoErrorAndTheDesktopEntryMetadataAndFileTypeValidate) {
    const auto lint = RunCommand("lintian --fail-on error " + Quoted(deb_) + " 2>&1");
    EXPECT_EQ(lint.status, 0) << lint.out;
    for (const std::string& line : LinesOf(lint.out)) EXPECT_NE(line.rfind("E: ", 0), 0u) << line;

    const std::string share = root_ + "/usr/share/";
    const auto desktop =
        RunCommand("desktop-file-validate " + Quoted(share + "applications/org.sonmira.Sonmira.desktop") + " 2>&1");
    EXPECT_EQ(desktop.status, 0);
    EXPECT_EQ(desktop.out, "");
    const auto meta = RunCommand("appstreamcli validate --no-net " +
                                 Quoted(share + "metainfo/org.sonmira.Sonmira.metainfo.xml") + " 2>&1");
    EXPECT_EQ(meta.status, 0) << meta.out;
}

// The shared-MIME database built from the package's file type, read by GIO
// as a file manager reads it: by name in any letter case, and by the first
// line of a file whose name says nothing.
TEST_F(Package, projectFilesAreKnownByTheirNameInAnyCaseAndByTheirHeaderLine) {
    const std::string share = *work_ / "share";
    fs::create_directories(share + "/mime/packages");
    fs::copy_file(root_ + "/usr/share/mime/packages/org.sonmira.Sonmira-project.xml",
                  share + "/mime/packages/org.sonmira.Sonmira-project.xml");
    const auto db = RunCommand("update-mime-database " + Quoted(share + "/mime") + " 2>&1");
    ASSERT_EQ(db.status, 0) << db.out;
    // GIO reads these once, at its first question.
    setenv("XDG_DATA_HOME", share.c_str(), 1);
    setenv("XDG_DATA_DIRS", "/usr/share", 1);

    const auto type = [](const std::string& name, const std::string& data) {
        gboolean uncertain = FALSE;
        gchar* t = g_content_type_guess(name.empty() ? nullptr : name.c_str(),
                                        reinterpret_cast<const guchar*>(data.data()), data.size(), &uncertain);
        std::string s = t ? t : "";
        g_free(t);
        return s;
    };
    std::string project;
    std::string bad;
    ASSERT_EQ(list::Build(list::ProgrammingList{}, {"SM-1 编程器", "SV020A"}, "20261209", &project, &bad),
              list::kProjectOk);
    for (const char* name : {"门铃.QWF", "a.qwf", "B.Qwf"})
        EXPECT_EQ(type(name, project), "application/x-sonmira-project") << name;
    EXPECT_EQ(type("", project), "application/x-sonmira-project");
    EXPECT_EQ(type("", "V1.0,20261209,something else,a,b,\r\n"), "text/plain");
    EXPECT_EQ(type("notes.txt", project), "text/plain");
}

TEST_F(Package, theUnpackedToolSeedsAFreshConfigurationAndListsTheTypesAsTheBuildDoes) {
    const test_support::TempDir home("sonmira-home");
    if (::geteuid() == 0)
        ASSERT_EQ(::chown(home.path().c_str(), 65534, 65534), 0);
    else
        ASSERT_EQ(RunCommand("chmod -R a-w " + Quoted(root_ + "/usr")).status, 0);
    const auto chips = AsUser("env -u XDG_CONFIG_HOME -u SONMIRA_HOME HOME=" + Quoted(home.path()) + " " +
                              Quoted(Bin("sonmira-cli")) + " chips");
    ASSERT_EQ(chips.status, 0) << chips.out;
    const std::string seeded = home / ".config/sonmira/Sonmira.INI";
    EXPECT_EQ(test_support::ReadBytes(seeded), test_support::ReadBytes(root_ + "/" + kProgramDir + "Sonmira.INI"));
    const auto built = RunCommand("env -u SONMIRA_HOME " + Quoted(std::string(SONMIRA_BUILD_DIR) + "/out/sonmira-cli") +
                                  " chips 2>&1");
    ASSERT_EQ(built.status, 0) << built.out;
    if (::geteuid() != 0) RunCommand("chmod -R u+w " + Quoted(root_ + "/usr"));
    const auto body = [](const std::string& out) { return out.substr(out.find("\n\n")); };
    EXPECT_EQ(chips.out.substr(0, chips.out.find("\n\n")),
              "configuration: " + seeded + "\nchip table: " + root_ + "/" + kProgramDir + "sound.dat");
    EXPECT_EQ(body(chips.out), body(built.out));
}

TEST_F(Package, theUnpackedToolProgramsAChipOnTheUnpackedSimulator) {
    const test_support::TempDir home("sonmira-home");
    rig::ModSim sim(Bin("sonmira-modsim"), "first");
    const std::string wav = home / "a.wav";
    ASSERT_TRUE(rig::MakeTone(wav, 300, 440));
    list::ProgrammingList rows;
    rig::PutRow(rows, 1, true, "0X0000", "a.wav", 300, wav);
    const std::string project = home / "p.QWF";
    ASSERT_EQ(list::Write(project, rows, {"SM-1 编程器", "SV020A"}, "20261209"), list::kProjectOk);
    const auto run = RunCommand("env -u SONMIRA_HOME HOME=" + Quoted(home.path()) + " SERTRA_COM1=" + sim.Path() +
                                " SERTRA_COM2=/nonexistent SERTRA_COM3=/nonexistent SERTRA_COM4=/nonexistent"
                                " SONMIRA_AUDIO_SINK='fakesink sync=true' " +
                                Quoted(Bin("sonmira-cli")) + " program " + Quoted(project) + " 2>&1");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("编程结束"), std::string::npos) << run.out;
    EXPECT_EQ(sim.WaitRxHex(5),
              (std::vector<std::string>{"5A 44 44 5A", "5A 44 44 5A", "5A 66 FF C3", "5A 11 00 4B", "5A 66 FF C3"}));
}

// Black-box, on an X server of its own (desktop_f1.sh): the window appears,
// F1 (typed through XTEST) opens the help window, and the program holds the
// manual of its own folder open.
TEST_F(Package, theUnpackedDesktopProgramShowsItsMainWindowAndF1OpensTheManual) {
    const test_support::TempDir home("sonmira-home");
    rig::ModSim sim(Bin("sonmira-modsim"), "first");
    const std::string manual = root_ + "/" + kProgramDir + "qv_help.chm";
    const auto run = RunCommand("env -u SONMIRA_HOME HOME=" + Quoted(home.path()) + " SERTRA_COM1=" + sim.Path() +
                                " SERTRA_COM2=/nonexistent SERTRA_COM3=/nonexistent SERTRA_COM4=/nonexistent"
                                " ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 1280x1024x24' bash " +
                                Quoted(std::string(SONMIRA_SOURCE_DIR) + "/tests/data/desktop_f1.sh") + " " +
                                Quoted(Bin("sonmira")) + " " + Quoted(manual) + " 2>&1");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "");
}

}  // namespace
