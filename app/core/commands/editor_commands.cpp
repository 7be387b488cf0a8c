#include "commands/editor_commands.h"

#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <thread>

#include "files/config.h"
#include "messages/messages.h"

extern char** environ;

namespace commands {

namespace {

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

// errno values that mean "this program cannot be run", as opposed to the
// system failing to make a process at all.
bool ProgramNotRunnable(int err) {
    switch (err) {
        case ENOENT:
        case EACCES:
        case ENOEXEC:
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
        case EISDIR:
        case EPERM:
        case ETXTBSY:
        case ELIBBAD: return true;
        default: return false;
    }
}

void ReapInBackground(pid_t pid) {
    try {
        std::thread([pid] {
            int status = 0;
            pid_t r;
            do r = ::waitpid(pid, &status, 0);
            while (r < 0 && errno == EINTR);
        }).detach();
    } catch (const std::exception&) {
        // No thread to spare: the finished editor stays a zombie until we exit.
    }
}

}  // namespace

EditorSettings SettingsDialogStart(const commands::Workspace& w) { return {w.editorEnabled, w.editorPath}; }

void ApplySettingsOk(commands::Workspace& w, const EditorSettings& dialog) {
    w.editorEnabled = dialog.enabled;
    w.editorPath = dialog.enabled ? dialog.path : std::string();
    if (w.config) files::WriteEditor(*w.config, w.editorEnabled, w.editorPath);
}

bool AcceptEditorPick(const std::string& path) {
    if (LowerExtension(path) == ".exe") return true;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

LaunchResult LaunchDetached(const std::string& program, const std::string& argument) {
    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0) return LaunchResult::Failed;
    // The editor starts with no signal blocked and SIGPIPE as usual, whatever
    // this process does with them.
    sigset_t none, pipe;
    sigemptyset(&none);
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &pipe);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::string prog = program, arg = argument;
    char* argv[] = {prog.data(), arg.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, prog.c_str(), nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return ProgramNotRunnable(rc) ? LaunchResult::NotStarted : LaunchResult::Failed;
    ReapInBackground(pid);
    return LaunchResult::Started;
}

void RunEditCommand(commands::Workspace& w, messages::IUserPrompt& ui, int row) {
    try {
        const std::string& number = w.list.Cell(row, list::kColRow);
        const std::string& file = w.list.Cell(row, list::kColPath);
        if (number.empty() || file.empty()) return;
        // Editing not allowed leaves the path empty: then there is no program to start.
        if (w.editorPath.empty()) return;
        if (LaunchDetached(w.editorPath, file) == LaunchResult::Failed)
            messages::ShowMessage(ui, messages::MsgId::SystemError);
    } catch (const std::exception&) {
        messages::ShowMessage(ui, messages::MsgId::SystemError);
    }
}

}  // namespace commands
