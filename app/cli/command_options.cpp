#include "command_options.h"

#include <cstdlib>

#include "options.h"
#include "list/play_address.h"

namespace cli {

namespace {

// Help texts of options that mean the same in several commands.
constexpr char kProgrammerInstead[] = "use this programmer type instead of the project's";
constexpr char kChipInstead[] = "use this chip instead of the project's";
constexpr char kPort[] =
    "scan only this serial port: COM1..COM4 or a device\n"
    "path such as /dev/ttyUSB0";
constexpr char kAux[] = "record in AUX mode (second module)";
constexpr char kIgnoreChanged[] =
    "program even when a file now needs another number of\n"
    "chip addresses than its row gives (it was changed\n"
    "after it was added); without it the run is refused";

constexpr char kCapture[] =
    "listen on this sound input, wired to the module's output:\n"
    "an ALSA capture device (hw:1), a PulseAudio or PipeWire\n"
    "source (a sink's monitor: NAME.monitor), or gst: and a\n"
    "GStreamer source description; 'sonmira-cli devices'\n"
    "lists them. One that does not open is refused";
constexpr char kMinSimilarity[] =
    "a segment verifies when its similarity to the file is at\n"
    "least X, from 0 to 1 (default 0.80)";

void DeclareListen(OptionSet& s, ListenOptions* o) {
    s.Single("--capture", "INPUT", &o->capture, kCapture);
    s.Value("--min-similarity", "X", &o->minSimilarityText, kMinSimilarity);
}

// The threshold's text to its number: "" keeps the default.
std::string ReadMinSimilarity(const std::string& text, double* out) {
    if (text.empty()) return "";
    char* end = nullptr;
    const double x = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(x >= 0 && x <= 1))
        return "--min-similarity: '" + text + "' is not a number from 0 to 1";
    *out = x;
    return "";
}

std::string CheckListenOptions(ListenOptions* o) { return ReadMinSimilarity(o->minSimilarityText, &o->minSimilarity); }

void Declare(OptionSet& s, AddOptions* o) {
    s.Value("--programmer", "NAME", &o->run.programmer,
            "programmer type (default: the project's, or the\n"
            "configuration's saved choice for a new project)");
    s.Value("--chip", "NAME", &o->run.chip, "chip of that programmer (same defaults)");
    s.Flag("--yes,-y", &o->yes, "answer Yes to questions");
    // Read so that its value is checked, then refused: adding files needs no module.
    s.Value("--port", "PORT", &o->run.port, nullptr);
}

void DeclarePlay(OptionSet& s, RunOptions* o) {
    s.Value("--programmer", "NAME", &o->programmer, kProgrammerInstead);
    s.Value("--chip", "NAME", &o->chip, kChipInstead);
    s.Value("--port", "PORT", &o->port, kPort);
    s.Value("--address", "HEX", &o->address,
            "the play address box (default: the chip's lowest start\n"
            "address); checked against the chip, not used further");
}

void Declare(OptionSet& s, PulseOptions* o) {
    s.Value("--programmer", "NAME", &o->run.programmer, "programmer type (default: the configuration's saved choice)");
    s.Value("--chip", "NAME", &o->run.chip, "chip of that programmer (default: the saved choice)");
    s.Value("--port", "PORT", &o->run.port, kPort);
}

void Declare(OptionSet& s, ProgramOptions* o) {
    s.Value("--programmer", "NAME", &o->run.programmer, kProgrammerInstead);
    s.Value("--chip", "NAME", &o->run.chip, kChipInstead);
    s.Value("--port", "PORT", &o->run.port, kPort);
    s.Single("--audio", "OUTPUT", &o->audio,
             "play into this sound output: an ALSA device (hw:1,\n"
             "plughw:CARD=Device,DEV=0), a PulseAudio or PipeWire sink,\n"
             "or gst: and a GStreamer sink description; 'sonmira-cli\n"
             "devices' lists them. One that does not open is refused");
    s.LateFlag("--aux", &o->run.aux, kAux);
    s.Flag("--yes,-y", &o->yes,
           "answer Yes to questions (list longer than the chip,\n"
           "no sound output) and record rows whose addresses\n"
           "overlap; without it the questions are asked on a\n"
           "terminal and answered No otherwise, and overlapping\n"
           "rows are refused");
    s.Count("--count", "N", &o->count, "a number of chips",
            "program N chips in turn; between two chips wait for the\n"
            "operator (Enter goes on, q or the end of the input stops)");
    s.Flag("--no-wait", &o->noWait, "go on to the next chip without waiting");
    s.Single("--log", "FILE", &o->log,
             "append one JSON line per chip to FILE when the chip ends:\n"
             "the record of what went into it (README.md)");
    s.Single("--station", "NAME", &o->station, "the station named in the record (default: the port)");
    s.Count("--round", "N", &o->firstRound, "a round number", "the first chip's number in the record (default 1)");
    s.Flag("--ignore-changed", &o->ignoreChanged, kIgnoreChanged);
    s.Flag("--verify", &o->verify,
           "after programming, play each segment from the chip and\n"
           "listen on --capture: the chip counts as programmed only\n"
           "when every segment verifies");
    DeclareListen(s, &o->listen);
    s.Flag("--as-station", &o->asStation, nullptr);
}

void Declare(OptionSet& s, VerifyOptions* o) {
    s.Value("--programmer", "NAME", &o->run.programmer, kProgrammerInstead);
    s.Value("--chip", "NAME", &o->run.chip, kChipInstead);
    s.Value("--port", "PORT", &o->run.port, kPort);
    DeclareListen(s, &o->listen);
}

void Declare(OptionSet& s, LineOptions* o) {
    s.Many("--station", "PORT=OUTPUT", &o->stationTexts,
           "a station: its serial port, '=', and the sound output\n"
           "that feeds its module; once for each station");
    s.Count("--count", "N", &o->count, "a number of rounds",
            "N rounds: a round ends when every station has finished\n"
            "its chip; between two rounds wait for the operator\n"
            "(Enter goes on, q or the end of the input stops)");
    s.Flag("--no-wait", &o->noWait, "go on to the next round without waiting");
    s.Single("--log", "FILE", &o->log, "append one JSON line per chip to FILE (README.md)");
    s.Flag("--yes,-y", &o->yes,
           "answer Yes to the question of a list longer than the chip,\n"
           "and record rows whose addresses overlap");
    s.Value("--programmer", "NAME", &o->run.programmer, kProgrammerInstead);
    s.Value("--chip", "NAME", &o->run.chip, kChipInstead);
    s.LateFlag("--aux", &o->run.aux, kAux);
    s.Flag("--ignore-changed", &o->ignoreChanged, kIgnoreChanged);
    s.Flag("--verify", &o->verify,
           "after programming, each station plays its chip's segments\n"
           "and listens on its own --capture input: its chip counts as\n"
           "programmed only when every segment verifies");
    s.Many("--capture", "PORT=INPUT", &o->captureTexts,
           "with --verify, once for each station: its port, '=', and\n"
           "the sound input wired to its module's output (as\n"
           "'sonmira-cli verify --capture' takes it)");
    s.Value("--min-similarity", "X", &o->minSimilarityText, kMinSimilarity);
    s.Refuse("--port", "each station names its port: --station PORT=OUTPUT");
}

template <class T, void (*declare)(OptionSet&, T*)>
std::string LinesOf() {
    T unused;
    OptionSet s;
    declare(s, &unused);
    return s.HelpLines();
}

}  // namespace

