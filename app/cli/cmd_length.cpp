// sonmira-cli length FILE...: the play length of audio files, as the
// programming list stores it.
#include <cstdio>

#include "audio/audio_length.h"
#include "audio_reason.h"
#include "audio/audio_result.h"
#include "commands.h"
#include "printable.h"

namespace cli {

int RunLength(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(FindCommand("length")->usage, stderr);
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

}  // namespace cli
