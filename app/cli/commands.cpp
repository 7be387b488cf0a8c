#include "commands.h"

#include <cstdio>

#include "command_options.h"

namespace cli {

namespace {

const std::vector<Command> kCommands = {
    {"add", "append audio files to a project file",
     "usage: sonmira-cli add [--programmer NAME] [--chip NAME] [--yes] PROJECT.QWF FILE...\n",
     "Appends each FILE to the project's programming list with automatic\n"
     "addressing (each segment right after the previous one, the first at the\n"
     "chip's lowest start address) and saves the project. A missing PROJECT is\n"
     "created; \".QWF\" is added to a name without extension. Lengths are\n"
     "measured by the audio player; sizes, types and times come from the files.\n",
     AddOptionLines,
     "Prints the added rows as 'sonmira-cli list' does. Messages go to stderr.\n"
     "Nothing is saved when a file is missing, the list is full (160 rows) or\n"
     "a name holds a comma. The configuration (Sonmira.INI, sound.dat beside\n"
     "the program or in SONMIRA_HOME) is only read.\n"
     "\n"
     "Exit status: 0 saved, 1 not saved, 2 bad usage.\n",
     RunAdd},
    {"chips", "list programmer types, their drivers and chip profiles", "usage: sonmira-cli chips\n",
     "Lists the programmer types of the configuration (Sonmira.INI), each with its\n"
     "driver library and its chips, and each chip's profile from the chip table\n"
     "(sound.dat). Both files are read beside the program, or in SONMIRA_HOME when\n"
     "that is set.\n"
     "\n"
     "Exit status: 0 when every chip has a profile; 1 when the configuration lists\n"
     "no programmer types, the chip table is missing or damaged, or a chip has no\n"
     "line in it.\n",
     nullptr, "", RunChips},
    {"devices", "list serial ports and sound devices to pair them", "usage: sonmira-cli devices\n",
     "Lists this machine's serial ports, sound outputs and sound inputs, to pair\n"
     "them: each station is one programmer module on a serial port of its own, and\n"
     "the module records what reaches its AUX input, so each station needs a sound\n"
     "output of its own too. Give a station's port to --port and its output to\n"
     "--audio; the input that hears the module's output goes to --capture.\n"
     "\n"
     "Serial ports: the device path, the COM names that reach it now (COM1..COM4,\n"
     "set with SERTRA_COM1..SERTRA_COM4, '-' for none), the USB identity\n"
     "(vendor:product, maker, product, serial number) or the driver, then the\n"
     "port's /dev/serial/by-id/ names. Prefer a by-id name: ttyUSB numbers change\n"
     "when adapters are replugged, a by-id name stays with its adapter.\n"
     "\n"
     "Sound outputs: the name to give to --audio (an ALSA device or a\n"
     "PulseAudio/PipeWire sink), what it is, and its kind. Sound inputs: the\n"
     "same for --capture (an ALSA capture device or a PulseAudio/PipeWire source;\n"
     "a sink's monitor hears what plays into that sink).\n"
     "\n"
     "Exit status: 0; 2 when an argument is given.\n",
     nullptr, "", RunDevices},
    {"length", "print the play length of audio files in milliseconds", "usage: sonmira-cli length FILE...\n",
     "Prints one line per file: its length in milliseconds as the player\n"
     "renders it, a tab, and the path. A file that cannot be measured\n"
     "prints 0 (and a reason on stderr). WAV, MP3, WMA and MIDI files.\n"
     "\n"
     "Exit status: 0 when every file was measured, 1 otherwise, 2 on bad usage.\n",
     nullptr, "", RunLength},
    {"line", "program chips on several modules at once",
     "usage: sonmira-cli line [--programmer NAME] [--chip NAME] [--aux] [--yes] [--ignore-changed]\n"
     "                        [--count N [--no-wait]] [--log FILE]\n"
     "                        [--verify --capture PORT=INPUT ... [--min-similarity X]]\n"
     "                        --station PORT=OUTPUT [--station PORT=OUTPUT ...] PROJECT.QWF\n",
     "Programs the project's list into one chip per station, all stations at the\n"
     "same time: each station is a programmer module on its own serial port whose\n"
     "AUX input is fed by its own sound output. A station's text is split at its\n"
     "first '=': the port (COM1..COM4 or a device path, best a /dev/serial/by-id\n"
     "name), then the sound output (as 'sonmira-cli program --audio' takes it).\n"
     "'sonmira-cli devices' lists both.\n"
     "\n"
     "With --verify each station's chip is then verified as 'sonmira-cli verify'\n"
     "does it, on the sound input its module's output is wired to: one --capture\n"
     "per station, its port, '=', and the input (split at the first '='). The\n"
     "station's line shows the segment it listens to; a chip that does not verify\n"
     "fails its station, and the record gives each segment's figures.\n",
     LineOptionLines,
     "Before any module is touched, the project, the marked files, the record file,\n"
     "every sound output and every port are checked; two stations on one port,\n"
     "one output or one input are refused. A station that fails (module silent or\n"
     "gone, sound output gone, chip not verified) fails alone with its messages,\n"
     "and takes no part in later rounds; the others finish their chip. Ctrl+C\n"
     "cancels every station's chip as the dialog's cancel does, and stops the line.\n"
     "\n"
     "Exit status: 0 when every chip of every station was programmed in full (and\n"
     "verified); 1 when a check failed or a chip was not; 2 for a usage error;\n"
     "130 when cancelled or stopped by the operator.\n",
     RunLine},
    {"list", "print the rows of a project file", "usage: sonmira-cli list PROJECT.QWF\n",
     "Prints one line per segment of the project: the twelve cells of its row\n"
     "(number, program flag, 是/否, start, end, file name, length in ms, size,\n"
     "type, modification time, path, shown path) separated by tabs, in UTF-8.\n"
     "A shown path of 文件已删除 means the audio file is missing.\n"
     "\n"
     "Exit status: 0 when the file was read whole, 1 when it cannot be opened,\n"
     "is larger than the 16 MiB a project file may have, or was read only in\n"
     "part (a damaged line, more than 160 rows, line ends other than CR LF; the\n"
     "rows read are printed and the message says why),\n"
     "2 on bad usage.\n",
     nullptr, "", RunList},
    {"play", "make the module play a project's marked segments",
     "usage: sonmira-cli play [--programmer NAME] [--chip NAME] [--port PORT] [--address HEX] PROJECT.QWF\n",
     "Makes the module play every segment of the project's list that is marked for\n"
     "programming, one after the other, each for its length plus 100 ms. The\n"
     "computer's sound output takes no part.\n",
     PlayOptionLines,
     "Ctrl+C cancels after the segment being played. Exit status: 0 when the\n"
     "playback ended normally, 1 when a check or the driver failed, 2 for a\n"
     "usage error, 130 when cancelled.\n",
     RunPlay},
    {"program", "write a project's list into the chip",
     "usage: sonmira-cli program [--programmer NAME] [--chip NAME] [--port PORT] [--audio OUTPUT]\n"
     "                           [--aux] [--yes] [--ignore-changed] [--count N [--no-wait]]\n"
     "                           [--log FILE [--station NAME] [--round N]]\n"
     "                           [--verify --capture INPUT [--min-similarity X]] PROJECT.QWF\n",
     "Writes the project's programming list into the chip: for every segment\n"
     "marked for programming the module is told to record at the segment's\n"
     "addresses while the segment's file plays on the sound output that feeds the\n"
     "module's AUX input. The programmer type and chip are the project's, as the\n"
     "configuration (Sonmira.INI) defines them; their driver library is bound and\n"
     "finds the module on COM1..COM4 (SERTRA_COM1..4 name the ports).\n",
     ProgramOptionLines,
     "Before anything is sent, the configuration, the chip's line in the chip\n"
     "table and every marked row are checked, and the port, the sound output and\n"
     "the record file when given; each problem is named once. With --count or\n"
     "--log a marked file that is missing is refused too: every chip would lack it.\n"
     "\n"
     "Progress goes to stdout (a bar on a terminal, one line per step otherwise),\n"
     "messages to stderr. Ctrl+C cancels like the dialog's cancel button: the\n"
     "segment in work is finished, no further one is started.\n"
     "SONMIRA_AUDIO_SINK names a GStreamer sink to play into instead of the\n"
     "desktop's output; SONMIRA_DEBUG=1 prints the trace of every record command.\n"
     "\n"
     "With --verify the chip is then verified as 'sonmira-cli verify' does it, with\n"
     "its lines, and counts as programmed only when every segment verifies; the\n"
     "record gives each segment's figures.\n"
     "\n"
     "Exit status: 0 when every marked segment was recorded (and verified); 1 when\n"
     "a check, the driver or the run failed, or a marked segment was left out (its\n"
     "file is missing, or the module refused its record command) or did not\n"
     "verify; the message says why, an address overflow included;\n"
     "2 for a usage error; 130 when cancelled.\n",
     RunProgram},
    {"pulse", "make the module play once from an address",
     "usage: sonmira-cli pulse [--programmer NAME] [--chip NAME] [--port PORT] ADDRESS\n",
     "Makes the module play once from ADDRESS: up to four hexadecimal digits, as\n"
     "typed into the play address box (a 0x prefix is allowed). The address must\n"
     "lie between the chip's lowest start address and its last address; it goes\n"
     "to the module without the chip's address scale.\n",
     PulseOptionLines,
     "Exit status: 0 when the play command was sent, 1 when the address or the\n"
     "driver failed (the message says why), 2 for a usage error.\n",
     RunPulse},
    {"verify", "listen to the chip and compare each segment with its file",
     "usage: sonmira-cli verify [--programmer NAME] [--chip NAME] [--port PORT]\n"
     "                          --capture INPUT [--min-similarity X] PROJECT.QWF\n",
     "Plays every segment of the project's list that is marked for programming\n"
     "from the chip, as 'sonmira-cli play' does, while listening on a sound input\n"
     "wired to the module's speaker or line output, and compares what it hears\n"
     "with the segment's file. One line per segment:\n"
     "\n"
     "  row 2 beep.wav  similarity 0.97  delay +41 ms  level -3.2 dB  head 0 ms  tail 0 ms  ok\n"
     "\n"
     "similarity: 0 to 1, the match of the sound at its best alignment, whatever\n"
     "the level; delay: how far the sound heard lies behind the file; level: the\n"
     "sound heard against the file; head, tail: how much of the file's start and\n"
     "end the chip does not play. A segment verifies when its similarity reaches\n"
     "--min-similarity, it is not silent (below -50 dBFS), head and tail miss at\n"
     "most one chip address's time each, and under 1 % of the sound is clipped;\n"
     "otherwise the line ends in FAILED and why. The last line counts them.\n",
     VerifyOptionLines,
     "Before anything is sent, the configuration, the project, its marked files and\n"
     "the port are checked, and the sound input must open. Ctrl+C cancels.\n"
     "\n"
     "Exit status: 0 when every marked segment verified, 1 when a check failed or\n"
     "a segment did not verify, 2 for a usage error, 130 when cancelled.\n",
     RunVerify},
};

}  // namespace

const std::vector<Command>& Commands() { return kCommands; }

const Command* FindCommand(const std::string& name) {
    for (const Command& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

std::string HelpText(const Command& c) {
    std::string text = std::string(c.usage) + "\n" + c.about;
    if (c.optionLines) text += "\n" + c.optionLines() + "\n" + c.notes;
    return text;
}

int UsageError(const char* name, const std::string& error, const std::string& text) {
    std::fprintf(stderr, "sonmira-cli %s: %s\n\n%s", name, error.c_str(), text.c_str());
    return 2;
}

int UsageErrorWithHelp(const char* name, const std::string& error) {
    return UsageError(name, error, HelpText(*FindCommand(name)));
}

}  // namespace cli
