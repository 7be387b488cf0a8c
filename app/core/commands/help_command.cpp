#include "commands/help_command.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "binding/library_search.h"
#include "messages/messages.h"

namespace commands {

namespace {

// The viewer's windows run code of the library after the call returns, so a
// library once loaded is never unloaded; a second command reuses its handle.
HtmlHelpFn ViewerEntry(const std::string& library, const std::string& programDir) {
    static std::mutex mutex;
    static std::map<std::string, HtmlHelpFn> loaded;
    std::lock_guard<std::mutex> lock(mutex);
    const auto known = loaded.find(library);
    if (known != loaded.end()) return known->second;

    std::string detail;
    void* handle = binding::LoadLibraryBeside(library, programDir, detail);
    if (!handle) return nullptr;
    dlerror();
    auto entry = reinterpret_cast<HtmlHelpFn>(dlsym(handle, kHelpViewerEntry));
    if (!entry) {
        // Of no use without its entry: not kept loaded.
        dlclose(handle);
        return nullptr;
    }
    loaded.emplace(library, entry);
    return entry;
}

}  // namespace

bool OpenHelpFile(messages::IUserPrompt& ui, const std::string& programDir, const std::string& library) {
    const HtmlHelpFn entry = ViewerEntry(library, programDir);
    if (!entry) {
        messages::ShowMessage(ui, messages::MsgId::HelpLoadFailed);
        return false;
    }
    const std::string file = programDir + kHelpFileName;
    entry(nullptr, file.c_str(), kHelpDisplayTopic, 0);
    return true;
}

}  // namespace commands
