// The verification's settings in "Sonmira.INI", section Option: VerifyInput
// (the sound input that hears the module), VerifySimilarity (the least
// similarity that passes, "0.80") and VerifyAfterDownload (0/1).
#pragma once

#include <string>

#include "files/ini_file.h"

namespace files {

struct VerifySettings {
    std::string input;  // "" none chosen yet
    double minSimilarity = 0.80;
    bool afterDownload = false;
};

// Missing keys keep the defaults; a threshold that is no number from 0 to 1 does too.
VerifySettings ReadVerifySettings(const files::CIniFile& config);

// Key by key; returns the first failing kIni* code, else kIniOk.
int WriteVerifySettings(const files::CIniFile& config, const VerifySettings& s);

}  // namespace files
