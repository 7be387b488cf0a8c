// The main window's file dialogs, one function each, so tests can stand in
// for the user's choice. Each gives the chosen path, or nothing when cancelled.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands/file_filters.h"

class QWidget;

struct FileDialogs {
    std::function<std::optional<std::string>()> openProject;
    std::function<std::optional<std::string>(const std::string& proposed)> saveProject;
    std::function<std::optional<std::string>()> addFile;
};

// Qt's dialogs, owned by `owner`, with the commands' titles, filters and default extensions.
FileDialogs QtFileDialogs(QWidget* owner);

// The filters in Qt's form: each description followed by its patterns, each
// pattern also in the other letter case (file names on Linux are case-sensitive,
// and "*.wav" must also show A.WAV).
QString QtFilter(const std::vector<commands::FileFilter>& filters);
