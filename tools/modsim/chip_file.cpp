#include "chip_file.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "audio/wav_header.h"

namespace modsim {

namespace {

void PutLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint16_t Le16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | (static_cast<uint8_t>(s[at + 1]) << 8));
}

// The whole file; false with errno set when it cannot be read.
bool ReadAll(const std::string& path, std::string& out) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    const bool ok = !ferror(f);
    fclose(f);
    if (!ok) errno = EIO;
    return ok;
}

bool WriteAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    const std::string tmp = path + ".tmp";
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) {
        *error = "cannot write " + tmp + ": " + strerror(errno);
        return false;
    }
    const bool wrote = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int savedErrno = errno;
    if (fclose(f) != 0 || !wrote) {
        *error = "cannot write " + tmp + ": " + strerror(wrote ? errno : savedErrno);
        unlink(tmp.c_str());
        return false;
    }
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        *error = "cannot rename " + tmp + ": " + strerror(errno);
        unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool ParseMarks(const std::string& text, const ChipGeometry& g, std::vector<Mark>& marks, std::string* error) {
    const nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
    if (!j.is_object() || !j.contains("marks") || !j["marks"].is_array()) {
        *error = "not a marks file (a JSON object with a \"marks\" list)";
        return false;
    }
    auto number = [&](const char* key) {
        return j.contains(key) && j[key].is_number_integer() ? j[key].get<int64_t>() : -1;
    };
    if (number("rate") != g.rate || number("step_ms") != g.stepMs || number("rows") != g.rows) {
        *error = "made for another chip (rate, step_ms or rows differ from the options)";
        return false;
    }
    for (const auto& m : j["marks"]) {
        if (!m.is_object() || !m.contains("row") || !m.contains("sample") || !m["row"].is_number_integer() ||
            !m["sample"].is_number_integer()) {
            *error = "a mark is not {\"row\":N,\"sample\":N}";
            return false;
        }
        const int64_t row = m["row"].get<int64_t>();
        const int64_t sample = m["sample"].get<int64_t>();
        if (row < 0 || row >= g.rows || sample < 0 || sample > g.Samples()) {
            *error = "a mark lies outside the chip";
            return false;
        }
        marks.push_back({static_cast<int32_t>(row), sample});
    }
    return true;
}

}  // namespace

std::string WavHeader(int32_t rate, int64_t samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples * 2);
    std::string h = "RIFF";
    PutLe(h, 36 + dataBytes, 4);
    h += "WAVEfmt ";
    PutLe(h, 16, 4);                               // fmt chunk length
    PutLe(h, 1, 2);                                // PCM
    PutLe(h, 1, 2);                                // mono
    PutLe(h, static_cast<uint32_t>(rate), 4);      // samples per second
    PutLe(h, static_cast<uint32_t>(rate) * 2, 4);  // bytes per second
    PutLe(h, 2, 2);                                // bytes per frame
    PutLe(h, 16, 2);                               // bits per sample
    h += "data";
    PutLe(h, dataBytes, 4);
    return h;
}

std::string MarksJson(const ChipMemory& memory) {
    const ChipGeometry& g = memory.Geometry();
    nlohmann::ordered_json marks = nlohmann::ordered_json::array();
    for (const Mark& m : memory.Marks()) marks.push_back({{"row", m.row}, {"sample", m.sample}});
    const nlohmann::ordered_json j = {{"rate", g.rate}, {"step_ms", g.stepMs}, {"rows", g.rows}, {"marks", marks}};
    return j.dump() + "\n";
}

int LoadChipFile(const std::string& path, ChipMemory& memory, std::string* error) {
    const ChipGeometry& g = memory.Geometry();
    std::string wav;
    if (!ReadAll(path, wav)) {
        if (errno == ENOENT) return kChipFileMissing;
        *error = std::string("cannot read it: ") + strerror(errno);
        return kChipFileBad;
    }
    audio::WavInfo info;
    const auto kind = audio::ReadWavHeader(reinterpret_cast<const uint8_t*>(wav.data()), wav.size(), wav.size(), &info);
    if (kind != audio::WavKind::kPcm || Le16(wav, info.fmtAt) != 1 || Le16(wav, info.fmtAt + 2) != 1 ||
        Le16(wav, info.fmtAt + 14) != 16) {
        *error = "not a mono 16-bit PCM WAV";
        return kChipFileBad;
    }
    const int64_t samples = static_cast<int64_t>(info.dataBytes / 2);
    if (static_cast<int32_t>(info.rate) != g.rate || samples != g.Samples()) {
        *error = "holds " + std::to_string(samples) + " samples at " + std::to_string(info.rate) +
                 " Hz; the options make a chip of " + std::to_string(g.Samples()) + " samples at " +
                 std::to_string(g.rate) + " Hz";
        return kChipFileBad;
    }
    std::vector<int16_t> data(static_cast<size_t>(samples));
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<int16_t>(Le16(wav, info.dataAt + 2 * i));

    std::vector<Mark> marks;
    std::string marksText;
    const std::string marksPath = path + ".marks.json";
    if (ReadAll(marksPath, marksText)) {
        std::string why;
        if (!ParseMarks(marksText, g, marks, &why)) {
            *error = marksPath + ": " + why;
            return kChipFileBad;
        }
    } else if (errno != ENOENT) {
        *error = "cannot read " + marksPath + ": " + strerror(errno);
        return kChipFileBad;
    }
    memory.Assign(std::move(data), std::move(marks));
    return kChipFileOk;
}

int SaveChipFile(const std::string& path, const ChipMemory& memory, std::string* error) {
    const std::vector<int16_t>& samples = memory.Samples();
    std::string wav = WavHeader(memory.Geometry().rate, static_cast<int64_t>(samples.size()));
    wav.reserve(wav.size() + samples.size() * 2);
    for (int16_t s : samples) PutLe(wav, static_cast<uint16_t>(s), 2);
    if (!WriteAtomically(path, wav, error) || !WriteAtomically(path + ".marks.json", MarksJson(memory), error))
        return kChipFileWriteFailed;
    return kChipFileOk;
}

}  // namespace modsim