std::string ParseAddOptions(int argc, char** argv, AddOptions* o) {
    OptionSet s;
    Declare(s, o);
    std::string error = s.Parse(argc, argv, &o->run.rest);
    if (error.empty()) error = CheckRunOptions(nullptr, o->run);
    if (error.empty() && !o->run.port.empty()) error = "unknown option '--port' (adding files needs no module)";
    if (error.empty() && o->run.rest.size() < 2) error = "a project file and at least one audio file expected";
    return error;
}

std::string ParsePlayOptions(int argc, char** argv, RunOptions* o) {
    OptionSet s;
    DeclarePlay(s, o);
    std::string error = s.Parse(argc, argv, &o->rest);
    return error.empty() ? CheckRunOptions("project file", *o) : error;
}

std::string ParsePulseOptions(int argc, char** argv, PulseOptions* o) {
    OptionSet s;
    Declare(s, o);
    std::string error = s.Parse(argc, argv, &o->run.rest);
    if (error.empty()) error = CheckRunOptions("address", o->run);
    if (!error.empty()) return error;
    std::string box = o->run.rest[0];
    if (box.size() > 2 && box[0] == '0' && (box[1] == 'x' || box[1] == 'X')) box = box.substr(2);
    // The box takes only what its key filter lets through, four characters at most.
    bool ok = !box.empty() && box.size() <= static_cast<size_t>(list::kMaxChars);
    for (char c : box) ok = ok && list::KeyPasses(static_cast<unsigned char>(c));
    if (!ok) return "'" + o->run.rest[0] + "' is not an address of up to four hexadecimal digits";
    o->box = box;
    return "";
}

