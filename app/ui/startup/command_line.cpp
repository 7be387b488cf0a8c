#include "startup/command_line.h"

#include <cstring>

#include "sonmira_version.h"

namespace startup {

const char* HelpText() {
    return "Usage: sonmira [PROJECT.QWF]\n"
           "\n"
           "Keeps the programming list of a voice record/playback chip: audio files\n"
           "(WAV, MP3, WMA, MIDI), each at a chip address range; programs them into the\n"
           "chip through a programmer module on a serial port, plays the chip back and\n"
           "verifies it. Opens PROJECT.QWF, a project file, when one is given.\n"
           "\n"
           "The configuration (Sonmira.INI), the chip table (sound.dat) and the help\n"
           "lie beside the program, or in SONMIRA_HOME when that is set. When that\n"
           "folder is not writable (an installed program), the files the program\n"
           "writes go to ~/.config/sonmira/ ($XDG_CONFIG_HOME/sonmira/), copied there\n"
           "from beside the program on first use, and are read from there after.\n"
           "\n"
           "Options:\n"
           "  -h, --help     print this text and exit\n"
           "  --version      print the version and exit\n"
           "Qt's own options (e.g. -platform offscreen) are taken too.\n"
           "\n"
           "Environment:\n"
           "  SONMIRA_HOME        the folder to use instead of the program's\n"
           "  XDG_CONFIG_HOME     the folder of the user's sonmira/ (default ~/.config)\n"
           "  SERTRA_COM1..SERTRA_COM4\n"
           "                      the serial device a COM name reaches (a device path)\n"
           "  SONMIRA_AUDIO_SINK  a GStreamer sink to play through (e.g. fakesink)\n"
           "                      instead of the desktop's sound output\n"
           "  SONMIRA_SOUNDFONT   the SoundFont that renders MIDI files\n"
           "  SONMIRA_DEBUG       when set and not 0, traces the programming run on stderr\n"
           "  SONMIRA_PLAY_LOG    a file that gets a JSON line when a sound starts playing\n"
           "                      and when the module takes a record command\n"
           "  SONMIRA_FIRST_PAINT\n"
           "                      when set, prints when the main window is first painted,\n"
           "                      then exits\n"
           "  SONMIRA_SCREENSHOT  a PNG file to save the main window to once it is\n"
           "                      painted, then exits\n";
}

int AnswerInfoOptions(int argc, char** argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--")) break;
        if (!std::strcmp(a, "-h") || !std::strcmp(a, "--help")) {
            std::fputs(HelpText(), out);
            return 0;
        }
        if (!std::strcmp(a, "--version")) {
            std::fputs("sonmira " SONMIRA_VERSION "\n", out);
            return 0;
        }
    }
    return -1;
}

}  // namespace startup
