#include "list_commands.h"

#include <cstdio>

#include "numbers.h"
#include "project_file.h"

namespace ws {

namespace {

bool IsStorable(const plist::FileFacts& f) {
    for (const std::string* t : {&f.name, &f.size_text, &f.type, &f.time_text, &f.path})
        if (!plist::Storable(*t)) return false;
    return true;
}

// Shared tail of Add file and Drop: checks, length, placement, mark, extent.
// `drop` selects the drop's failure message for a cell that does not convert.
plist::Status Place(Workspace& w, IUserPrompt& ui, plist::FileFacts f, const PropertiesDialog& dialog,
                    bool drop) {
    if (!IsStorable(f)) {
        Tell(ui, plist::kMsgUnstorable, kCaptionPrompt);
        return plist::kUnstorable;
    }
    if (w.list.FirstFree() == 0) {
        Tell(ui, plist::kMsgListFull, kCaptionPrompt);
        return plist::kListFull;
    }
    f.length_ms = w.length_of ? w.length_of(f.path) : 0;
    if (f.length_ms < 0) f.length_ms = 0;
    if (w.auto_addressing) {
        std::string bad;
        if (plist::AppendAuto(w.list, f, w.chip, &bad) == plist::kBadNumber) {
            if (drop)
                Tell(ui, plist::kMsgDropFailed, kCaptionSystem);
            else
                plist::ShowGeneralError(ui, num::InvalidIntegerMessage(bad));
            return plist::kBadNumber;
        }
    } else {
        props::SegmentForm form = props::FormForAdd(f, w.chip.last_address);
        if (dialog) dialog(form);
    }
    w.modified = true;
    std::string bad;
    int64_t e = 0;
    if (plist::ComputeExtent(w.list, w.chip, &e, &bad) != plist::kOk) {
        if (drop)
            Tell(ui, plist::kMsgDropFailed, kCaptionSystem);
        else
            plist::ShowGeneralError(ui, num::InvalidIntegerMessage(bad));
        return plist::kBadNumber;
    }
    w.extent = e;
    if (e > w.chip.capacity) Tell(ui, plist::kMsgCapacity, kCaptionSystem);
    return plist::kOk;
}

bool IsAudioType(const std::string& type) {
    return type == ".wav" || type == ".mp3" || type == ".wma" || type == ".mid";
}

}  // namespace

plist::LengthQuery LengthThroughPlayer(CMyMediaPlayer& player) {
    return [&player](const std::string& path) -> int32_t {
        player.Close();
        player.SetFileName(path);
        player.Open();
        int ms = player.GetLength();
        player.Close();
        return ms;
    };
}

props::OkResult PropertiesOk(Workspace& w, const props::SegmentForm& form, IUserPrompt& ui) {
    props::OkResult r = props::PressOk(form, w.list, w.chip, ui);
    if (r == props::OkResult::Accepted) w.modified = true;
    return r;
}

plist::Status AddFile(Workspace& w, IUserPrompt& ui, const std::optional<std::string>& chosen,
                      const PropertiesDialog& dialog) {
    if (!chosen) return plist::kOk;
    plist::FileFacts f;
    if (!plist::LookUpFile(*chosen, nullptr, &f)) {
        RecomputeExtent(w, ui);
        return plist::kNotFound;
    }
    return Place(w, ui, std::move(f), dialog, false);
}

plist::Status DropItem(Workspace& w, IUserPrompt& ui, const std::optional<BrowserItem>& item,
                       const PropertiesDialog& dialog) {
    if (!item || item->display_name.empty()) {
        Tell(ui, plist::kMsgDropFailed, kCaptionSystem);
        return plist::kNoSelection;
    }
    std::string path = item->folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += item->display_name;
    std::string type = plist::LowerExtension(item->display_name);
    // The browser may show names without their extension.
    if (!IsAudioType(type)) path += ".wav";
    if (!qwf::FileExists(path)) return plist::kIgnored;
    plist::FileFacts f;
    f.name = item->display_name;
    char size[32];
    std::snprintf(size, sizeof size, "%dKB", static_cast<int>(item->kilobytes));
    f.size_text = size;
    f.type = type;
    f.time_text = item->time_text;
    f.path = path;
    return Place(w, ui, std::move(f), dialog, true);
}

bool DeleteSegment(Workspace& w, IUserPrompt& ui, int row) {
    using namespace plist;
    if (row < 1 || row > kRows) return false;
    if (w.list.Cell(row, kColRow).empty() || w.list.Cell(row, kColPath).empty()) return false;
    if (ui.Ask(DeleteQuestion(w.list.Cell(row, kColName)), kCaptionPrompt, MsgIcon::Question,
               MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    std::string bad;
    if (DeleteRow(w.list, row, w.auto_addressing, w.chip, &bad) != kOk) {
        ShowGeneralError(ui, num::InvalidIntegerMessage(bad));
        return false;
    }
    w.modified = true;
    RecomputeExtent(w, ui);
    return true;
}

void EditSegment(Workspace& w, IUserPrompt& ui, int row, const PropertiesDialog& dialog) {
    using namespace plist;
    if (w.list.Cell(row, kColRow).empty() && w.list.Cell(row, kColPath).empty()) {
        Tell(ui, kMsgNoFile, kCaptionPrompt);
        return;
    }
    props::SegmentForm form;
    std::string bad;
    if (!props::FormForEdit(w.list, row, w.chip.last_address, w.auto_addressing, &form, &bad)) {
        ShowGeneralError(ui, num::InvalidIntegerMessage(bad));
        return;
    }
    if (dialog) dialog(form);
    RecomputeExtent(w, ui);
}

void GridDoubleClick(Workspace& w, IUserPrompt& ui, int row, const OpenFileDialog& open_file,
                     const PropertiesDialog& dialog) {
    using namespace plist;
    if (w.list.Cell(row, kColRow).empty() && w.list.Cell(row, kColPath).empty())
        AddFile(w, ui, open_file ? open_file() : std::nullopt, dialog);
    else
        EditSegment(w, ui, row, dialog);
}

}  // namespace ws