std::string ParseProgramOptions(int argc, char** argv, ProgramOptions* o) {
    OptionSet s;
    Declare(s, o);
    std::string error = s.Parse(argc, argv, &o->run.rest);
    if (error.empty()) error = CheckRunOptions("project file", o->run);
    if (error.empty()) error = CheckListenOptions(&o->listen);
    if (error.empty() && o->verify && !o->listen.capture) error = "--verify needs --capture INPUT";
    if (error.empty() && !o->verify && (o->listen.capture || !o->listen.minSimilarityText.empty()))
        error = std::string(o->listen.capture ? "--capture" : "--min-similarity") + " is only read with --verify";
    return error;
}

std::string ParseVerifyOptions(int argc, char** argv, VerifyOptions* o) {
    OptionSet s;
    Declare(s, o);
    std::string error = s.Parse(argc, argv, &o->run.rest);
    if (error.empty()) error = CheckRunOptions("project file", o->run);
    if (error.empty()) error = CheckListenOptions(&o->listen);
    if (error.empty() && !o->listen.capture) error = "--capture INPUT expected: the sound input that hears the module";
    return error;
}

std::string ParseLineOptions(int argc, char** argv, LineOptions* o) {
    OptionSet s;
    Declare(s, o);
    std::string error = s.Parse(argc, argv, &o->run.rest);
    if (error.empty()) error = CheckRunOptions("project file", o->run);
    if (error.empty()) error = ParseStations(o->stationTexts, &o->stations);
    double unused = 0;
    if (error.empty()) error = ReadMinSimilarity(o->minSimilarityText, &unused);
    if (error.empty() && !o->verify && (!o->captureTexts.empty() || !o->minSimilarityText.empty()))
        error = std::string(o->captureTexts.empty() ? "--min-similarity" : "--capture") + " is only read with --verify";
    // Matching the inputs to the stations compares ports as devices: left to the run.
    return error;
}

std::string AddOptionLines() { return LinesOf<AddOptions, Declare>(); }
std::string PlayOptionLines() { return LinesOf<RunOptions, DeclarePlay>(); }
std::string PulseOptionLines() { return LinesOf<PulseOptions, Declare>(); }
std::string ProgramOptionLines() { return LinesOf<ProgramOptions, Declare>(); }
std::string LineOptionLines() { return LinesOf<LineOptions, Declare>(); }
std::string VerifyOptionLines() { return LinesOf<VerifyOptions, Declare>(); }

}  // namespace cli
