#include "changed_files.h"

#include <cstdio>
#include <string>

#include "list/address_math.h"
#include "audio/audio_length.h"
#include "audio_reason.h"
#include "audio/audio_result.h"
#include "text/numbers.h"
#include "printable.h"
#include "list/project_file.h"

namespace cli {

namespace {

bool Marked(const list::ProgrammingList& list, int row) {
    int32_t flag = 0;
    return text::TryStrToInt(list.Cell(row, list::kColFlag), &flag) && flag != 0;
}

std::string RowHead(const char* command, const list::ProgrammingList& list, int row) {
    return "sonmira-cli " + std::string(command) + ": row " + std::to_string(row) + " (" +
           Printable(list.Cell(row, list::kColName)) + "): ";
}

}  // namespace

int CheckChangedFiles(const char* command, const list::ProgrammingList& list, const files::ChipProfile& chip) {
    int changed = 0;
    for (int row = 1; row <= list::kRows && list.IsUsed(row); ++row) {
        int32_t cellMs = 0;
        if (!Marked(list, row)) continue;
        const std::string& path = list.Cell(row, list::kColShownPath);
        // A missing file is the run's own to report: it leaves the row out.
        if (path == list::kFileDeleted || !list::FileExists(path)) continue;
        if (!text::TryStrToInt(list.Cell(row, list::kColLength), &cellMs)) continue;  // the row check's to report
        int ms = 0;
        const int rc = audio::MeasureAudioLength(path, &ms);
        const std::string head = RowHead(command, list, row);
        if (rc != audio::kAudioOk) {
            std::fprintf(stderr, "%s%s\n", head.c_str(), AudioReasonText(rc));
            ++changed;
            continue;
        }
        const int64_t now = list::AddressCount(ms, chip.step), given = list::AddressCount(cellMs, chip.step);
        if (now == given) continue;
        std::fprintf(stderr, "%sthe file now plays %d ms (%lld chip addresses); its row gives %d ms (%lld)\n",
                     head.c_str(), ms, static_cast<long long>(now), cellMs, static_cast<long long>(given));
        ++changed;
    }
    if (!changed) return 0;
    std::fprintf(stderr,
                 "sonmira-cli %s: %d %s changed since %s added; re-address the list first (or give "
                 "--ignore-changed); nothing sent\n",
                 command, changed, changed == 1 ? "file" : "files", changed == 1 ? "it was" : "they were");
    return 1;
}

int CheckMissingFiles(const char* command, const list::ProgrammingList& list) {
    int missing = 0;
    for (int row = 1; row <= list::kRows && list.IsUsed(row); ++row) {
        const std::string& path = list.Cell(row, list::kColShownPath);
        if (!Marked(list, row) || (path != list::kFileDeleted && list::FileExists(path))) continue;
        std::fprintf(stderr, "%sthe audio file does not exist\n", RowHead(command, list, row).c_str());
        ++missing;
    }
    if (!missing) return 0;
    std::fprintf(stderr, "sonmira-cli %s: %d marked %s missing; every chip would lack %s; nothing sent\n", command,
                 missing, missing == 1 ? "file is" : "files are", missing == 1 ? "it" : "them");
    return 1;
}

}  // namespace cli
