#include "binding/library_search.h"

#include <dlfcn.h>
#include <unistd.h>

#include "binding/elf_check.h"
#include "files/location.h"

namespace binding {

namespace {

std::string LoaderError() {
    const char* e = dlerror();
    return e ? e : "";
}

// The file may still change between the check and dlopen; that is accepted:
// the check is against damaged files, not against someone rewriting them.
void* LoadFile(const std::string& path, std::string& detail) {
    const std::string problem = ElfSharedObjectProblem(path);
    if (!problem.empty()) {
        if (detail.empty()) detail = problem;
        return nullptr;
    }
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h && detail.empty()) detail = LoaderError();
    return h;
}

void* LoadFromFolder(const std::string& file, const std::string& folder, std::string& detail) {
    if (folder.empty()) return nullptr;
    const std::string beside = folder + (folder.back() == '/' ? "" : "/") + file;
    if (access(beside.c_str(), F_OK) != 0) return nullptr;
    return LoadFile(beside, detail);
}

}  // namespace

void* LoadLibraryBeside(const std::string& file, const std::string& programDir, std::string& detail) {
    if (file.find('/') != std::string::npos) return LoadFile(file, detail);
    if (void* h = LoadFromFolder(file, programDir, detail)) return h;
    if (void* h = LoadFromFolder(file, files::ExecutableDir(), detail)) return h;
    // What this search finds lies in the system's library folders and goes to
    // the loader unchecked.
    void* h = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h && detail.empty()) detail = LoaderError();
    return h;
}

}  // namespace binding
