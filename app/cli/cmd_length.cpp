// sonmira-cli length FILE...: the play length of audio files, as the
// programming list stores it.
#include <cstdio>

#include "audio/audio_length.h"
#include "audio_reason.h"
#include "audio/audio_result.h"
#include "cli_command.h"
#include "printable.h"

namespace {

int RunLength(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: sonmira-cli length FILE...\n", stderr);
        return 2;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        int ms = 0;
        int rc = audio::MeasureAudioLength(argv[i], &ms);
        std::printf("%d\t%s\n", ms, cli::Printable(argv[i]).c_str());
        if (rc != audio::kAudioOk) {
            std::fprintf(stderr, "sonmira-cli length: %s: %s\n", cli::Printable(argv[i]).c_str(),
                         cli::AudioReasonText(rc));
            ++failures;
        }
    }
    std::fflush(stdout);
    return failures ? 1 : 0;
}

}  // namespace

SONMIRA_CLI_COMMAND("length", "print the play length of audio files in milliseconds",
                    "usage: sonmira-cli length FILE...\n"
                    "\n"
                    "Prints one line per file: its length in milliseconds as the player\n"
                    "renders it, a tab, and the path. A file that cannot be measured\n"
                    "prints 0 (and a reason on stderr). WAV, MP3, WMA and MIDI files.\n"
                    "\n"
                    "Exit status: 0 when every file was measured, 1 otherwise, 2 on bad usage.\n",
                    RunLength);
