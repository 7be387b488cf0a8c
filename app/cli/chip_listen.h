// Verifying a chip from sonmira-cli (verify, program --verify): the sound
// input opened before anything is sent, each marked segment played from the
// chip and compared, one line per segment on stdout.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/sound_capture.h"
#include "commands/workspace.h"
#include "verify/chip_verify.h"

namespace cli {

struct VerifyOutcome {
    int rc = 1;                   // 0 every segment verified, 1 not, 130 cancelled
    std::string message;          // why not 0, one line
    bool messagePrinted = false;  // already on stderr
    int verified = 0, total = 0;
    std::vector<verify::SegmentOutcome> outcomes;
};

// nullptr after printing "sonmira-cli COMMAND: sound input ...: why; nothing sent".
std::unique_ptr<audio::ISoundCapture> OpenCaptureOrSay(const char* command, const std::string& input);

// Plays and compares every marked row of the workspace's list; Ctrl+C cancels.
// sayEachStart: a line "verifying row 2 fall.mp3" before each segment too,
// for the board of `line` (progress_line.h).
VerifyOutcome VerifyChipNow(const char* command, commands::Workspace& w, audio::ISoundCapture& capture,
                            double minSimilarity, bool sayEachStart = false);

// "row 2 beep.wav  similarity 0.97  delay +41 ms  level -3.2 dB  head 0 ms  tail 0 ms  ok"
std::string VerifyLine(const verify::SegmentOutcome& o);

}  // namespace cli
