// Whether a file is a whole shared library for this machine, read before the
// system loader maps it: the loader maps segments past the end of a cut file
// and the program dies of SIGBUS when they are touched.
#pragma once

#include <string>

namespace binding {

// "" when `path` is an ELF shared object of this program's class, byte order
// and machine whose program header table, loadable segments and section
// header table all lie inside the file; otherwise why not, starting with the
// path (as the loader's own texts do).
std::string ElfSharedObjectProblem(const std::string& path);

}  // namespace binding
