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
std::map<int, std::string> ReasonsByRow(const runs::RecSummary& s) {
    std::map<int, std::string> why;
    for (const auto& p : RowProblems(s)) why.emplace(p.row, p.reason);
    return why;
}

// Every marked row: as the run reached it, else with the addresses it would have had.
std::vector<records::SegmentRecord> SegmentsOf(const commands::Workspace& w, const ChipOutcome& o) {
    const std::map<int, std::string> why = ReasonsByRow(o.summary);
    std::map<int, const runs::RecSummary::Reached*> reached;
    for (const auto& r : o.summary.reached) reached[r.row] = &r;
    const std::string notReached =
        "not reached: " + (o.ran ? (o.message.empty() ? std::string("the run stopped") : o.message) : o.message);
    std::map<int, const verify::SegmentOutcome*> heard;
    for (const auto& v : o.verified) heard[v.segment.row] = &v;
    std::vector<records::SegmentRecord> out;
    for (int row = 1; row <= list::kRows && w.list.IsUsed(row); ++row) {
        int32_t flag = 0, start = 0, length = 0;
        if (!text::TryStrToInt(w.list.Cell(row, list::kColFlag), &flag) || flag == 0) continue;
        records::SegmentRecord s;
        s.row = row;
        s.file = w.list.Cell(row, list::kColShownPath);
        const auto r = reached.find(row);
        if (r != reached.end()) {
            s.file = r->second->path;
            s.sha256 = r->second->digest;
            s.start = r->second->start;
            s.end = r->second->end;
            s.recorded = r->second->recorded;
        } else if (text::TryStrToInt(w.list.Cell(row, list::kColStart), &start) &&
                   text::TryStrToInt(w.list.Cell(row, list::kColLength), &length)) {
            s.start = list::ChipStart(start, w.chip);
            s.end = list::EndAddress(start, length, w.chip);
        }
        if (!s.recorded) {
            const auto reason = why.find(row);
            s.reason = reason != why.end() ? reason->second : notReached;
        }
        const auto v = heard.find(row);
        if (v != heard.end()) {
            const verify::SegmentReport& heardAs = v->second->report;
            s.verify = records::VerifyRecord{heardAs.ok,      heardAs.similarity,    heardAs.delayMs,
                                             heardAs.levelDb, heardAs.headMissingMs, heardAs.tailMissingMs,
                                             heardAs.silent,  heardAs.clipped};
        }
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace

int CheckLogFile(const char* command, const std::string& path) {
    std::string error;
    if (records::CheckRecordFile(path, &error) == records::kRecordOk) return 0;
    std::fprintf(stderr, "sonmira-cli %s: the record file %s: %s; nothing sent\n", command, Printable(path).c_str(),
                 error.c_str());
    return 1;
}

std::string LogChip(const ChipLogContext& c, const commands::Workspace& w, int round, const ChipOutcome& o,
                    std::chrono::steady_clock::duration took) {
    if (c.path.empty()) return "";
    records::ChipRecord r;
    r.time = std::chrono::system_clock::now();
    r.station = c.station;
    r.port = c.port;
    r.output = c.output;
    r.round = round;
    r.project = c.project;
    r.project_sha256 = c.projectSha256;
    r.programmer = commands::ProgrammerName(w);
    r.chip = commands::ChipName(w);
    r.aux = c.aux;
    r.result = ResultOf(o.rc);
    r.message = o.message;
    r.duration_ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
    r.segments = SegmentsOf(w, o);
    std::string error;
    if (records::AppendRecordLine(c.path, records::ChipRecordLine(r), &error) != records::kRecordOk) return error;
    return "";
}

std::string FileDigest(const std::string& path) {
    std::string hex, error;
    return records::Sha256OfFile(path, &hex, &error) == records::kRecordOk ? hex : std::string();
}

}  // namespace cli
