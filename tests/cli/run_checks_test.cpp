// What sonmira-cli refuses before it touches a module or a file: a set-up it
// would have to guess at, damaged rows, projects read only in part; and how
// it prints names and limits. The serial ports point nowhere: a check that
// let the run through would add the driver's messages to the exact stderr.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "test_files.h"

namespace fs = std::filesystem;

namespace {

const std::string kCli = std::string(SONMIRA_OUT_DIR) + "/sonmira-cli";
const std::string kSm1Gbk = "SM-1 \xb1\xe0\xb3\xcc\xc6\xf7";
const std::string kHeader = "V1.0,20261208,wendaloprist," + kSm1Gbk + ",SV020A,\r\n";

struct CliRun {
    int status;
    std::string out, err;
};

std::string Row(const std::string& start, const std::string& length, const std::string& name = "a.wav") {
    return "1,\xca\xc7," + start + ",0X0001," + name + "," + length + ",1KB,.wav,2026-12-08,/x/" + name + ",/x/" +
           name + ",\r\n";
}

class RunChecks : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(home_);
        for (const char* f : {"Sonmira.INI", "sound.dat"})
            fs::copy_file(std::string(SONMIRA_OUT_DIR) + "/" + f, home_ + "/" + f);
    }
    // Replaces one text in a file of the installation copy.
    void Edit(const std::string& file, const std::string& from, const std::string& to) {
        std::string bytes = test_support::ReadBytes(home_ + "/" + file);
        const size_t at = bytes.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        test_support::WriteBytes(home_ + "/" + file, bytes.replace(at, from.size(), to));
    }
    CliRun Cli(const std::string& args) {
        const std::string cmd = "SONMIRA_HOME='" + home_ +
                                "' SERTRA_COM1=/nonexistent SERTRA_COM2=/nonexistent SERTRA_COM3=/nonexistent"
                                " SERTRA_COM4=/nonexistent"
                                " LSAN_OPTIONS=\"${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0\" '" +
                                kCli + "' " + args + " 2>'" + (tmp_ / "stderr") + "' </dev/null";
        const test_support::CommandResult run = test_support::RunCommand(cmd);
        return {run.status, run.out, test_support::ReadBytes(tmp_ / "stderr")};
    }
    // A project of the given rows (and header) at p.QWF.
    std::string Project(const std::string& rows, const std::string& header = kHeader) {
        test_support::WriteBytes(project_, header + rows);
        return project_;
    }

    const test_support::TempDir tmp_;
    const std::string home_ = tmp_ / "home";
    const std::string project_ = tmp_ / "p.QWF";
    const std::string ini_ = home_ + "/Sonmira.INI";
    const std::string table_ = home_ + "/sound.dat";
};

