#include "commands/file_filters.h"

namespace commands {

const std::vector<FileFilter>& AddDialogFilters() {
    static const std::vector<FileFilter> filters = {
        {"音频文件(*.mp3;*.wma;*.wav)", "*.mp3;*.wma;*.wav"},
        {"Wave Sound File(*.wav)", "*.wav"},
        {"Mp3 File(*.mp3)", "*.mp3"},
        {"windows media audio File(*.wma)", "*.wma"},
        {"所有文件(*.*)", "*.*"},
    };
    return filters;
}

const std::vector<FileFilter>& OpenDialogFilters() {
    static const std::vector<FileFilter> filters = {{"Qv Wave Files (*.QWF)", "*.QWF"}};
    return filters;
}

const std::vector<FileFilter>& SaveDialogFilters() {
    static const std::vector<FileFilter> filters = {{"Qv Wave  Files (*.QWF)", "*.QWF"}};
    return filters;
}

std::string FilterText(const std::vector<FileFilter>& filters) {
    std::string text;
    for (const FileFilter& f : filters) {
        if (!text.empty()) text += '|';
        text += f.description + '|' + f.pattern;
    }
    return text;
}

std::vector<std::string> FilterPatterns(const FileFilter& filter) {
    std::vector<std::string> patterns;
    size_t from = 0;
    while (from <= filter.pattern.size()) {
        size_t end = filter.pattern.find(';', from);
        if (end == std::string::npos) end = filter.pattern.size();
        if (end > from) patterns.push_back(filter.pattern.substr(from, end - from));
        from = end + 1;
    }
    return patterns;
}

}  // namespace commands
