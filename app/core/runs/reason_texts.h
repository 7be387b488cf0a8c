// The words that say why, for messages composed at run time: a failure's
// code in the program's language, and the lists of rows some messages name.
// The messages themselves stay rows of messages.h.
#pragma once

#include <string>
#include <vector>

#include "list/overlaps.h"
#include "list/project_file.h"
#include "runs/run_problems.h"

namespace runs {

// Why a project file is not whole (list::Incomplete::No gives "").
std::string ProjectDamageText(list::Incomplete why);

// Why an audio file has no length (an audio::AudioResult; kAudioOk: it holds no sound).
std::string LengthFailureText(int audio_rc);

// Why a segment's sound did not play (an audio::AudioResult).
std::string PlayFailureText(int audio_rc);

// Why a run left a row out or recorded it without success.
std::string RunProblemText(const RunProblem& p);

// What became of one row of a run, for the list of rows not recorded.
struct RowTroubleText {
    int row = 0;
    std::string file;
    std::string reason;
};

// At most kListedRows lines, then how many more there are.
inline constexpr int kListedRows = 10;

// "第2行 b.wav：reason" per row.
std::string RowTroubleList(const std::vector<RowTroubleText>& rows);

// "第1行（0X0000-0X0009）与第2行（0X0005-0X000C）" per pair.
std::string OverlapList(const std::vector<list::Overlap>& overlaps);

}  // namespace runs
