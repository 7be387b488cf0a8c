#include "files/verify_config.h"

#include <charconv>

namespace files {

namespace {

constexpr const char* kOption = "Option";

}  // namespace

VerifySettings ReadVerifySettings(const files::CIniFile& config) {
    VerifySettings s;
    s.input = config.ReadString(kOption, "VerifyInput", "");
    // Read and written without the locale: a desktop in a decimal-comma locale shares the file.
    const std::string threshold = config.ReadString(kOption, "VerifySimilarity", "");
    double x = 0;
    const auto [end, ec] = std::from_chars(threshold.data(), threshold.data() + threshold.size(), x);
    if (ec == std::errc() && end == threshold.data() + threshold.size() && !threshold.empty() && x >= 0 && x <= 1)
        s.minSimilarity = x;
    s.afterDownload = config.ReadBool(kOption, "VerifyAfterDownload", false);
    return s;
}

int WriteVerifySettings(const files::CIniFile& config, const VerifySettings& s) {
    char threshold[16];
    const auto written =
        std::to_chars(threshold, threshold + sizeof threshold, s.minSimilarity, std::chars_format::fixed, 2);
    const int rc[] = {
        config.WriteString(kOption, "VerifyInput", s.input),
        config.WriteString(kOption, "VerifySimilarity", std::string_view(threshold, written.ptr - threshold)),
        config.WriteBool(kOption, "VerifyAfterDownload", s.afterDownload)};
    for (int r : rc)
        if (r != files::kIniOk) return r;
    return files::kIniOk;
}

}  // namespace files
