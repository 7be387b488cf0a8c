// Where the program finds the files that lie beside it (configuration, chip
// table, help, clip) and where it writes them.
//
// The program's folder is the folder of the running executable, or the
// folder named by SONMIRA_HOME when that is set (portable set-ups, tests).
// When that folder is not writable (an installed program), files the program
// writes go to $XDG_CONFIG_HOME/sonmira/ (default ~/.config/sonmira/), seeded
// on first use from the copy beside the program; reads then prefer that copy.
#pragma once

#include <string>
#include <string_view>

namespace files {

// The running executable's folder, with a trailing '/'.
std::string ExecutableDir();

// SONMIRA_HOME (with a trailing '/') when set and not empty, else ExecutableDir().
std::string ProgramDir();

// $XDG_CONFIG_HOME/sonmira/ or $HOME/.config/sonmira/; empty when neither is known.
std::string UserDir();

// Where to read a file of the program's folder.
std::string DataFilePath(std::string_view name);

// Where to write it: the program's folder when writable, else the user
// folder, created and seeded with the program folder's copy when needed.
// Falls back to the program's folder if the user folder cannot be made (the
// write then fails as it would on a read-only folder).
std::string WritableFilePath(std::string_view name);

// The rules above for given places; the functions above call these.
struct Places {
    std::string programDir;  // trailing '/'
    bool programDirWritable;
    std::string userDir;  // trailing '/', or empty
};
std::string ReadPathIn(const Places& places, std::string_view name);
std::string WritePathIn(const Places& places, std::string_view name);

}  // namespace files
