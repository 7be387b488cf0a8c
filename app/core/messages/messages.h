// Every message the program shows the user, in one table: its text, caption,
// icon and buttons. Commands name a message by its id and show it through
// ShowMessage, so no call site pairs a text with a caption. No Qt here: the
// command-line tool and the desktop program show the same rows.
#pragma once

#include <stdint.h>

#include <optional>
#include <string>
#include <string_view>

#include "messages/user_prompt.h"

namespace messages {

// The three captions of the program's boxes.
inline constexpr const char* kCaptionPrompt = "提示信息";
inline constexpr const char* kCaptionSystem = "系统提示";
inline constexpr const char* kCaptionInfo = "信息提示";

// Caption of the general error box (see ShowGeneralError).
inline constexpr const char* kAppTitle = "Sonmira";

// In a composed message's text, where its argument goes.
inline constexpr std::string_view kMsgArgument = "%1";

enum class MsgId {
    // Programming list.
    ListOverCapacity,   // 系统提示
    SystemError,        // 系统提示: a failed drop, a failed playback
    NoAudioFile,        // 提示信息
    ListFull,           // 提示信息
    ListUnstorable,     // 提示信息: a name or path the project file cannot hold
    AskDeleteSegment,   // 提示信息, Yes/No; composed: the segment's file name
    AudioUnmeasurable,  // 提示信息; composed: the file name (the reason on a line of its own)
    // Segment properties.
    NoAddress,          // 提示信息
    AddressOutOfRange,  // 提示信息
    // Project file.
    AskSaveNew,         // 提示信息, Yes/No/Cancel (New: half-width "?")
    AskSaveExit,        // 系统提示, Yes/No/Cancel (exit: full-width "？")
    AskOverwrite,       // 提示信息, Yes/No
    OpenFailed,         // 提示信息
    SaveFailed,         // 提示信息
    ProjectUnstorable,  // 提示信息
    ProjectNotOpened,   // 提示信息; composed: the file name (the reason on a line of its own)
    ProjectIncomplete,  // 提示信息; composed: the file name (the reason on a line of its own)
    // Driver library.
    DriverFileNotFound,  // 信息提示; composed: the library's file name
    // Programming and playback commands.
    NothingToProgram,  // 系统提示
    AskOverCapacity,   // 系统提示, Yes/No
    AskNoSoundOutput,  // 系统提示, Yes/No
    AskOverlap,        // 系统提示, Yes/No; composed: the overlapping rows (runs::OverlapList)
    WorkerBusy,        // 系统提示: a cancelled worker still holds the driver
    RecOverflow,       // 系统提示: shown by the programming dialog's close step
    RowsNotRecorded,   // 系统提示: after a run; composed: the rows (runs::RowTroubleList)
    NothingToPlay,     // 系统提示
    // Verification.
    NothingToVerify,     // 系统提示
    VerifyInputMissing,  // 系统提示; composed: the input's name (the reason on a line of its own)
    // Play address box; composed: the corrected box text.
    StartBelowLowest,  // 系统提示: leaving the box
    PlayBelowLowest,   // 系统提示
    PlayAboveLast,     // 系统提示
    // Help.
    HelpLoadFailed,  // 系统提示: the help viewer library cannot be loaded or lacks its entry
    // Driver results (DriverResultMsgId), all 信息提示.
    PortNotOpen,
    ProgrammerBusy,
    NotConnected,
    SetEndFailed,
    BadStartAddress,
    CommError,  // every other non-zero code, Sertra's among them
};
inline constexpr int kMsgIdCount = static_cast<int>(MsgId::CommError) + 1;

struct MsgRow {
    MsgId id;
    const char* text;     // UTF-8; a composed message holds kMsgArgument once
    const char* caption;  // kCaptionPrompt, kCaptionSystem or kCaptionInfo
    MsgIcon icon;
    MsgButtons buttons;
};

const MsgRow& MessageRow(MsgId id);

// True for a message composed at run time (its text holds kMsgArgument).
bool MessageTakesArgument(MsgId id);

// The text as shown; a composed message with `argument` in place of kMsgArgument.
std::string MessageText(MsgId id);
std::string MessageText(MsgId id, std::string_view argument);

// Shows the message and returns the answer (Ok for an information box).
MsgAnswer ShowMessage(IUserPrompt& ui, MsgId id);
MsgAnswer ShowMessage(IUserPrompt& ui, MsgId id, std::string_view argument);
// The composed message, then `reason` on a line of its own (a failure's own
// words, such as the system loader's); nothing added when `reason` is empty.
MsgAnswer ShowMessageWithReason(IUserPrompt& ui, MsgId id, std::string_view argument, std::string_view reason);

// The general error box for an error no command handles (a failed number
// conversion): not a table row, as its text is the error's own. The text gets
// "." added when its last character sorts after ".", the caption is kAppTitle,
// the icon a stop sign.
void ShowGeneralError(IUserPrompt& ui, std::string message);
// The same box with another caption (the desktop program's title).
void ShowGeneralError(IUserPrompt& ui, std::string message, const std::string& caption);

// A program's title: its file's name, without folder, up to its first ".".
std::string ApplicationTitle(std::string_view program_path);

// The message for a driver result code (drivers/common/dev_result.h);
// nullopt for kDevOk. Codes no row names (Sertra's positive codes among
// them) get CommError.
std::optional<MsgId> DriverResultMsgId(int32_t code);

// Its text; empty for kDevOk.
std::string DriverResultMessage(int32_t code);

// For kDevOk shows nothing and returns false (go on); otherwise shows the
// message and returns true (stop).
bool ShowDriverResult(IUserPrompt& ui, int32_t code);

}  // namespace messages
