#include "runs/run_problems.h"

#include <algorithm>

#include "messages/messages.h"
#include "runs/reason_texts.h"

namespace runs {

std::vector<RunProblem> RunProblems(const RecSummary& s) {
    std::vector<RunProblem> out;
    for (const auto& m : s.missing) out.push_back({m.row, m.file, RunProblem::Kind::Missing, m.code});
    for (const auto& u : s.unrecorded) out.push_back({u.row, u.file, RunProblem::Kind::Unrecorded, u.code});
    for (const auto& u : s.unplayed) out.push_back({u.row, u.file, RunProblem::Kind::Unplayed, u.code});
    return out;
}

bool ShowRunProblems(messages::IUserPrompt& ui, const RecSummary& s) {
    std::vector<RunProblem> problems = RunProblems(s);
    if (problems.empty()) return false;
    std::stable_sort(problems.begin(), problems.end(),
                     [](const RunProblem& a, const RunProblem& b) { return a.row < b.row; });
    // One line per row: a row whose record command failed may also have had no sound.
    std::vector<RowTroubleText> rows;
    for (const RunProblem& p : problems) {
        if (!rows.empty() && rows.back().row == p.row)
            rows.back().reason += "；" + RunProblemText(p);
        else
            rows.push_back({p.row, p.file, RunProblemText(p)});
    }
    messages::ShowMessage(ui, messages::MsgId::RowsNotRecorded, RowTroubleList(rows));
    return true;
}

}  // namespace runs
