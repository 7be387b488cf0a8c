// The file dialogs' filters as (description, pattern) pairs, which each front
// end turns into its own dialog's form; the pattern list is ';'-separated.
#pragma once

#include <string>
#include <vector>

namespace commands {

struct FileFilter {
    std::string description;  // what the dialog's type list shows
    std::string pattern;      // e.g. "*.mp3;*.wma;*.wav"
};

// Add file: the sound types first, then each alone, then everything.
const std::vector<FileFilter>& AddDialogFilters();
// Open project. One blank before "Files".
const std::vector<FileFilter>& OpenDialogFilters();
// Save project. Two blanks before "Files", unlike the open dialog.
const std::vector<FileFilter>& SaveDialogFilters();

// The classic one-string form: description|pattern|description|pattern.
std::string FilterText(const std::vector<FileFilter>& filters);

// The patterns of one filter, split at ';'.
std::vector<std::string> FilterPatterns(const FileFilter& filter);

}  // namespace commands
