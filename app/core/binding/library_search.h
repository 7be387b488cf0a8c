// Finding a plug-in library the way the program's Windows original did:
// beside the program first, then through the system's own library search.
// Used for the module drivers and for the help viewer.
#pragma once

#include <string>

namespace binding {

// Loads `file` (RTLD_NOW | RTLD_LOCAL). A bare name is looked for in
// programDir first, then in the executable's own folder (SONMIRA_HOME may move
// the program's folder away from it), then by the loader's own search; a name
// with a '/' is used as written. A file found in one of the program's folders
// must be a whole shared library for this machine, or it is refused before the
// loader sees it (a cut one would crash the program there).
// Returns the handle, or null with `detail` telling why (the first reason met).
void* LoadLibraryBeside(const std::string& file, const std::string& programDir, std::string& detail);

}  // namespace binding
