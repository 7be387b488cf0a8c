// One chip programmed by sonmira-cli: the download command and its run, with
// what the run left out told on the error stream and kept for the record.
#pragma once

#include <string>
#include <vector>

#include "cli_prompt.h"
#include "runs/rec_thread.h"
#include "verify/chip_verify.h"
#include "commands/workspace.h"

namespace cli {

struct ChipOutcome {
    int rc = 1;           // the exit code: 0 all recorded, 1 failed, 130 cancelled
    std::string message;  // why it is not 0, in one line ("" when 0)
    bool ran = false;     // the run started: summary says what the chip got
    runs::RecSummary summary;
    std::vector<verify::SegmentOutcome> verified;  // --verify: what listening found, per segment
};

// A marked row the chip did not get in full, and why ("the audio file does
// not exist", "the record command failed 100 times: ...", "its sound did not
// play: ..."): as the command tells it and the record keeps it.
struct RowProblem {
    int row = 0;
    std::string file;      // the file-name cell
    bool leftOut = false;  // skipped, rather than recorded without success
    std::string reason;
};

// In the order they are told: missing files, failed record commands, sounds
// that did not play.
std::vector<RowProblem> RowProblems(const runs::RecSummary& s);

// digest: RecJob::digest (empty: no digests).
ChipOutcome ProgramOneChip(commands::Workspace& w, TerminalPrompt& ui, bool aux,
                           const std::function<std::string(const std::string&)>& digest);

}  // namespace cli
