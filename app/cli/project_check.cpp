#include "project_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "printable.h"
#include "list/project_file.h"
#include "files/whole_file.h"

namespace cli {

int CheckWholeProject(const char* command, const std::string& path, const char* consequence) {
    std::string why;
    std::string bytes;
    if (!list::FileExists(path)) {
        why = "no such project file";
    } else {
        switch (files::Read(path, list::kMaxFileBytes, &bytes)) {
            case files::kFileOk: {
                const std::string reason = list::IncompleteReason(bytes);
                if (!reason.empty()) why = "not a complete project file (" + reason + ")";
                break;
            }
            case files::kFileTooLarge:
                why = "larger than " + std::to_string(list::kMaxFileBytes >> 20) + " MiB, the limit for a project file";
                break;
            default: why = std::string("cannot be read (") + std::strerror(errno) + ")"; break;
        }
    }
    if (why.empty()) return 0;
    std::fprintf(stderr, "sonmira-cli %s: %s: %s; %s\n", command, Printable(path).c_str(), why.c_str(), consequence);
    return 1;
}

}  // namespace cli