TEST_F(RunChecks, aSetUpThatWouldBeGuessedIsRefusedWithOneLineAndNothingSent) {
    const std::string sm1 = "'SM-1 编程器'";
    struct Case {
        std::function<void()> arrange;
        std::string header, expected;
    };
    const std::vector<Case> cases = {
        {[] {}, "V1.0,20261208,wendaloprist,XX,SV020A,\r\n",
         "programmer type 'XX' is not in the configuration " + ini_},
        {[] {}, "V1.0,20261208,wendaloprist," + kSm1Gbk + ",SV999,\r\n",
         "chip 'SV999' is not offered by programmer type " + sm1 + " in the configuration " + ini_},
        {[this] { Edit("Sonmira.INI", "3=SV030B\r\n", "3=SV030B\r\n4=SV777\r\n"); },
         "V1.0,20261208,wendaloprist," + kSm1Gbk + ",SV777,\r\n",
         "chip 'SV777' has no line in the chip table " + table_},
        {[this] { Edit("sound.dat", "1,SV020A,125,", "1,SV020A,0,"); }, kHeader,
         "the chip table " + table_ + " gives chip 'SV020A' a step of 0 ms; it must be 1 ms or more"},
        {[this] { Edit("sound.dat", "1,SV020A,125,0x9F,1,", "1,SV020A,125,0x9F,0,"); }, kHeader,
         "the chip table " + table_ + " gives chip 'SV020A' an address scale of 0; it must be 1 or more"},
        {[this] { Edit("sound.dat", "1,SV020A,125,0x9F,1,0,", "1,SV020A,125,0x9F,1,0xA0,"); }, kHeader,
         "the chip table " + table_ +
             " gives chip 'SV020A' a lowest start address 0X00A0 above its last address 0X009F"},
        {[this] { Edit("sound.dat", "1,SV020A,125,0x9F,", "1,SV020A,125,0x1FF,"); }, kHeader,
         "the chip table " + table_ +
             " gives chip 'SV020A' a last address 0X01FF that the module's frames cannot carry (at most 0X00FF)"},
        {[this] { Edit("sound.dat", "1,SV020A,125,", "1,SV020A,1z5,"); }, kHeader,
         "the chip table " + table_ + " is damaged: '1z5' is not a valid integer value"},
        {[this] { fs::remove(table_); }, kHeader, "the chip table " + table_ + " does not exist"},
        {[this] { fs::remove(ini_); }, kHeader, "the configuration " + ini_ + " does not exist"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        fs::remove_all(home_);
        SetUp();
        cases[i].arrange();
        const CliRun r = Cli("program '" + Project(Row("0X0000", "300"), cases[i].header) + "'");
        EXPECT_EQ(r.status, 1) << i;
        EXPECT_EQ(r.out, "") << i;
        EXPECT_EQ(r.err, "sonmira-cli program: " + cases[i].expected + "; nothing sent\n") << i;
    }
}

TEST_F(RunChecks, damagedRowsAreNamedOnceEachBeforeTheModuleIsTouched) {
    const std::string p =
        Project(Row("0X0000", "300") + Row("0X0003", "-300", "b.wav") + Row("0XFFFFFFFF", "300", "c.wav") +
                Row("0X0009", "3x0", "d.wav") + "0,\xb7\xf1,zz,,e.wav,,,,,,,\r\n");
    for (const char* command : {"program", "play"}) {
        const CliRun r = Cli(std::string(command) + " '" + p + "'");
        EXPECT_EQ(r.status, 1);
        const std::string head = std::string("sonmira-cli ") + command + ": ";
        EXPECT_EQ(r.err, head + p + ": row 2, length: -300 ms is no sound length (it must be 1 ms or more)\n" + head +
                             p + ": row 3, start: 0XFFFFFFFF is not a chip address\n" + head + p +
                             ": row 4, length: '3x0' is not a number\n" + head +
                             "3 rows to mend first; nothing sent\n");
    }
    // A flag that is no number ends the reading: named by its row, once.
    const CliRun r = Cli("program '" + Project(Row("0X0000", "300") + "x,\xca\xc7,0X0003,\r\n") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sonmira-cli program: " + p + ": row 2, program flag: 'x' is not a number; nothing sent\n");
}

TEST_F(RunChecks, aProjectReadOnlyInPartIsNeitherRunNorTakenForTheWholeList) {
    std::string lf = kHeader + Row("0X0000", "300");
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    test_support::WriteBytes(project_, lf);
    CliRun r = Cli("program '" + project_ + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sonmira-cli program: " + project_ +
                         ": not a complete project file (a line ends in LF without CR); nothing sent\n");

    std::string rows;
    for (int i = 0; i < 500; ++i) rows += Row("0X0000", "300");
    Project(rows);
    r = Cli("list '" + project_ + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 160);
    EXPECT_EQ(r.err, "sonmira-cli list: " + project_ +
                         ": not a complete project file (more than 160 rows, the most a list holds); only the rows "
                         "above were read\n");

    test_support::WriteBytes(project_, kHeader + std::string(20u << 20, ' '));
    r = Cli("list '" + project_ + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "sonmira-cli list: " + project_ + ": larger than 16 MiB, the limit for a project file\n");
}

TEST_F(RunChecks, controlCharactersInNamesArePrintedEscaped) {
    // A name cell holding a tab, and a NUL and an escape byte.
    Project(Row("0X0000", "300", std::string("a\tb\x1b[2J") + '\0' + "c.wav"));
    const CliRun r = Cli("list '" + project_ + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "1\t1\t是\t0X0000\t0X0001\ta\\tb\\x1B[2J\\x00c.wav\t300\t1KB\t.wav\t2026-12-08\t/x/a\\tb\\x1B[2J\\x00c.wav\t"
        "文件已删除\n");

    const CliRun l = Cli("length '" + (tmp_ / "new\nline.wav") + "'");
    EXPECT_EQ(l.status, 1);
    EXPECT_EQ(l.out, "0\t" + (tmp_ / "new\\nline.wav") + "\n");
}

}  // namespace
