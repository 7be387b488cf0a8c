#include "chip_log.h"

#include <cstdio>
#include <map>

#include "list/address_math.h"
#include "records/chip_record.h"
#include "text/numbers.h"
#include "printable.h"
#include "records/record_file.h"
#include "records/record_result.h"
#include "records/sha256.h"

namespace cli {

namespace {

const char* ResultOf(int rc) { return rc == 0 ? "ok" : rc == 130 ? "cancelled" : "failed"; }

// Why a marked row is not in the chip, keyed by row; the first told counts.
std::map<int, std::string> ReasonsByRow(const RecSummary& s) {
    std::map<int, std::string> why;
    for (const auto& p : RowProblems(s)) why.emplace(p.row, p.reason);
    return why;
}

// Every marked row: as the run reached it, else with the addresses it would have had.
std::vector<rec::SegmentRecord> SegmentsOf(const ws::Workspace& w, const ChipOutcome& o) {
    const std::map<int, std::string> why = ReasonsByRow(o.summary);
    std::map<int, const RecSummary::Reached*> reached;
    for (const auto& r : o.summary.reached) reached[r.row] = &r;
    const std::string notReached =
        "not reached: " + (o.ran ? (o.message.empty() ? std::string("the run stopped") : o.message) : o.message);
    std::vector<rec::SegmentRecord> out;
    for (int row = 1; row <= plist::kRows && w.list.IsUsed(row); ++row) {
        int32_t flag = 0, start = 0, length = 0;
        if (!num::TryStrToInt(w.list.Cell(row, plist::kColFlag), &flag) || flag == 0) continue;
        rec::SegmentRecord s;
        s.row = row;
        s.file = w.list.Cell(row, plist::kColShownPath);
        const auto r = reached.find(row);
        if (r != reached.end()) {
            s.file = r->second->path;
            s.sha256 = r->second->digest;
            s.start = r->second->start;
            s.end = r->second->end;
            s.recorded = r->second->recorded;
        } else if (num::TryStrToInt(w.list.Cell(row, plist::kColStart), &start) &&
                   num::TryStrToInt(w.list.Cell(row, plist::kColLength), &length)) {
            s.start = addr::ChipStart(start, w.chip);
            s.end = addr::EndAddress(start, length, w.chip);
        }
        if (!s.recorded) {
            const auto reason = why.find(row);
            s.reason = reason != why.end() ? reason->second : notReached;
        }
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace

int CheckLogFile(const char* command, const std::string& path) {
    std::string error;
    if (rec::CheckRecordFile(path, &error) == rec::kRecordOk) return 0;
    std::fprintf(stderr, "sonmira-cli %s: the record file %s: %s; nothing sent\n", command, Printable(path).c_str(),
                 error.c_str());
    return 1;
}

std::string LogChip(const ChipLogContext& c, const ws::Workspace& w, int round, const ChipOutcome& o,
                    std::chrono::steady_clock::duration took) {
    if (c.path.empty()) return "";
    rec::ChipRecord r;
    r.time = std::chrono::system_clock::now();
    r.station = c.station;
    r.port = c.port;
    r.output = c.output;
    r.round = round;
    r.project = c.project;
    r.project_sha256 = c.projectSha256;
    r.programmer = ws::ProgrammerName(w);
    r.chip = ws::ChipName(w);
    r.aux = c.aux;
    r.result = ResultOf(o.rc);
    r.message = o.message;
    r.duration_ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
    r.segments = SegmentsOf(w, o);
    std::string error;
    if (rec::AppendRecordLine(c.path, rec::ChipRecordLine(r), &error) != rec::kRecordOk) return error;
    return "";
}

std::string FileDigest(const std::string& path) {
    std::string hex, error;
    return rec::Sha256OfFile(path, &hex, &error) == rec::kRecordOk ? hex : std::string();
}

}  // namespace cli
