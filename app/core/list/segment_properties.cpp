#include "list/segment_properties.h"

#include "messages/messages.h"
#include "text/numbers.h"
#include "list/play_address.h"

namespace list {

SegmentForm FormForAdd(const list::FileFacts& f, int32_t upper_limit) {
    SegmentForm form;
    form.mode = Mode::Add;
    form.upper_limit = upper_limit;
    form.path = f.path;
    form.name = f.name;
    form.timeText = f.timeText;
    form.playTime = std::to_string(f.lengthMs) + " MS";
    form.lengthMs = f.lengthMs;
    form.sizeText = f.sizeText;
    form.typeText = f.type;
    return form;
}

bool FormForEdit(const list::ProgrammingList& list, int row, int32_t upper_limit, bool auto_addressing,
                 SegmentForm* form, std::string* bad_text) {
    using namespace list;
    int32_t start = 0, length = 0, flag = 0;
    if (!CellInt(list, row, kColStart, &start, bad_text) || !CellInt(list, row, kColLength, &length, bad_text) ||
        !CellInt(list, row, kColFlag, &flag, bad_text))
        return false;
    SegmentForm f;
    f.mode = Mode::Edit;
    f.upper_limit = upper_limit;
    f.path = list.Cell(row, kColPath);
    f.name = list.Cell(row, kColName);
    f.timeText = list.Cell(row, kColTime);
    f.playTime = list.Cell(row, kColLength) + " MS";
    f.address = text::Hex4(start);
    f.program = flag == 1;
    f.lengthMs = length;
    f.sizeText = list.Cell(row, kColSize);
    f.typeText = list.Cell(row, kColType);
    f.autoAddressing = auto_addressing;
    f.row = row;
    *form = std::move(f);
    return true;
}

bool AcceptAddressKey(int key) { return list::KeyPasses(key); }

namespace {
std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}
}  // namespace

OkResult PressOk(const SegmentForm& form, list::ProgrammingList& list, const files::ChipProfile& chip,
                 messages::IUserPrompt& ui) {
    using namespace list;
    std::string t = Trim(form.address);
    if (t.empty()) {
        messages::ShowMessage(ui, messages::MsgId::NoAddress);
        return OkResult::KeepOpen;
    }
    int32_t a = 0;
    if (!text::TryStrToInt("$" + t, &a)) {
        messages::ShowGeneralError(ui, text::InvalidIntegerMessage("$" + t));
        return OkResult::KeepOpen;
    }
    // A pasted 8-digit text can spell a negative 32-bit value; that is as far
    // out of range as one above the limit.
    if (a > form.upper_limit || a < 0) {
        messages::ShowMessage(ui, messages::MsgId::AddressOutOfRange);
        return OkResult::KeepOpen;
    }
    int row = form.row;
    if (form.mode == Mode::Add) {
        row = list.FirstFree();
        if (row == 0) {
            messages::ShowMessage(ui, messages::MsgId::ListFull);
            return OkResult::Refused;
        }
    } else if (row < 1 || row > kRows) {
        return OkResult::Refused;
    }
    FileFacts f{form.name, form.sizeText, form.typeText, form.timeText, form.path, form.lengthMs};
    std::string keep_number = list.Cell(row, kColRow);
    FillRow(list, row, a, form.program, f, chip);
    if (form.mode == Mode::Edit) {
        list.SetCell(row, kColRow, keep_number);
        if (form.autoAddressing) {
            std::string bad;
            if (Readdress(list, row, chip, &bad) != kListOk)
                messages::ShowGeneralError(ui, text::InvalidIntegerMessage(bad));
        }
    }
    return OkResult::Accepted;
}

}  // namespace list
