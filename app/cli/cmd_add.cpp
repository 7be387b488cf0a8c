// sonmira-cli add PROJECT.QWF FILE...: appends audio files to a project with
// automatic addressing and saves it, creating the project when missing.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_length.h"
#include "audio_reason.h"
#include "audio/audio_result.h"
#include "files/chip_table.h"
#include "command_options.h"
#include "commands.h"
#include "cli_prompt.h"
#include "files/config.h"
#include "commands/list_commands.h"
#include "list_rows.h"
#include "files/location.h"
#include "audio/media_player.h"
#include "printable.h"
#include "commands/project_commands.h"
#include "list/project_file.h"
#include "run_start.h"
#include "setup_check.h"
#include "files/whole_file.h"
#include "commands/workspace.h"

namespace cli {

int RunAdd(int argc, char** argv) {
    AddOptions a;
    const std::string error = ParseAddOptions(argc, argv, &a);
    if (!error.empty()) return UsageError("add", error, FindCommand("add")->usage);
    RunOptions& o = a.run;
    const bool yes = a.yes;
    std::vector<std::string>& rest = o.rest;
    std::string project = commands::WithProjectExtension(rest[0]);
    // The list keeps full paths, as the file dialog gives them.
    for (size_t i = 1; i < rest.size(); ++i) {
        std::error_code ec;
        std::filesystem::path abs = std::filesystem::absolute(rest[i], ec);
        if (!ec) rest[i] = abs.lexically_normal().string();
    }
    // Every file is checked before anything changes, so a typo adds nothing.
    for (size_t i = 1; i < rest.size(); ++i) {
        list::FileFacts f;
        if (!list::LookUpFile(rest[i], nullptr, &f)) {
            std::fprintf(stderr, "sonmira-cli add: %s: no such file (or hidden, or not a regular file)\n",
                         cli::Printable(rest[i]).c_str());
            return 1;
        }
        // A file that cannot be measured would be stored with no length and
        // an end before its start.
        int ms = 0;
        const int rc = audio::MeasureAudioLength(rest[i], &ms);
        if (rc != audio::kAudioOk || ms <= 0) {
            std::fprintf(stderr, "sonmira-cli add: %s: %s; nothing written\n", cli::Printable(rest[i]).c_str(),
                         rc != audio::kAudioOk ? cli::AudioReasonText(rc) : "no sound in it (length 0 ms)");
            return 1;
        }
    }

    // Only a whole project is rewritten, and only on a chip line that can address it.
    if (int rc = cli::CheckSetup({"add", "nothing written", false}, o, project)) return rc;
    cli::TerminalPrompt ui(cli::TerminalPrompt::ModeFor(yes));
    commands::Workspace w;
    w.bindDrivers = false;  // adding files needs no module
    commands::StartUp(w, std::make_unique<files::CIniFile>(files::OpenConfigForReading()), files::ProgramDir(),
                      files::ChipTablePath(), ui);
    if (list::FileExists(project) && !commands::OpenProject(w, ui, project)) return 1;
    if (int rc = cli::SelectByName("add", o.programmer.empty() ? nullptr : &o.programmer,
                                   o.chip.empty() ? nullptr : &o.chip, w, ui))
        return rc;

    audio::CMyMediaPlayer player;
    w.lengthOf = commands::LengthThroughPlayer(player);
    w.autoAddressing = true;  // for this run only; the configuration is not written
    int first = w.list.UsedCount() + 1;
    for (size_t i = 1; i < rest.size(); ++i)
        if (commands::AddFile(w, ui, rest[i], nullptr) != list::kListOk) return 1;  // nothing saved
    bool saved = w.bound ? commands::SaveProject(w, ui, nullptr)
                         : commands::SaveProjectAs(w, ui, [&](const std::string&) { return project; });
    if (!saved) return 1;
    cli::PrintRows(w.list, first);
    return 0;
}

}  // namespace cli
