// Listing one folder for the file browser: names and kinds first (fast on
// tens of thousands of entries), the details later for the entries a view
// is about to draw.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "browser/file_entry.h"

namespace browser {

// Every item of `folder` but "." and "..", hidden ones included, in display
// order (only the folders with `folders_only`, for a folder tree). Returns 0,
// or the errno of the step that failed; on failure `entries` keeps what it held.
int ReadFolder(const std::string& folder, std::vector<TFileEntry>* entries, bool folders_only = false);

// Folders first; then by name as the desktop's file manager orders them:
// digit runs compare as numbers, the rest through the collation of
// LC_COLLATE with ASCII letters folded to lower case; equal keys fall back
// to the names' bytes, so the order never depends on the listing's order.
void SortEntries(std::vector<TFileEntry>& entries);

// The byte string whose order is the name order above (without the
// folders-first rule and the tie-break).
std::string NameOrderKey(const std::string& name);

// Size, date text and attributes of the item at `path`; an item that cannot
// be queried keeps zeros and an empty date. Clears needsDetails.
void FetchEntryDetails(const std::string& path, TFileEntry& e);

// FetchEntryDetails for the entries first..last of `folder` (a path with its
// trailing '/') that still need it, when both indexes are below the number of
// entries; otherwise nothing. Returns how many entries were fetched.
size_t FetchDetails(const std::string& folder, std::vector<TFileEntry>& entries, size_t first, size_t last);

}  // namespace browser
