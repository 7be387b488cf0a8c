// The program's settings and catalogue of programmer types in "Sonmira.INI".
//
// Section Option: ComProgram, ComChip (indexes), AUTO, EDIT (0/1), EditPath,
// WavVal. Section Device: programmer type names under keys "0", "1", ...
// One section per programmer type: its chip names under "0", "1", ... and
// File, the driver library. Numbered lists end at the first missing or empty key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/ini_file.h"

namespace files {

inline constexpr const char* kConfigFileName = "Sonmira.INI";

// What the main window takes from the configuration at creation.
struct StartSettings {
    bool autoAddressing = true;            // AUTO
    bool editorEnabled = false;            // EDIT
    std::string editorPath;                // EditPath
    bool hasWavVal = false;                // WavVal present and a number
    int32_t wavVal = 0;                    // its raw value when present
    std::vector<std::string> programmers;  // Device "0", "1", ...
    int32_t programmerIndex = 0;           // ComProgram
    int32_t chipIndex = 0;                 // ComChip
};

struct ProgrammerSection {
    std::vector<std::string> chips;  // "0", "1", ...
    std::string driverFile;          // File; empty: no driver
};

// The program's configuration file, opened for reading and writing.
files::CIniFile OpenConfig();

// The configuration file as the command-line tool reads it (never seeds a copy).
files::CIniFile OpenConfigForReading();

// One reading of the file, in the start-up order.
StartSettings ReadStartSettings(const files::CIniFile& config);

// The programmer types of section Device.
std::vector<std::string> ReadProgrammers(const files::CIniFile& config);

// The chips and driver file of a programmer type; an empty name gives nothing.
ProgrammerSection ReadProgrammerSection(const files::CIniFile& config, std::string_view programmer);

// Key-by-key writes; each returns a kIni* code, which the program may ignore.
int WriteAuto(const files::CIniFile& config, bool on);
int WriteEditor(const files::CIniFile& config, bool enabled, std::string_view path);
int WriteWavVal(const files::CIniFile& config, int32_t level);
// -1 stands for "nothing selected".
int WriteSelection(const files::CIniFile& config, int32_t programmerIndex, int32_t chipIndex);

}  // namespace files
