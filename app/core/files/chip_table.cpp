#include "files/chip_table.h"

#include "files/location.h"
#include "text/numbers.h"
#include "text/text_codec.h"
#include "files/whole_file.h"

namespace files {

int ScanChipTable(std::string_view table, std::string_view chipName, ChipProfile* profile, std::string* error) {
    int32_t* numbers[] = {&profile->code,  nullptr,          &profile->step,    &profile->lastAddress,
                          &profile->scale, &profile->lowest, &profile->capacity};
    std::string field;
    size_t fieldNo = 0;
    size_t lineNo = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        char c = table[i];
        if (c == ',') {
            if (lineNo > 0 && fieldNo <= 6) {
                if (fieldNo == 1) {
                    profile->name = text::FromGbk(field);
                } else if (!text::TryStrToInt(field, numbers[fieldNo])) {
                    if (error) *error = text::InvalidIntegerMessage(text::FromGbk(field));
                    return kChipTableBadNumber;
                }
            }
            ++fieldNo;
            field.clear();
        } else if (c == '\r' && i + 1 < table.size() && table[i + 1] == '\n') {
            // Checked at the header's end too: a profile already held for this
            // name then stays as it is (choosing the same chip again).
            if (profile->name == chipName && fieldNo > 6) return kChipFound;
            ++lineNo;
            fieldNo = 0;
            field.clear();
            ++i;
        } else if (field.size() < kFieldMaxBytes) {
            field += c;
        }
    }
    // A last line without its line end is still the one whose values stay.
    return lineNo > 0 && profile->name == chipName && fieldNo > 6 ? kChipFound : kChipNotFound;
}

int ReadChipProfile(const std::string& path, std::string_view chipName, ChipProfile* profile, std::string* error) {
    std::string bytes;
    int rc = files::Read(path, kMaxTableBytes, &bytes);
    if (rc == files::kFileMissing) return kChipTableMissing;
    if (rc != files::kFileOk) return kChipTableUnreadable;
    return ScanChipTable(bytes, chipName, profile, error);
}

std::string ChipTablePath() { return files::DataFilePath(kChipTableFileName); }

}  // namespace files
