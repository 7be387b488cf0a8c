// TFileEntry: one item of the browsed folder. The listing fills the name and
// the kind only; the rest waits until a view is about to draw the entry.
#pragma once

#include <cstdint>
#include <string>

namespace browser {

// The attribute word, as Linux users read it:
//   R (0x1)  read-only: the user may not write it (access(W_OK) refuses);
//   H (0x2)  hidden: the name starts with '.';
//   S (0x4)  system: a device, socket or pipe;
//   A (0x20) archive: a regular file (Linux keeps no archive mark; this is
//            the plain data file that the mark sits on almost everywhere).
enum Attribute : uint32_t { kReadOnly = 0x1, kHidden = 0x2, kSystem = 0x4, kArchive = 0x20 };

struct TFileEntry {
    std::string displayName;
    std::string dateText;     // local time; empty when there is none
    uint32_t size = 0;        // low 32 bits of the size in bytes, div 1000
    uint32_t attributes = 0;  // Attribute bits
    int32_t typeIndex = -1;   // the view's slot in its per-type cache
    bool isFolder = false;
    bool needsDetails = true;
};

// "R", "H", "S", "A" for the bits that are set, in that order.
std::string AttributeLetters(uint32_t attributes);
// "%dKB" of the size; empty for a folder.
std::string SizeColumnText(const TFileEntry& e);

}  // namespace browser
