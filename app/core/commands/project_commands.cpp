#include "commands/project_commands.h"

#include "files/config.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "list/project_file.h"
#include "runs/reason_texts.h"

namespace commands {

namespace {

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteTo(Workspace& w, messages::IUserPrompt& ui, const std::string& path) {
    list::Header h{ProgrammerName(w), ChipName(w)};
    switch (list::Write(path, w.list, h, list::Today())) {
        case list::kProjectOk: return true;
        case list::kProjectUnstorable: messages::ShowMessage(ui, messages::MsgId::ProjectUnstorable); return false;
        default: messages::ShowMessage(ui, messages::MsgId::SaveFailed); return false;
    }
}

}  // namespace

std::string ProposedProjectName() { return "QV" + list::Today(); }

std::string WithProjectExtension(const std::string& path) {
    const std::string name = FileNameOf(path);
    if (name.empty() || name.find('.') != std::string::npos) return path;
    return path + "." + kSaveDialogDefaultExt;
}

namespace {

// The question about unsaved changes: false when the list must stay (the user
// cancelled, or wanted it saved and the save did not happen).
bool ChangesSettled(Workspace& w, messages::IUserPrompt& ui, messages::MsgId question, const SaveAsDialog& save_as) {
    if (!w.modified) return true;
    switch (messages::ShowMessage(ui, question)) {
        case messages::MsgAnswer::Yes: return SaveProject(w, ui, save_as);
        case messages::MsgAnswer::No: return true;
        default: return false;
    }
}

}  // namespace

bool NewProject(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as) {
    if (!ChangesSettled(w, ui, messages::MsgId::AskSaveNew, save_as)) return false;
    w.bound = false;
    w.projectPath.clear();
    w.modified = false;
    w.list.Clear();
    w.extent = 0;
    return true;
}

bool OpenProject(Workspace& w, messages::IUserPrompt& ui, const std::optional<std::string>& chosen) {
    if (!chosen) return false;
    list::ProgrammingList fresh;
    list::Header header;
    std::string bad;
    list::Incomplete incomplete = list::Incomplete::No;
    list::Result r = list::Read(*chosen, &fresh, &header, &bad, &incomplete);
    if (r == list::kProjectNotFound || r == list::kProjectTooLarge) {
        w.bound = false;
        w.projectPath.clear();
        messages::ShowMessage(ui, messages::MsgId::OpenFailed);
        return false;
    }
    const std::string name = FileNameOf(*chosen);
    // Not a project at all: taking it would empty the list and pick the last
    // programmer and chip for names it does not hold.
    if (incomplete == list::Incomplete::Empty || incomplete == list::Incomplete::NoHeader) {
        messages::ShowMessageWithReason(ui, messages::MsgId::ProjectNotOpened, name,
                                        runs::ProjectDamageText(incomplete));
        return false;
    }
    // The previous list is replaced as a whole, never merged with the file's rows.
    w.list = std::move(fresh);
    if (r == list::kProjectBadFlag) {
        // Reading stopped at a damaged line; what came before is shown, but
        // it is not the file any more, so Save must not go back to it unasked.
        w.bound = false;
        w.projectPath.clear();
        w.modified = true;
        messages::ShowGeneralError(ui, text::InvalidIntegerMessage(bad));
        RecomputeExtent(w, ui);
        return false;
    }
    // A file read only in part (other line ends, a cut last line, more rows
    // than the list holds) is shown as read, but Save asks for a name rather
    // than write the shorter list over it.
    w.bound = incomplete == list::Incomplete::No;
    w.projectPath = w.bound ? *chosen : std::string();
    SelectProgrammerByName(w, header.programmer, ui);
    SelectChipByName(w, header.chip, ui);
    RecomputeExtent(w, ui);
    w.modified = false;
    if (!w.bound)
        messages::ShowMessageWithReason(ui, messages::MsgId::ProjectIncomplete, name,
                                        runs::ProjectDamageText(incomplete));
    return true;
}

bool SaveProject(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as) {
    if (!w.bound) return SaveProjectAs(w, ui, save_as);
    if (!WriteTo(w, ui, w.projectPath)) return false;
    w.modified = false;
    return true;
}

bool SaveProjectAs(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as) {
    std::optional<std::string> chosen = save_as ? save_as(ProposedProjectName()) : std::nullopt;
    if (!chosen || chosen->empty()) return false;
    std::string path = WithProjectExtension(*chosen);
    if (list::FileExists(path) && messages::ShowMessage(ui, messages::MsgId::AskOverwrite) != messages::MsgAnswer::Yes)
        return false;
    if (!WriteTo(w, ui, path)) return false;
    w.bound = true;
    w.projectPath = path;
    w.modified = false;
    return true;
}

bool ExitRoutine(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as) {
    if (w.exitDone) return true;
    if (!ChangesSettled(w, ui, messages::MsgId::AskSaveExit, save_as)) return false;
    if (w.restoreVolume) w.restoreVolume();
    if (w.config) files::WriteSelection(*w.config, w.programmerIndex, w.chipIndex);
    w.config.reset();
    w.exitDone = true;
    return true;
}

bool CloseMainWindow(Workspace& w, messages::IUserPrompt& ui, const SaveAsDialog& save_as) {
    if (!ExitRoutine(w, ui, save_as)) return false;
    w.drivers.Unbind();
    return true;
}

}  // namespace commands
