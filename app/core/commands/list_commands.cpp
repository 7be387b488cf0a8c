#include "commands/list_commands.h"

#include "audio/audio_length.h"
#include "audio/audio_result.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "list/project_file.h"
#include "runs/reason_texts.h"

namespace ws {

namespace {

// Shared tail of Add file and Drop: checks, length, placement, mark, extent.
// A cell that does not convert shows bad_cell_msg (the drop's own message),
// or the conversion error when there is none.
plist::Status Place(Workspace& w, IUserPrompt& ui, plist::FileFacts f, const PropertiesDialog& dialog,
                    std::optional<MsgId> bad_cell_msg) {
    if (!plist::Storable(f)) {
        ShowMessage(ui, MsgId::ListUnstorable);
        return plist::kListUnstorable;
    }
    if (w.list.FirstFree() == 0) {
        ShowMessage(ui, MsgId::ListFull);
        return plist::kListFull;
    }
    const plist::Measured m = w.lengthOf ? w.lengthOf(f.path) : plist::Measured{0, audio::kAudioFailed};
    // A row of no length would end before it starts and record nothing.
    if (m.ms <= 0) {
        ShowMessageWithReason(ui, MsgId::AudioUnmeasurable, f.name, LengthFailureText(m.rc));
        return plist::kListUnmeasurable;
    }
    f.lengthMs = m.ms;
    if (w.autoAddressing) {
        std::string bad;
        if (plist::AppendAuto(w.list, f, w.chip, &bad) == plist::kListBadNumber) {
            if (bad_cell_msg)
                ShowMessage(ui, *bad_cell_msg);
            else
                ShowGeneralError(ui, num::InvalidIntegerMessage(bad));
            return plist::kListBadNumber;
        }
    } else {
        props::SegmentForm form = props::FormForAdd(f, w.chip.lastAddress);
        if (dialog) dialog(form);
    }
    w.modified = true;
    return RecomputeExtent(w, ui, bad_cell_msg) ? plist::kListOk : plist::kListBadNumber;
}

bool IsAudioType(const std::string& type) {
    return type == ".wav" || type == ".mp3" || type == ".wma" || type == ".mid";
}

}  // namespace

plist::LengthQuery LengthThroughPlayer(CMyMediaPlayer& player) {
    return [&player](const std::string& path) -> plist::Measured {
        player.Close();
        player.SetFileName(path);
        int rc = player.Open();
        const int ms = player.GetLength();
        player.Close();
        if (ms > 0) return {ms, audio::kAudioOk};
        // The file opened, or would have but for the output: the measurement
        // itself says why there is no length.
        if (rc == audio::kAudioOk || rc == audio::kAudioNoOutput) {
            int again = 0;
            rc = audio::MeasureAudioLength(path, &again);
        }
        return {0, rc};
    };
}

props::OkResult PropertiesOk(Workspace& w, const props::SegmentForm& form, IUserPrompt& ui) {
    props::OkResult r = props::PressOk(form, w.list, w.chip, ui);
    if (r == props::OkResult::Accepted) w.modified = true;
    return r;
}

plist::Status AddFile(Workspace& w, IUserPrompt& ui, const std::optional<std::string>& chosen,
                      const PropertiesDialog& dialog) {
    if (!chosen) return plist::kListOk;
    plist::FileFacts f;
    if (!plist::LookUpFile(*chosen, nullptr, &f)) {
        RecomputeExtent(w, ui);
        return plist::kListFileNotFound;
    }
    return Place(w, ui, std::move(f), dialog, std::nullopt);
}

plist::Status DropItem(Workspace& w, IUserPrompt& ui, const std::optional<BrowserItem>& item,
                       const PropertiesDialog& dialog) {
    if (!item || item->displayName.empty()) {
        ShowMessage(ui, MsgId::SystemError);
        return plist::kListNoSelection;
    }
    std::string path = item->folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += item->displayName;
    std::string type = plist::LowerExtension(item->displayName);
    // The browser may show names without their extension.
    if (!IsAudioType(type)) path += ".wav";
    if (!qwf::FileExists(path)) return plist::kListIgnored;
    plist::FileFacts f;
    f.name = item->displayName;
    f.sizeText = plist::SizeText(item->kilobytes);
    f.type = type;
    f.timeText = item->timeText;
    f.path = path;
    return Place(w, ui, std::move(f), dialog, MsgId::SystemError);
}

bool DeleteSegment(Workspace& w, IUserPrompt& ui, int row) {
    using namespace plist;
    if (row < 1 || row > kRows) return false;
    if (w.list.Cell(row, kColRow).empty() || w.list.Cell(row, kColPath).empty()) return false;
    if (ShowMessage(ui, MsgId::AskDeleteSegment, w.list.Cell(row, kColName)) != MsgAnswer::Yes) return false;
    std::string bad;
    if (DeleteRow(w.list, row, w.autoAddressing, w.chip, &bad) != kListOk) {
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
        ShowMessage(ui, MsgId::NoAudioFile);
        return;
    }
    props::SegmentForm form;
    std::string bad;
    if (!props::FormForEdit(w.list, row, w.chip.lastAddress, w.autoAddressing, &form, &bad)) {
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
