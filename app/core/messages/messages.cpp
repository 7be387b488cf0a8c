#include "messages/messages.h"

#include <cassert>
#include <iterator>
#include <utility>

#include "dev_result.h"

namespace messages {

namespace {

constexpr MsgIcon kInfo = MsgIcon::Information;
constexpr MsgIcon kQuestion = MsgIcon::Question;
constexpr MsgButtons kOkButton = MsgButtons::Ok;
constexpr MsgButtons kYesNo = MsgButtons::YesNo;
// A question about unsaved changes: Cancel (and Esc) keeps them and goes back.
constexpr MsgButtons kYesNoCancel = MsgButtons::YesNoCancel;

// In MsgId order. Full-width and half-width punctuation differ between
// otherwise alike texts on purpose ("?" / "？", "," / "，", "!" / "！").
constexpr MsgRow kMessages[] = {
    {MsgId::ListOverCapacity, "编程文件总长度超过芯片容量,请修改！", kCaptionSystem, kInfo, kOkButton},
    {MsgId::SystemError, "对不起，系统出错！", kCaptionSystem, kInfo, kOkButton},
    {MsgId::NoAudioFile, "没有语音文件！", kCaptionPrompt, kInfo, kOkButton},
    {MsgId::ListFull, "编程列表已满，最多只能有160个语音文件！", kCaptionPrompt, kInfo, kOkButton},
    {MsgId::ListUnstorable, "文件名称或路径中含有逗号等无法保存的字符，不能加入编程列表！", kCaptionPrompt, kInfo,
     kOkButton},
    {MsgId::AskDeleteSegment, "是否删除 '%1' ?", kCaptionPrompt, kQuestion, kYesNo},
    {MsgId::AudioUnmeasurable, "测不出'%1'的播放长度，不能加入编程列表！", kCaptionPrompt, kInfo, kOkButton},

    {MsgId::NoAddress, "请输入编程地址！", kCaptionPrompt, kInfo, kOkButton},
    {MsgId::AddressOutOfRange, "输入的编程地址超出范围,请重新输入！", kCaptionPrompt, kInfo, kOkButton},

    {MsgId::AskSaveNew, "是否保存所作的修改?", kCaptionPrompt, kQuestion, kYesNoCancel},
    {MsgId::AskSaveExit, "是否保存所作的修改？", kCaptionSystem, kQuestion, kYesNoCancel},
    {MsgId::AskOverwrite, "文件已存在，是否覆盖？", kCaptionPrompt, kQuestion, kYesNo},
    {MsgId::OpenFailed, "打开QWF数据文件失败！", kCaptionPrompt, kInfo, kOkButton},
    {MsgId::SaveFailed, "保存QWF数据文件失败！", kCaptionPrompt, kInfo, kOkButton},
    {MsgId::ProjectUnstorable, "编程列表中含有逗号等无法保存的字符，保存QWF数据文件失败！", kCaptionPrompt, kInfo,
     kOkButton},
    {MsgId::ProjectNotOpened, "'%1'不是QWF数据文件，没有打开！", kCaptionPrompt, kInfo, kOkButton},
    {MsgId::ProjectIncomplete, "'%1'不是完整的QWF数据文件，只读入了能读出的部分，保存时请另选文件名！", kCaptionPrompt,
     kInfo, kOkButton},

    {MsgId::DriverFileNotFound, "%1文件没有找到！", kCaptionInfo, kInfo, kOkButton},

    {MsgId::NothingToProgram, "没有要编程的语音文件，请选择！", kCaptionSystem, kInfo, kOkButton},
    {MsgId::AskOverCapacity, "语音文件总长度超过芯片容量，是否继续？", kCaptionSystem, kQuestion, kYesNo},
    {MsgId::AskNoSoundOutput, "没有找到可用的声音输出设备，编程时芯片录不到声音，是否继续？", kCaptionSystem, kQuestion,
     kYesNo},
    {MsgId::AskOverlap, "下列语音段的编程地址重叠，后录的语音会覆盖先录的：\n%1\n是否继续？", kCaptionSystem, kQuestion,
     kYesNo},
    {MsgId::WorkerBusy, "上一次编程或播放尚未结束，请稍候再试！", kCaptionSystem, kInfo, kOkButton},
    {MsgId::RecOverflow, "编程地址溢出！", kCaptionSystem, kInfo, kOkButton},
    {MsgId::RowsNotRecorded, "下列语音段没有录进芯片：\n%1", kCaptionSystem, kInfo, kOkButton},
    {MsgId::NothingToPlay, "编程列表中没有数据供播放!", kCaptionSystem, kInfo, kOkButton},
    {MsgId::NothingToVerify, "编程列表中没有要校验的语音段！", kCaptionSystem, kInfo, kOkButton},
    {MsgId::VerifyInputMissing, "声音输入'%1'无法打开，请在“校验设置”中重新选择！", kCaptionSystem, kInfo, kOkButton},

    {MsgId::StartBelowLowest, "对不起，起始地址必须大于等于0x%1", kCaptionSystem, kInfo, kOkButton},
    {MsgId::PlayBelowLowest, "播放地址，不能小于0X%1", kCaptionSystem, kInfo, kOkButton},
    {MsgId::PlayAboveLast, "播放地址，不能大于0X%1", kCaptionSystem, kInfo, kOkButton},

    {MsgId::HelpLoadFailed, "对不起！帮助文件加载失败。", kCaptionSystem, kInfo, kOkButton},

    {MsgId::PortNotOpen, "串口未打开！", kCaptionInfo, kInfo, kOkButton},
    {MsgId::ProgrammerBusy, "对不起，编程器忙！", kCaptionInfo, kInfo, kOkButton},
    {MsgId::NotConnected, "对不起，未连接编程器！", kCaptionInfo, kInfo, kOkButton},
    {MsgId::SetEndFailed, "对不起，设置结束地址失败！", kCaptionInfo, kInfo, kOkButton},
    {MsgId::BadStartAddress, "对不起，起始地址不正确！", kCaptionInfo, kInfo, kOkButton},
    {MsgId::CommError, "串口通信错误!", kCaptionInfo, kInfo, kOkButton},
};

constexpr bool RowsInIdOrder() {
    for (int i = 0; i < kMsgIdCount; ++i)
        if (static_cast<int>(kMessages[i].id) != i) return false;
    return true;
}
static_assert(std::size(kMessages) == kMsgIdCount, "one row per message id");
static_assert(RowsInIdOrder(), "rows in MsgId order");

// The driver result codes that have a message of their own.
struct DriverResultRow {
    int32_t code;
    MsgId id;
};
constexpr DriverResultRow kDriverResults[] = {
    {kDevNoPort, MsgId::PortNotOpen},  {kDevBusy, MsgId::ProgrammerBusy},   {kDevNotConnected, MsgId::NotConnected},
    {kDevBadEnd, MsgId::SetEndFailed}, {kDevNoModule, MsgId::NotConnected}, {kDevBadStart, MsgId::BadStartAddress},
};

}  // namespace

const MsgRow& MessageRow(MsgId id) { return kMessages[static_cast<int>(id)]; }

bool MessageTakesArgument(MsgId id) {
    return std::string_view(MessageRow(id).text).find(kMsgArgument) != std::string_view::npos;
}

std::string MessageText(MsgId id) {
    assert(!MessageTakesArgument(id));
    return MessageRow(id).text;
}

std::string MessageText(MsgId id, std::string_view argument) {
    std::string text = MessageRow(id).text;
    const size_t at = text.find(kMsgArgument);
    assert(at != std::string::npos);
    if (at != std::string::npos) text.replace(at, kMsgArgument.size(), argument);
    return text;
}

namespace {

MsgAnswer Ask(IUserPrompt& ui, MsgId id, const std::string& text) {
    const MsgRow& row = MessageRow(id);
    return ui.Ask(text, row.caption, row.icon, row.buttons);
}

}  // namespace

MsgAnswer ShowMessage(IUserPrompt& ui, MsgId id) { return Ask(ui, id, MessageText(id)); }

MsgAnswer ShowMessage(IUserPrompt& ui, MsgId id, std::string_view argument) {
    return Ask(ui, id, MessageText(id, argument));
}

MsgAnswer ShowMessageWithReason(IUserPrompt& ui, MsgId id, std::string_view argument, std::string_view reason) {
    std::string text = MessageText(id, argument);
    if (!reason.empty()) text.append("\n").append(reason);
    return Ask(ui, id, text);
}

void ShowGeneralError(IUserPrompt& ui, std::string message) { ShowGeneralError(ui, std::move(message), kAppTitle); }

void ShowGeneralError(IUserPrompt& ui, std::string message, const std::string& caption) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    ui.Ask(message, caption, MsgIcon::Error, MsgButtons::Ok);
}

std::string ApplicationTitle(std::string_view program_path) {
    const size_t slash = program_path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? program_path : program_path.substr(slash + 1);
    return std::string(name.substr(0, name.find('.')));
}

std::optional<MsgId> DriverResultMsgId(int32_t code) {
    if (code == kDevOk) return std::nullopt;
    for (const DriverResultRow& r : kDriverResults)
        if (r.code == code) return r.id;
    return MsgId::CommError;
}

std::string DriverResultMessage(int32_t code) {
    const std::optional<MsgId> id = DriverResultMsgId(code);
    return id ? MessageText(*id) : std::string();
}

bool ShowDriverResult(IUserPrompt& ui, int32_t code) {
    const std::optional<MsgId> id = DriverResultMsgId(code);
    if (!id) return false;
    ShowMessage(ui, *id);
    return true;
}

}  // namespace messages
