// sonmira-cli add and list, run as the user runs them: the built program on
// sound files made by sox, with its own copy of the installation data in
// SONMIRA_HOME. Project files are compared whole, byte for byte.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>

#include "audio_files.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

const std::string kCli = std::string(SONMIRA_OUT_DIR) + "/sonmira-cli";
// GBK forms of the texts the project file holds.
const std::string kYesGbk = "\xca\xc7", kNoGbk = "\xb7\xf1", kDeletedGbk = "\xce\xc4\xbc\xfe\xd2\xd1\xc9\xbe\xb3\xfd";
const std::string kSm1Gbk = "SM-1 \xb1\xe0\xb3\xcc\xc6\xf7", kSv2Gbk = "SV-2 \xb1\xe0\xb3\xcc\xc6\xf7";

struct Wav {
    std::string name, path, time, size;
    int ms;
    bool gone = false;  // the project names it but it is not there
};
Wav a, b, c, old;

// A sine with a fixed modification time, so the list's time cell is known.
Wav Make(const std::string& name, int rate, int channels, long samples, int ms, const std::string& mtime,
         const std::string& time) {
    std::string path = audiotest::MakeWav(name, rate, channels, samples);
    audiotest::Sh("touch -d '" + mtime + "' '" + path + "'");
    return {name, path, time, std::to_string(fs::file_size(path) / 1024) + "KB", ms};
}

std::string Today() {
    time_t t = time(nullptr);
    tm local{};
    localtime_r(&t, &local);
    char buf[16];
    strftime(buf, sizeof buf, "%Y%m%d", &local);
    return buf;
}

std::string Header(const std::string& programmer, const std::string& chip, const std::string& date = Today()) {
    return "V1.0," + date + ",wendaloprist," + programmer + "," + chip + ",\r\n";
}

// One segment as add and list print it (UTF-8, tabs)...
std::string Printed(int row, const Wav& w, const std::string& start, const std::string& end, bool on = true) {
    return std::to_string(row) + (on ? "\t1\t是\t" : "\t0\t否\t") + start + "\t" + end + "\t" + w.name + "\t" +
           std::to_string(w.ms) + "\t" + w.size + "\t.wav\t" + w.time + "\t" + w.path + "\t" +
           (w.gone ? "文件已删除" : w.path) + "\n";
}

// ...and as the project file stores it (GBK, a comma after every field, CR LF).
std::string Stored(const Wav& w, const std::string& start, const std::string& end, bool on = true) {
    return (on ? "1," + kYesGbk : "0," + kNoGbk) + "," + start + "," + end + "," + w.name + "," + std::to_string(w.ms) +
           "," + w.size + ",.wav," + w.time + "," + w.path + "," + (w.gone ? kDeletedGbk : w.path) + ",\r\n";
}

struct CliRun {
    int status;
    std::string out, err;
};

class AddListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        a = Make("a.wav", 8000, 1, 20000, 2500, "2021-03-04 05:06:07", "2021-03-04 05:06:07");
        b = Make("b.wav", 44100, 2, 44144, 1001, "2021-03-05 00:00:00", "2021-03-05");  // midnight: date only
        c = Make("c.wav", 16000, 1, 8000, 500, "2022-12-31 23:59:59", "2022-12-31 23:59:59");
        old = {"old.wav", audiotest::PathOf("old.wav"), "2020-01-02 03:04:05", "12KB", 1000, true};
    }
    void SetUp() override {
        fs::create_directory(home_);
        for (const char* f : {"Sonmira.INI", "sound.dat"})
            fs::copy_file(std::string(SONMIRA_OUT_DIR) + "/" + f, home_ + "/" + f);
    }
    // Replaces one line of the configuration copy.
    void SetIni(const std::string& from, const std::string& to) {
        std::string ini = test_support::ReadBytes(home_ + "/Sonmira.INI");
        size_t at = ini.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        test_support::WriteBytes(home_ + "/Sonmira.INI", ini.replace(at, from.size(), to));
    }
    // Runs in the sound files' folder, so a relative name must become its full path.
    // A sanitizer build must not add its summary of suppressed leaks to the messages.
    CliRun Cli(const std::string& args) {
        std::string cmd = "cd '" + audiotest::TempDir() + "' && SONMIRA_HOME='" + home_ +
                          "' LSAN_OPTIONS=\"${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0\" '" + kCli + "' " +
                          args + " 2>'" + (tmp_ / "stderr") + "'";
        const test_support::CommandResult run = test_support::RunCommand(cmd);
        CliRun r{run.status, run.out, ""};
        r.err = test_support::ReadBytes(tmp_ / "stderr");
        return r;
    }
    std::string Project(const std::string& name) { return test_support::ReadBytes(tmp_ / name); }

    const test_support::TempDir tmp_;
    const std::string home_ = tmp_ / "home";
};

