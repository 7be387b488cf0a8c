// The chip memory on disk: FILE is a WAV (mono, 16-bit PCM, the chip's rate,
// exactly as many samples as the chip holds), FILE.marks.json its
// end-of-message marks:
//   {"rate":8000,"step_ms":125,"rows":256,"marks":[{"row":12,"sample":12345}]}
#pragma once

#include <stdint.h>

#include <string>

#include "chip_memory.h"

namespace modsim {

enum ChipFileResult {
    kChipFileOk = 0,
    kChipFileMissing = 1,  // no WAV at the path: the chip starts silent
    kChipFileBad = 2,      // unreadable, or made for another geometry: *error says which
    kChipFileWriteFailed = 3,
};

// The 44 bytes before the samples of a mono 16-bit PCM WAV.
std::string WavHeader(int32_t rate, int64_t samples);

std::string MarksJson(const ChipMemory& memory);

// Fills `memory` from the files; leaves it as it was unless kChipFileOk.
int LoadChipFile(const std::string& path, ChipMemory& memory, std::string* error);

// Writes both files, each through PATH.tmp and a rename.
int SaveChipFile(const std::string& path, const ChipMemory& memory, std::string* error);

}  // namespace modsim
