#include "files/config.h"

#include "files/location.h"
#include "text/numbers.h"

namespace files {
namespace {

constexpr const char* kOption = "Option";
constexpr const char* kDevice = "Device";

std::vector<std::string> ReadList(const files::CIniText& text, std::string_view section) {
    std::vector<std::string> names;
    for (size_t i = 0;; ++i) {
        std::string name = text.ReadString(section, std::to_string(i), "");
        if (name.empty()) break;
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace

files::CIniFile OpenConfig() { return files::CIniFile(files::WritableFilePath(kConfigFileName)); }

files::CIniFile OpenConfigForReading() { return files::CIniFile(files::DataFilePath(kConfigFileName)); }

StartSettings ReadStartSettings(const files::CIniFile& config) {
    files::CIniText text = config.Load();
    StartSettings s;
    s.autoAddressing = text.ReadBool(kOption, "AUTO", true);
    s.editorEnabled = text.ReadBool(kOption, "EDIT", false);
    s.editorPath = text.ReadString(kOption, "EditPath", "");
    // A value that is not a number reads as missing; the caller picks the default.
    auto wavVal = text.Find(kOption, "WavVal");
    s.hasWavVal = wavVal && text::TryStrToInt(*wavVal, &s.wavVal);
    if (!s.hasWavVal) s.wavVal = 0;
    s.programmers = ReadList(text, kDevice);
    s.programmerIndex = text.ReadInteger(kOption, "ComProgram", 0);
    s.chipIndex = text.ReadInteger(kOption, "ComChip", 0);
    return s;
}

std::vector<std::string> ReadProgrammers(const files::CIniFile& config) { return ReadList(config.Load(), kDevice); }

ProgrammerSection ReadProgrammerSection(const files::CIniFile& config, std::string_view programmer) {
    ProgrammerSection p;
    if (programmer.empty()) return p;
    files::CIniText text = config.Load();
    p.chips = ReadList(text, programmer);
    p.driverFile = text.ReadString(programmer, "File", "");
    return p;
}

int WriteAuto(const files::CIniFile& config, bool on) { return config.WriteBool(kOption, "AUTO", on); }

int WriteEditor(const files::CIniFile& config, bool enabled, std::string_view path) {
    int rc = config.WriteBool(kOption, "EDIT", enabled);
    int rc2 = config.WriteString(kOption, "EditPath", path);
    return rc != files::kIniOk ? rc : rc2;
}

int WriteWavVal(const files::CIniFile& config, int32_t level) { return config.WriteInteger(kOption, "WavVal", level); }

int WriteSelection(const files::CIniFile& config, int32_t programmerIndex, int32_t chipIndex) {
    int rc = config.WriteInteger(kOption, "ComProgram", programmerIndex);
    int rc2 = config.WriteInteger(kOption, "ComChip", chipIndex);
    return rc != files::kIniOk ? rc : rc2;
}

}  // namespace files
