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
#include "cli_command.h"
#include "cli_prompt.h"
#include "files/config.h"
#include "commands/list_commands.h"
#include "list_rows.h"
#include "files/location.h"
#include "audio/media_player.h"
#include "printable.h"
#include "commands/project_commands.h"
#include "list/project_file.h"
#include "run_options.h"
#include "setup_check.h"
#include "files/whole_file.h"
#include "commands/workspace.h"

namespace {

constexpr const char* kUsage = "usage: sonmira-cli add [--programmer NAME] [--chip NAME] [--yes] PROJECT.QWF FILE...\n";

int RunAdd(int argc, char** argv) {
    bool yes = cli::TakeYesFlag(&argc, argv);
    cli::RunOptions o;
    std::string error = cli::ParseRunOptions(argc, argv, false, false, nullptr, &o);
    if (error.empty() && !o.port.empty()) error = "unknown option '--port' (adding files needs no module)";
    if (error.empty() && o.rest.size() < 2) error = "a project file and at least one audio file expected";
    if (!error.empty()) return cli::UsageError("add", error, kUsage);
    std::vector<std::string>& rest = o.rest;
    std::string project = ws::WithProjectExtension(rest[0]);
    // The list keeps full paths, as the file dialog gives them.
    for (size_t i = 1; i < rest.size(); ++i) {
        std::error_code ec;
        std::filesystem::path abs = std::filesystem::absolute(rest[i], ec);
        if (!ec) rest[i] = abs.lexically_normal().string();
    }
    // Every file is checked before anything changes, so a typo adds nothing.
    for (size_t i = 1; i < rest.size(); ++i) {
        plist::FileFacts f;
        if (!plist::LookUpFile(rest[i], nullptr, &f)) {
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
    ws::Workspace w;
    w.bindDrivers = false;  // adding files needs no module
    ws::StartUp(w, std::make_unique<ini::CIniFile>(cfg::OpenConfigForReading()), loc::ProgramDir(),
                chips::ChipTablePath(), ui);
    if (qwf::FileExists(project) && !ws::OpenProject(w, ui, project)) return 1;
    if (int rc = cli::SelectByName("add", o.programmer.empty() ? nullptr : &o.programmer,
                                   o.chip.empty() ? nullptr : &o.chip, w, ui))
        return rc;

    CMyMediaPlayer player;
    w.lengthOf = ws::LengthThroughPlayer(player);
    w.autoAddressing = true;  // for this run only; the configuration is not written
    int first = w.list.UsedCount() + 1;
    for (size_t i = 1; i < rest.size(); ++i)
        if (ws::AddFile(w, ui, rest[i], nullptr) != plist::kListOk) return 1;  // nothing saved
    bool saved = w.bound ? ws::SaveProject(w, ui, nullptr)
                         : ws::SaveProjectAs(w, ui, [&](const std::string&) { return project; });
    if (!saved) return 1;
    cli::PrintRows(w.list, first);
    return 0;
}

}  // namespace

SONMIRA_CLI_COMMAND("add", "append audio files to a project file",
                    "usage: sonmira-cli add [--programmer NAME] [--chip NAME] [--yes] PROJECT.QWF FILE...\n"
                    "\n"
                    "Appends each FILE to the project's programming list with automatic\n"
                    "addressing (each segment right after the previous one, the first at the\n"
                    "chip's lowest start address) and saves the project. A missing PROJECT is\n"
                    "created; \".QWF\" is added to a name without extension. Lengths are\n"
                    "measured by the audio player; sizes, types and times come from the files.\n"
                    "\n"
                    "  --programmer NAME  programmer type (default: the project's, or the\n"
                    "                     configuration's saved choice for a new project)\n"
                    "  --chip NAME        chip of that programmer (same defaults)\n"
                    "  --yes, -y          answer Yes to questions\n"
                    "\n"
                    "Prints the added rows as 'sonmira-cli list' does. Messages go to stderr.\n"
                    "Nothing is saved when a file is missing, the list is full (160 rows) or\n"
                    "a name holds a comma. The configuration (Sonmira.INI, sound.dat beside\n"
                    "the program or in SONMIRA_HOME) is only read.\n"
                    "\n"
                    "Exit status: 0 saved, 1 not saved, 2 bad usage.\n",
                    RunAdd);
