// What each sonmira-cli command reads from its arguments, declared once in
// command_options.cpp: the parse that fills these structs and the option
// lines of the command's --help both come from those declarations. Parsing
// checks the arguments and nothing else: no file, port or device is looked at.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "run_options.h"
#include "station_list.h"

namespace cli {

struct AddOptions {
    bool yes = false;
    RunOptions run;  // rest: the project, then the audio files
};

struct PulseOptions {
    RunOptions run;
    std::string box;  // the address as the play address box takes it: no 0x, up to four hex digits
};

// Listening to the chip after it is programmed, or on its own (verify).
struct ListenOptions {
    std::optional<std::string> capture;  // the sound input
    std::string minSimilarityText;
    double minSimilarity = 0.80;
};

struct ProgramOptions {
    bool yes = false, ignoreChanged = false, noWait = false, verify = false;
    bool asStation = false;  // run by `line`: says each segment it verifies, and why it failed, for the board
    int count = 1;
    int firstRound = 1;
    std::optional<std::string> audio, log, station;
    ListenOptions listen;
    RunOptions run;
};

struct VerifyOptions {
    ListenOptions listen;
    RunOptions run;
};

struct LineOptions {
    bool yes = false, ignoreChanged = false, noWait = false, verify = false;
    int count = 1;
    std::optional<std::string> log;
    std::vector<std::string> stationTexts;
    std::vector<std::string> captureTexts;  // "PORT=INPUT", matched to the stations when the line starts
    std::string minSimilarityText;          // passed on as given
    std::vector<Station> stations;
    RunOptions run;
};

// Each returns "" with the struct filled, or the error for the usage message.
std::string ParseAddOptions(int argc, char** argv, AddOptions* o);
std::string ParsePlayOptions(int argc, char** argv, RunOptions* o);
std::string ParsePulseOptions(int argc, char** argv, PulseOptions* o);
std::string ParseProgramOptions(int argc, char** argv, ProgramOptions* o);
std::string ParseLineOptions(int argc, char** argv, LineOptions* o);
std::string ParseVerifyOptions(int argc, char** argv, VerifyOptions* o);

// The option lines of each command's --help.
std::string AddOptionLines();
std::string PlayOptionLines();
std::string PulseOptionLines();
std::string ProgramOptionLines();
std::string LineOptionLines();
std::string VerifyOptionLines();

}  // namespace cli
