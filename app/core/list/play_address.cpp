#include "list/play_address.h"

#include "messages/messages.h"
#include "text/numbers.h"

namespace list {

using messages::IUserPrompt;
using messages::MsgId;
using messages::ShowGeneralError;
using messages::ShowMessage;

bool KeyPasses(int key) {
    return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F') || (key >= 'a' && key <= 'f') || key == kBackspace;
}

bool BoxValue(const std::string& box, int32_t* value) { return text::TryStrToInt("0X" + box, value); }

void ReportNotANumber(const std::string& box, IUserPrompt& ui) {
    ShowGeneralError(ui, text::InvalidIntegerMessage("0X" + box));
}

namespace {

// BoxValue, reporting a box that is not a number.
bool ReadBox(const std::string& box, IUserPrompt& ui, int32_t* value) {
    if (BoxValue(box, value)) return true;
    ReportNotANumber(box, ui);
    return false;
}

}  // namespace

bool LeaveBox(std::string& box, int32_t lowestStart, IUserPrompt& ui) {
    int32_t value = 0;
    if (!ReadBox(box, ui, &value)) return false;
    if (value < lowestStart) {
        box = text::Hex4(lowestStart);
        ShowMessage(ui, MsgId::StartBelowLowest, box);
    }
    return true;
}

bool CheckPlayAddress(std::string& box, int32_t lowestStart, int32_t lastAddress, IUserPrompt& ui, int32_t* address) {
    int32_t value = 0;
    if (!ReadBox(box, ui, &value)) return false;
    if (value < lowestStart) {
        box = text::Hex4(lowestStart);
        ShowMessage(ui, MsgId::PlayBelowLowest, box);
        return false;
    }
    if (value > lastAddress) {
        box = text::Hex4(lastAddress);
        ShowMessage(ui, MsgId::PlayAboveLast, box);
        return false;
    }
    *address = value;
    return true;
}

}  // namespace list
