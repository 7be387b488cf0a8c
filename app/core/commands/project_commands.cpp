#include "commands/project_commands.h"

#include "files/config.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "list/project_file.h"
#include "runs/reason_texts.h"

namespace ws {

namespace {

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteTo(Workspace& w, IUserPrompt& ui, const std::string& path) {
    qwf::Header h{ProgrammerName(w), ChipName(w)};
    switch (qwf::Write(path, w.list, h, qwf::Today())) {
        case qwf::kProjectOk: return true;
        case qwf::kProjectUnstorable: ShowMessage(ui, MsgId::ProjectUnstorable); return false;
        default: ShowMessage(ui, MsgId::SaveFailed); return false;
    }
}

}  // namespace

std::string ProposedProjectName() { return "QV" + qwf::Today(); }

std::string WithProjectExtension(const std::string& path) {
    const std::string name = FileNameOf(path);
    if (name.empty() || name.find('.') != std::string::npos) return path;
    return path + "." + kSaveDialogDefaultExt;
}

namespace {

// The question about unsaved changes: false when the list must stay (the user
// cancelled, or wanted it saved and the save did not happen).
bool ChangesSettled(Workspace& w, IUserPrompt& ui, MsgId question, const SaveAsDialog& save_as) {
    if (!w.modified) return true;
    switch (ShowMessage(ui, question)) {
        case MsgAnswer::Yes: return SaveProject(w, ui, save_as);
        case MsgAnswer::No: return true;
        default: return false;
    }
}

}  // namespace

bool NewProject(Workspace& w, IUserPrompt& ui, const SaveAsDialog& save_as) {
    if (!ChangesSettled(w, ui, MsgId::AskSaveNew, save_as)) return false;
    w.bound = false;
    w.projectPath.clear();
    w.modified = false;
    w.list.Clear();
    w.extent = 0;
    return true;
}

bool OpenProject(Workspace& w, IUserPrompt& ui, const std::optional<std::string>& chosen) {
    if (!chosen) return false;
    plist::ProgrammingList fresh;
    qwf::Header header;
    std::string bad;
    qwf::Incomplete incomplete = qwf::Incomplete::No;
    qwf::Result r = qwf::Read(*chosen, &fresh, &header, &bad, &incomplete);
    if (r == qwf::kProjectNotFound || r == qwf::kProjectTooLarge) {
        w.bound = false;
        w.projectPath.clear();
        ShowMessage(ui, MsgId::OpenFailed);
        return false;
    }
    const std::string name = FileNameOf(*chosen);
    // Not a project at all: taking it would empty the list and pick the last
    // programmer and chip for names it does not hold.
    if (incomplete == qwf::Incomplete::Empty || incomplete == qwf::Incomplete::NoHeader) {
        ShowMessageWithReason(ui, MsgId::ProjectNotOpened, name, ProjectDamageText(incomplete));
        return false;
    }
    // The previous list is replaced as a whole, never merged with the file's rows.
    w.list = std::move(fresh);
    if (r == qwf::kProjectBadFlag) {
        // Reading stopped at a damaged line; what came before is shown, but
        // it is not the file any more, so Save must not go back to it unasked.
        w.bound = false;
        w.projectPath.clear();
        w.modified = true;
        ShowGeneralError(ui, num::InvalidIntegerMessage(bad));
        RecomputeExtent(w, ui);
        return false;
    }
    // A file read only in part (other line ends, a cut last line, more rows
    // than the list holds) is shown as read, but Save asks for a name rather
    // than write the shorter list over it.
    w.bound = incomplete == qwf::Incomplete::No;
    w.projectPath = w.bound ? *chosen : std::string();
    SelectProgrammerByName(w, header.programmer, ui);
    SelectChipByName(w, header.chip, ui);
    RecomputeExtent(w, ui);
    w.modified = false;
    if (!w.bound) ShowMessageWithReason(ui, MsgId::ProjectIncomplete, name, ProjectDamageText(incomplete));
    return true;
}

bool SaveProject(Workspace& w, IUserPrompt& ui, const SaveAsDialog& save_as) {
    if (!w.bound) return SaveProjectAs(w, ui, save_as);
    if (!WriteTo(w, ui, w.projectPath)) return false;
    w.modified = false;
    return true;
}

bool SaveProjectAs(Workspace& w, IUserPrompt& ui, const SaveAsDialog& save_as) {
    std::optional<std::string> chosen = save_as ? save_as(ProposedProjectName()) : std::nullopt;
    if (!chosen || chosen->empty()) return false;
    std::string path = WithProjectExtension(*chosen);
    if (qwf::FileExists(path) && ShowMessage(ui, MsgId::AskOverwrite) != MsgAnswer::Yes) return false;
    if (!WriteTo(w, ui, path)) return false;
    w.bound = true;
    w.projectPath = path;
    w.modified = false;
    return true;
}

bool ExitRoutine(Workspace& w, IUserPrompt& ui, const SaveAsDialog& save_as) {
    if (w.exitDone) return true;
    if (!ChangesSettled(w, ui, MsgId::AskSaveExit, save_as)) return false;
    if (w.restoreVolume) w.restoreVolume();
    if (w.config) cfg::WriteSelection(*w.config, w.programmerIndex, w.chipIndex);
    w.config.reset();
    w.exitDone = true;
    return true;
}

bool CloseMainWindow(Workspace& w, IUserPrompt& ui, const SaveAsDialog& save_as) {
    if (!ExitRoutine(w, ui, save_as)) return false;
    w.drivers.Unbind();
    return true;
}

}  // namespace ws