TEST_F(AddListTest, addCreatesAProjectThenAppendsToItsRows) {
    const std::string ini = test_support::ReadBytes(home_ + "/Sonmira.INI");
    // No extension: ".QWF" is added. The saved choice is SM-1 / SV020A: 125 ms per address from 0.
    CliRun r = Cli("add '" + (tmp_ / "new") + "' a.wav b.wav");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Printed(1, a, "0X0000", "0X0013") + Printed(2, b, "0X0014", "0X001C"));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Project("new.QWF"),
              Header(kSm1Gbk, "SV020A") + Stored(a, "0X0000", "0X0013") + Stored(b, "0X0014", "0X001C"));

    // Only the added row is printed; it follows the last one.
    r = Cli("add '" + (tmp_ / "new.QWF") + "' '" + c.path + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Printed(3, c, "0X001D", "0X0020"));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Project("new.QWF"), Header(kSm1Gbk, "SV020A") + Stored(a, "0X0000", "0X0013") +
                                      Stored(b, "0X0014", "0X001C") + Stored(c, "0X001D", "0X0020"));
    EXPECT_EQ(test_support::ReadBytes(home_ + "/Sonmira.INI"), ini);
}

TEST_F(AddListTest, addAddressesAutomaticallyEvenWhenTheConfigurationSaysOff) {
    SetIni("AUTO=1", "AUTO=0");
    SetIni("ComChip=0", "ComChip=3");  // SV030B: its lowest start address is 0x10
    const std::string ini = test_support::ReadBytes(home_ + "/Sonmira.INI");
    CliRun r = Cli("add '" + (tmp_ / "p.QWF") + "' b.wav a.wav");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Printed(1, b, "0X0010", "0X0018") + Printed(2, a, "0X0019", "0X002C"));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Project("p.QWF"),
              Header(kSm1Gbk, "SV030B") + Stored(b, "0X0010", "0X0018") + Stored(a, "0X0019", "0X002C"));

    // An existing project keeps its own programmer and chip (SV060V: 100 ms per
    // address) and its rows, a missing file's included; the date is today's.
    test_support::WriteBytes(tmp_ / "q.QWF",
                             Header(kSv2Gbk, "SV060V", "20200101") + Stored(old, "0X0100", "0X0109", false));
    r = Cli("add '" + (tmp_ / "q.QWF") + "' a.wav c.wav");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Printed(2, a, "0X010A", "0X0122") + Printed(3, c, "0X0123", "0X0127"));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Project("q.QWF"), Header(kSv2Gbk, "SV060V") + Stored(old, "0X0100", "0X0109", false) +
                                    Stored(a, "0X010A", "0X0122") + Stored(c, "0X0123", "0X0127"));
    EXPECT_EQ(test_support::ReadBytes(home_ + "/Sonmira.INI"), ini);  // only read
}

TEST_F(AddListTest, addChangesNothingOnAMissingFileOrBadUsage) {
    const std::string before = Header(kSm1Gbk, "SV020A", "20200101") + Stored(a, "0X0000", "0X0013");
    test_support::WriteBytes(tmp_ / "p.QWF", before);
    CliRun r = Cli("add '" + (tmp_ / "p.QWF") + "' b.wav nope.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "sonmira-cli add: " + audiotest::PathOf("nope.wav") +
                         ": no such file (or hidden, or not a regular file)\n");
    EXPECT_EQ(Project("p.QWF"), before);
    r = Cli("add '" + (tmp_ / "fresh.QWF") + "' nope.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(tmp_ / "fresh.QWF"));

    r = Cli("add '" + (tmp_ / "p.QWF") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "sonmira-cli add: a project file and at least one audio file expected\n\n"
              "usage: sonmira-cli add [--programmer NAME] [--chip NAME] [--yes] PROJECT.QWF FILE...\n");
    r = Cli("add --chip NOPE '" + (tmp_ / "fresh.QWF") + "' a.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "sonmira-cli add: chip 'NOPE' is not offered by programmer type 'SM-1 编程器'\n");
    EXPECT_FALSE(fs::exists(tmp_ / "fresh.QWF"));
    EXPECT_EQ(Project("p.QWF"), before);
}

TEST_F(AddListTest, addRewritesOnlyAWholeProject) {
    const std::string good = Header(kSm1Gbk, "SV020A", "20200101") + Stored(a, "0X0000", "0X0013");
    std::string lf = good;
    for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {lf, "a line ends in LF without CR"},
        {good.substr(0, good.size() - 2), "bytes after the last CR LF"},
        {"notes\n", "no project header"},
        {std::string("\x89PNG\r\n\x1a\n\0\0", 10), "no project header"},
    };
    for (const auto& [bytes, reason] : cases) {
        test_support::WriteBytes(tmp_ / "p.QWF", bytes);
        CliRun r = Cli("add '" + (tmp_ / "p.QWF") + "' b.wav");
        EXPECT_EQ(r.status, 1) << reason;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "sonmira-cli add: " + (tmp_ / "p.QWF") + ": not a complete project file (" + reason +
                             "); nothing written\n");
        EXPECT_EQ(Project("p.QWF"), bytes) << reason;
    }
}

