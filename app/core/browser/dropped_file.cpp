#include "browser/dropped_file.h"

#include "browser/folder_listing.h"

namespace browser {

commands::BrowserItem DroppedFileItem(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    TFileEntry e;
    e.displayName = slash == std::string::npos ? path : path.substr(slash + 1);
    FetchEntryDetails(path, e);
    return commands::BrowserItem{slash == std::string::npos ? std::string() : path.substr(0, slash + 1), e.displayName,
                                 e.size, e.dateText};
}

}  // namespace browser
