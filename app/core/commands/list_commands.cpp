#include "commands/list_commands.h"

#include "audio/audio_length.h"
#include "audio/audio_result.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "list/project_file.h"
#include "runs/reason_texts.h"

namespace commands {

namespace {

// Shared tail of Add file and Drop: checks, length, placement, mark, extent.
// A cell that does not convert shows bad_cell_msg (the drop's own message),
// or the conversion error when there is none.
list::Status Place(Workspace& w, messages::IUserPrompt& ui, list::FileFacts f, const PropertiesDialog& dialog,
                   std::optional<messages::MsgId> bad_cell_msg) {
    if (!list::Storable(f)) {
        messages::ShowMessage(ui, messages::MsgId::ListUnstorable);
        return list::kListUnstorable;
    }
    if (w.list.FirstFree() == 0) {
        messages::ShowMessage(ui, messages::MsgId::ListFull);
        return list::kListFull;
    }
    const list::Measured m = w.lengthOf ? w.lengthOf(f.path) : list::Measured{0, audio::kAudioFailed};
    // A row of no length would end before it starts and record nothing.
    if (m.ms <= 0) {
        messages::ShowMessageWithReason(ui, messages::MsgId::AudioUnmeasurable, f.name, runs::LengthFailureText(m.rc));
        return list::kListUnmeasurable;
    }
    f.lengthMs = m.ms;
    if (w.autoAddressing) {
        std::string bad;
        if (list::AppendAuto(w.list, f, w.chip, &bad) == list::kListBadNumber) {
            if (bad_cell_msg)
                messages::ShowMessage(ui, *bad_cell_msg);
            else
                messages::ShowGeneralError(ui, text::InvalidIntegerMessage(bad));
            return list::kListBadNumber;
        }
    } else {
        list::SegmentForm form = list::FormForAdd(f, w.chip.lastAddress);
        if (dialog) dialog(form);
    }
    w.modified = true;
    return RecomputeExtent(w, ui, bad_cell_msg) ? list::kListOk : list::kListBadNumber;
}

bool IsAudioType(const std::string& type) {
    return type == ".wav" || type == ".mp3" || type == ".wma" || type == ".mid";
}

}  // namespace

list::LengthQuery LengthThroughPlayer(audio::CMyMediaPlayer& player) {
    return [&player](const std::string& path) -> list::Measured {
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

list::OkResult PropertiesOk(Workspace& w, const list::SegmentForm& form, messages::IUserPrompt& ui) {
    list::OkResult r = list::PressOk(form, w.list, w.chip, ui);
    if (r == list::OkResult::Accepted) w.modified = true;
    return r;
}

list::Status AddFile(Workspace& w, messages::IUserPrompt& ui, const std::optional<std::string>& chosen,
                     const PropertiesDialog& dialog) {
    if (!chosen) return list::kListOk;
    list::FileFacts f;
    if (!list::LookUpFile(*chosen, nullptr, &f)) {
        RecomputeExtent(w, ui);
        return list::kListFileNotFound;
    }
    return Place(w, ui, std::move(f), dialog, std::nullopt);
}

list::Status DropItem(Workspace& w, messages::IUserPrompt& ui, const std::optional<BrowserItem>& item,
                      const PropertiesDialog& dialog) {
    if (!item || item->displayName.empty()) {
        messages::ShowMessage(ui, messages::MsgId::SystemError);
        return list::kListNoSelection;
    }
    std::string path = item->folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += item->displayName;
    std::string type = list::LowerExtension(item->displayName);
    // The browser may show names without their extension.
    if (!IsAudioType(type)) path += ".wav";
    if (!list::FileExists(path)) return list::kListIgnored;
    list::FileFacts f;
    f.name = item->displayName;
    f.sizeText = list::SizeText(item->kilobytes);
    f.type = type;
    f.timeText = item->timeText;
    f.path = path;
    return Place(w, ui, std::move(f), dialog, messages::MsgId::SystemError);
}

bool DeleteSegment(Workspace& w, messages::IUserPrompt& ui, int row) {
    using namespace list;
    if (row < 1 || row > kRows) return false;
    if (w.list.Cell(row, kColRow).empty() || w.list.Cell(row, kColPath).empty()) return false;
    if (messages::ShowMessage(ui, messages::MsgId::AskDeleteSegment, w.list.Cell(row, kColName)) !=
        messages::MsgAnswer::Yes)
        return false;
    std::string bad;
    if (DeleteRow(w.list, row, w.autoAddressing, w.chip, &bad) != kListOk) {
        messages::ShowGeneralError(ui, text::InvalidIntegerMessage(bad));
        return false;
    }
    w.modified = true;
    RecomputeExtent(w, ui);
    return true;
}

void EditSegment(Workspace& w, messages::IUserPrompt& ui, int row, const PropertiesDialog& dialog) {
    using namespace list;
    if (w.list.Cell(row, kColRow).empty() && w.list.Cell(row, kColPath).empty()) {
        messages::ShowMessage(ui, messages::MsgId::NoAudioFile);
        return;
    }
    list::SegmentForm form;
    std::string bad;
    if (!list::FormForEdit(w.list, row, w.chip.lastAddress, w.autoAddressing, &form, &bad)) {
        messages::ShowGeneralError(ui, text::InvalidIntegerMessage(bad));
        return;
    }
    if (dialog) dialog(form);
    RecomputeExtent(w, ui);
}

void GridDoubleClick(Workspace& w, messages::IUserPrompt& ui, int row, const OpenFileDialog& open_file,
                     const PropertiesDialog& dialog) {
    using namespace list;
    if (w.list.Cell(row, kColRow).empty() && w.list.Cell(row, kColPath).empty())
        AddFile(w, ui, open_file ? open_file() : std::nullopt, dialog);
    else
        EditSegment(w, ui, row, dialog);
}

}  // namespace commands
