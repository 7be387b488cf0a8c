// What each sonmira-cli command reads from its arguments, in-process: the
// fields filled, and the exact usage errors, including which of two mistakes
// is named and what an option's name standing where a value goes means.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_main.h"
#include "command_options.h"
#include "commands.h"

namespace {

// argv for a command from its words, split at spaces; argv[0] is the command's name.
class Args {
public:
    Args(const char* line) : Args(std::string(line)) {}
    Args(const std::string& line) {
        std::istringstream words(line);
        for (std::string w; words >> w;) text_.push_back(w);
    }
    int argc() const { return static_cast<int>(text_.size()); }
    char** argv() {
        argv_.clear();
        for (auto& a : text_) argv_.push_back(&a[0]);
        return argv_.data();
    }

private:
    std::vector<std::string> text_;
    std::vector<char*> argv_;
};

std::string ProgramError(Args args, cli::ProgramOptions* o = nullptr) {
    cli::ProgramOptions unused;
    return cli::ParseProgramOptions(args.argc(), args.argv(), o ? o : &unused);
}

TEST(CliOptions, programFillsEveryField) {
    cli::ProgramOptions o;
    EXPECT_EQ(
        ProgramError("program --programmer SM-1 --chip=SV020A --port /dev/ttyUSB1 --audio hw:1 --aux -y "
                     "--ignore-changed --count 2 --count=5 --no-wait --log r.log --station A --round=7 -- job.QWF",
                     &o),
        "");
    EXPECT_EQ(o.run.programmer, "SM-1");
    EXPECT_EQ(o.run.chip, "SV020A");
    EXPECT_EQ(o.run.port, "/dev/ttyUSB1");
    EXPECT_EQ(o.audio, "hw:1");
    EXPECT_TRUE(o.run.aux && o.yes && o.ignoreChanged && o.noWait);
    EXPECT_EQ(o.count, 5);  // the last one counts
    EXPECT_EQ(o.log, "r.log");
    EXPECT_EQ(o.station, "A");
    EXPECT_EQ(o.firstRound, 7);
    EXPECT_EQ(o.run.rest, std::vector<std::string>{"job.QWF"});

    cli::ProgramOptions defaults;
    EXPECT_EQ(ProgramError("program p", &defaults), "");
    EXPECT_EQ(defaults.count, 1);
    EXPECT_EQ(defaults.firstRound, 1);
    EXPECT_FALSE(defaults.yes || defaults.run.aux || defaults.audio || defaults.log || defaults.station);
}

TEST(CliOptions, programNamesTheMistakeItAlwaysNamed) {
    const struct {
        Args args;
        std::string error;
    } cases[] = {
        {"program", "one project file expected"},
        {"program p q", "one project file expected"},
        {"program --count 0 p", "option '--count' needs a number of chips, 1 or more ('0')"},
        {"program --count 3 --count x p", "option '--count' needs a number of chips, 1 or more ('x')"},
        {"program --round=-1 p", "option '--round' needs a round number, 1 or more ('-1')"},
        {"program p --log", "option '--log' needs a value"},
        {"program --log a --log=b p", "option '--log' is given twice"},
        {"program --port COM5 p", "unknown port 'COM5' (COM1 to COM4, or a device path such as /dev/ttyUSB0)"},
        {"program --address 10 p", "unknown option '--address'"},
        {"program -yy p", "unknown option '-yy'"},
        {"program --yes=no p", "unknown option '--yes=no'"},
        // Counts are read before once-only values, those before the rest.
        {"program --log a --log b --round 0 p", "option '--round' needs a round number, 1 or more ('0')"},
        {"program --bogus --chip", "option '--chip' needs a value"},
        // "--" does not end the options.
        {"program -- --count 0 p", "option '--count' needs a number of chips, 1 or more ('0')"},
    };
    for (const auto& c : cases) {
        Args args = c.args;
        EXPECT_EQ(ProgramError(args), c.error) << c.error;
    }
}

TEST(CliOptions, listeningNeedsItsInputAndAThresholdFromZeroToOne) {
    const auto verify = [](Args args, cli::VerifyOptions* o = nullptr) {
        cli::VerifyOptions unused;
        return cli::ParseVerifyOptions(args.argc(), args.argv(), o ? o : &unused);
    };
    cli::VerifyOptions v;
    EXPECT_EQ(verify("verify --capture line.monitor --min-similarity 0.9 p", &v), "");
    EXPECT_EQ(*v.listen.capture, "line.monitor");
    EXPECT_DOUBLE_EQ(v.listen.minSimilarity, 0.9);
    cli::VerifyOptions defaults;
    EXPECT_EQ(verify("verify --capture=hw:1 p", &defaults), "");
    EXPECT_DOUBLE_EQ(defaults.listen.minSimilarity, 0.80);
    EXPECT_EQ(verify("verify p"), "--capture INPUT expected: the sound input that hears the module");
    EXPECT_EQ(verify("verify --capture a --min-similarity 1.5 p"),
              "--min-similarity: '1.5' is not a number from 0 to 1");
    EXPECT_EQ(verify("verify --capture a --min-similarity 0.8x p"),
              "--min-similarity: '0.8x' is not a number from 0 to 1");

    cli::ProgramOptions p;
    EXPECT_EQ(ProgramError("program --verify --capture a p", &p), "");
    EXPECT_TRUE(p.verify);
    EXPECT_EQ(ProgramError("program --verify p"), "--verify needs --capture INPUT");
    EXPECT_EQ(ProgramError("program --capture a p"), "--capture is only read with --verify");
    EXPECT_EQ(ProgramError("program --min-similarity 0.5 p"), "--min-similarity is only read with --verify");
}

TEST(CliOptions, aNameWhereAValueGoesIsReadAsAnOptionReadEarlier) {
    cli::ProgramOptions o;
    // --count is read before --log, so --log's value is the project.
    EXPECT_EQ(ProgramError("program --log --count 3 p", &o), "one project file expected");
    EXPECT_EQ(o.count, 3);
    EXPECT_EQ(o.log, "p");
    // Flags are taken first; --aux only with the positionals.
    cli::ProgramOptions yes, aux;
    EXPECT_EQ(ProgramError("program --chip --yes p", &yes), "one project file expected");
    EXPECT_TRUE(yes.yes);
    EXPECT_EQ(ProgramError("program --chip --aux p", &aux), "");
    EXPECT_EQ(aux.run.chip, "--aux");
    EXPECT_FALSE(aux.run.aux);
}

TEST(CliOptions, readingAPortSetsNothingForTheSerialLibrary) {
    const char* const kComVariables[] = {"SERTRA_COM1", "SERTRA_COM2", "SERTRA_COM3", "SERTRA_COM4"};
    for (const char* v : kComVariables) unsetenv(v);
    cli::ProgramOptions o;
    EXPECT_EQ(ProgramError("program --port com2 p", &o), "");
    EXPECT_EQ(o.run.port, "com2");
    cli::RunOptions play;
    Args args("play --port /dev/ttyUSB0 p");
    EXPECT_EQ(cli::ParsePlayOptions(args.argc(), args.argv(), &play), "");
    for (const char* v : kComVariables) EXPECT_EQ(getenv(v), nullptr) << v;
}

TEST(CliOptions, addPlayAndPulse) {
    const auto add = [](Args args, cli::AddOptions* o) { return cli::ParseAddOptions(args.argc(), args.argv(), o); };
    cli::AddOptions a;
    EXPECT_EQ(add("add -y --chip SV020A p a.wav b.wav", &a), "");
    EXPECT_TRUE(a.yes);
    EXPECT_EQ(a.run.chip, "SV020A");
    EXPECT_EQ(a.run.rest, (std::vector<std::string>{"p", "a.wav", "b.wav"}));
    cli::AddOptions bad;
    EXPECT_EQ(add("add p", &bad), "a project file and at least one audio file expected");
    // --port is read, so its value is checked, and then refused.
    EXPECT_EQ(add("add --port x p a", &bad), "unknown port 'x' (COM1 to COM4, or a device path such as /dev/ttyUSB0)");
    EXPECT_EQ(add("add --port COM1 p a", &bad), "unknown option '--port' (adding files needs no module)");
    EXPECT_EQ(add("add --aux p a", &bad), "unknown option '--aux'");

    cli::RunOptions play;
    Args playArgs("play --address 1F p");
    EXPECT_EQ(cli::ParsePlayOptions(playArgs.argc(), playArgs.argv(), &play), "");
    EXPECT_EQ(play.address, "1F");

    const auto pulse = [](Args args, cli::PulseOptions* o) {
        return cli::ParsePulseOptions(args.argc(), args.argv(), o);
    };
    cli::PulseOptions p;
    EXPECT_EQ(pulse("pulse --port COM3 0x1fA", &p), "");
    EXPECT_EQ(p.box, "1fA");
    EXPECT_EQ(p.run.port, "COM3");
    for (const char* address : {"12345", "0x", "zz", "0X1fG"}) {
        cli::PulseOptions q;
        EXPECT_EQ(pulse("pulse " + std::string(address), &q),
                  "'" + std::string(address) + "' is not an address of up to four hexadecimal digits");
    }
    cli::PulseOptions none;
    EXPECT_EQ(pulse("pulse -1", &none), "unknown option '-1'");
    EXPECT_EQ(pulse("pulse", &none), "one address expected");
}

TEST(CliOptions, line) {
    const auto line = [](Args args, cli::LineOptions* o) { return cli::ParseLineOptions(args.argc(), args.argv(), o); };
    cli::LineOptions o;
    EXPECT_EQ(line("line --station COM1=hw:1 --station=/dev/ttyUSB1=gst:a=b --count 4 --aux p", &o), "");
    ASSERT_EQ(o.stations.size(), 2u);
    EXPECT_EQ(o.stations[1].number, 2);
    EXPECT_EQ(o.stations[1].port, "/dev/ttyUSB1");
    EXPECT_EQ(o.stations[1].output, "gst:a=b");
    EXPECT_EQ(o.count, 4);
    EXPECT_TRUE(o.run.aux);

    const struct {
        Args args;
        std::string error;
    } cases[] = {
        {"line p", "at least one --station PORT=OUTPUT expected"},
        {"line --station COM1=a --portable p", "each station names its port: --station PORT=OUTPUT"},
        {"line --chip --port=COM1 p", "each station names its port: --station PORT=OUTPUT"},
        {"line --station COM1=a --count 0 p", "option '--count' needs a number of rounds, 1 or more ('0')"},
        {"line --station COM1=a --address 1 p", "unknown option '--address'"},
        {"line --station COM1=a", "one project file expected"},
    };
    for (const auto& c : cases) {
        Args args = c.args;
        cli::LineOptions unused;
        EXPECT_EQ(cli::ParseLineOptions(args.argc(), args.argv(), &unused), c.error) << c.error;
    }
}

TEST(CliOptions, lineVerifyReadsEachCaptureWholeAndListensOnlyWithVerify) {
    cli::LineOptions o;
    Args args(
        "line --verify --station COM1=hw:1 --capture COM1=gst:volume=0.5 --capture=COM2=b.monitor "
        "--min-similarity 0.9 p");
    ASSERT_EQ(cli::ParseLineOptions(args.argc(), args.argv(), &o), "");
    EXPECT_TRUE(o.verify);
    EXPECT_EQ(o.captureTexts, (std::vector<std::string>{"COM1=gst:volume=0.5", "COM2=b.monitor"}));
    EXPECT_EQ(o.minSimilarityText, "0.9");

    const std::pair<const char*, std::string> cases[] = {
        {"line --station COM1=a --capture COM1=b p", "--capture is only read with --verify"},
        {"line --station COM1=a --min-similarity 0.9 p", "--min-similarity is only read with --verify"},
        {"line --verify --station COM1=a --capture COM1=b --min-similarity 2 p",
         "--min-similarity: '2' is not a number from 0 to 1"},
    };
    for (const auto& c : cases) {
        Args bad(c.first);
        cli::LineOptions unused;
        EXPECT_EQ(cli::ParseLineOptions(bad.argc(), bad.argv(), &unused), c.second) << c.first;
    }
    // The station's run is told apart from a person's: it says each segment it verifies.
    cli::ProgramOptions p;
    EXPECT_EQ(ProgramError("program --verify --capture=a=b --as-station p", &p), "");
    EXPECT_TRUE(p.asStation);
    EXPECT_EQ(*p.listen.capture, "a=b");
    EXPECT_EQ(cli::ProgramOptionLines().find("--as-station"), std::string::npos);
}

TEST(CliOptions, helpShowsEachDeclaredOptionInTheUsageLines) {
    EXPECT_EQ(cli::PulseOptionLines(),
              "  --programmer NAME  programmer type (default: the configuration's saved choice)\n"
              "  --chip NAME        chip of that programmer (default: the saved choice)\n"
              "  --port PORT        scan only this serial port: COM1..COM4 or a device\n"
              "                     path such as /dev/ttyUSB0\n");
    EXPECT_EQ(cli::AddOptionLines().find("--port"), std::string::npos);  // read, but not offered
    // The usage lines are written by hand: each option shown must be in them.
    for (const cli::Command& c : cli::Commands()) {
        if (!c.optionLines) continue;
        const std::string lines = c.optionLines(), usage = c.usage;
        int shown = 0;
        for (size_t at = 0; at < lines.size(); at = lines.find('\n', at) + 1) {
            if (lines.compare(at, 4, "  --") != 0) continue;
            const std::string name = lines.substr(at + 2, lines.find_first_of(" ,", at + 2) - at - 2);
            EXPECT_NE(usage.find(name), std::string::npos) << c.name << " " << name;
            ++shown;
        }
        EXPECT_GT(shown, 0) << c.name;
    }
}

TEST(CliOptions, aUsageErrorPrintsTheMessageThenTheHelp) {
    Args args("sonmira-cli program --count 0 p");
    testing::internal::CaptureStderr();
    EXPECT_EQ(cli::Main(args.argc(), args.argv()), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "sonmira-cli program: option '--count' needs a number of chips, 1 or more ('0')\n\n" +
                  cli::HelpText(*cli::FindCommand("program")));

    Args help("sonmira-cli add --chip -h");
    testing::internal::CaptureStdout();
    EXPECT_EQ(cli::Main(help.argc(), help.argv()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), cli::HelpText(*cli::FindCommand("add")));
}

}  // namespace