TEST_F(AddListTest, aHeaderOfAnotherVersionIsReadAndExtendedLikeAnyProject) {
    // Only the programmer and the chip are read from a header: another
    // version, no date, another word and a sixth field change nothing.
    const std::string v2 = "V2.0,,other," + kSm1Gbk + ",SV020A,extra,\r\n" + Stored(a, "0X0000", "0X0013");
    test_support::WriteBytes(tmp_ / "p.QWF", v2);
    CliRun r = Cli("list '" + (tmp_ / "p.QWF") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Printed(1, a, "0X0000", "0X0013"));
    r = Cli("add '" + (tmp_ / "p.QWF") + "' b.wav");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Printed(2, b, "0X0014", "0X001C"));
    EXPECT_EQ(Project("p.QWF"),
              Header(kSm1Gbk, "SV020A") + Stored(a, "0X0000", "0X0013") + Stored(b, "0X0014", "0X001C"));
}

TEST_F(AddListTest, addRefusesAFileItCannotMeasure) {
    const std::string before = Header(kSm1Gbk, "SV020A", "20200101") + Stored(a, "0X0000", "0X0013");
    test_support::WriteBytes(tmp_ / "p.QWF", before);
    test_support::WriteBytes(audiotest::PathOf("bad.wav"), "RIFFjunkjunkjunk");
    test_support::WriteBytes(audiotest::PathOf("zero.wav"), "");
    // A valid header over no samples.
    test_support::WriteBytes(audiotest::PathOf("silent.wav"),
                             std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0"
                                         "\x80\x3e\0\0\x02\0\x10\0data\0\0\0\0",
                                         44));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bad.wav", "not an audio file that can be decoded"},
        {"zero.wav", "not an audio file that can be decoded"},
        {"silent.wav", "no sound in it (length 0 ms)"},
    };
    for (const auto& [file, reason] : cases) {
        CliRun r = Cli("add '" + (tmp_ / "p.QWF") + "' b.wav " + file);
        EXPECT_EQ(r.status, 1) << file;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "sonmira-cli add: " + audiotest::PathOf(file) + ": " + reason + "; nothing written\n");
        EXPECT_EQ(Project("p.QWF"), before) << file;
    }
}

TEST_F(AddListTest, listPrintsEveryRowOfTheProject) {
    test_support::WriteBytes(tmp_ / "empty.QWF", Header(kSm1Gbk, "SV020A", "20200101"));
    CliRun r = Cli("list '" + (tmp_ / "empty.QWF") + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    const std::string rows =
        Stored(a, "0X0000", "0X0013") + Stored(b, "0X0014", "0X001C", false) + Stored(old, "0X001D", "0X0024");
    test_support::WriteBytes(tmp_ / "full.QWF", Header(kSm1Gbk, "SV020A", "20200101") + rows);
    const std::string printed = Printed(1, a, "0X0000", "0X0013") + Printed(2, b, "0X0014", "0X001C", false) +
                                Printed(3, old, "0X001D", "0X0024");
    r = Cli("list '" + (tmp_ / "full.QWF") + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, printed);
    EXPECT_EQ(r.err, "");

    // A damaged flag stops the reading: the rows before it are printed.
    test_support::WriteBytes(tmp_ / "bad.QWF", Header(kSm1Gbk, "SV020A", "20200101") + rows + "x,\r\n");
    r = Cli("list '" + (tmp_ / "bad.QWF") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, printed);
    EXPECT_EQ(r.err, "Sonmira: 'x' is not a valid integer value.\n");

    r = Cli("list '" + (tmp_ / "missing.QWF") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "提示信息: 打开QWF数据文件失败！\n");
    r = Cli("list");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "usage: sonmira-cli list PROJECT.QWF\n");
}

}  // namespace

int main(int argc, char** argv) {
    // Modification times and the project's date are local: one zone for the test and the program.
    setenv("TZ", "UTC", 1);
    tzset();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new audiotest::TempDirCleaner);
    return RUN_ALL_TESTS();
}
