// What a programming run left out, row by row: the one account that both
// front ends give the user when a run ends (the desktop program in one
// message, the command-line tool line by line).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runs/rec_thread.h"
#include "messages/user_prompt.h"

namespace runs {

struct RunProblem {
    enum class Kind {
        Missing,     // skipped: the audio file does not exist
        Unrecorded,  // every record attempt failed (code: the last driver result)
        Unplayed,    // the sound did not play (code: the player's result): the chip got silence
    };
    int row = 0;
    std::string file;  // the file-name cell
    Kind kind = Kind::Missing;
    int32_t code = 0;
};

// Missing files first, then failed record commands, then sounds that did not play.
std::vector<RunProblem> RunProblems(const RecSummary& s);

// The desktop program's account at the end of a run: MsgId::RowsNotRecorded
// naming each row and why, in row order. Nothing is shown, and false is
// returned, when every segment the run reached was recorded.
bool ShowRunProblems(messages::IUserPrompt& ui, const RecSummary& s);

}  // namespace runs
