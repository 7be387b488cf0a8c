// Every fixed text the core hands to a window, a dialog or a file, spelled
// out byte for byte. Full-width and half-width punctuation differ between
// otherwise equal messages ("?" / "？", "," / "，", "!" / "！"), and the grid's
// header texts carry leading blanks, so each text is written here literally
// rather than taken from the constant under test.
#include <gtest/gtest.h>

#include <string>

#include "runs/download_command.h"
#include "commands/file_filters.h"
#include "commands/list_commands.h"
#include "messages/messages.h"
#include "runs/play_thread.h"
#include "runs/playback_commands.h"
#include "list/programming_list.h"
#include "commands/project_commands.h"
#include "list/project_file.h"
#include "runs/rec_thread.h"
#include "list/segment_properties.h"
#include "messages/user_prompt.h"

TEST(FixedTexts, gridHeaderRowWithItsLeadingBlanks) {
    const char* const expected[list::kCols] = {
        "",          "IS 1 ",     " 是否编程",     " 编程地址",     " 结束地址", "       文件名称",
        " 长度(MS)", " 文件大小", "     文件类型", "     修改日期", "path",      "     文件路径"};
    for (int c = 0; c < list::kCols; ++c) EXPECT_EQ(std::string(list::kHeaders[c]), expected[c]) << "column " << c;
}

TEST(FixedTexts, fileDialogsTitlesExtensionsAndFilters) {
    EXPECT_STREQ(commands::kAddDialogTitle, "增加声音文件");
    EXPECT_STREQ(commands::kAddDialogDefaultExt, "wav");
    EXPECT_EQ(commands::FilterText(commands::AddDialogFilters()),
              "音频文件(*.mp3;*.wma;*.wav)|*.mp3;*.wma;*.wav|Wave Sound File(*.wav)|*.wav|Mp3 File(*.mp3)|*.mp3|"
              "windows media audio File(*.wma)|*.wma|所有文件(*.*)|*.*");
    EXPECT_STREQ(commands::kOpenDialogTitle, "打开岚舟声音数据文件");
    EXPECT_STREQ(commands::kOpenDialogDefaultExt, "QWF");
    EXPECT_EQ(commands::FilterText(commands::OpenDialogFilters()), "Qv Wave Files (*.QWF)|*.QWF");
    EXPECT_STREQ(commands::kSaveDialogDefaultExt, "QWF");
    // Two blanks before "Files" in the save filter, one in the open filter.
    EXPECT_EQ(commands::FilterText(commands::SaveDialogFilters()), "Qv Wave  Files (*.QWF)|*.QWF");

    // Each front end builds its dialog from the pairs.
    EXPECT_EQ(commands::FilterPatterns(commands::AddDialogFilters()[0]),
              (std::vector<std::string>{"*.mp3", "*.wma", "*.wav"}));
    EXPECT_EQ(commands::FilterPatterns(commands::AddDialogFilters()[4]), (std::vector<std::string>{"*.*"}));
    EXPECT_EQ(commands::FilterPatterns(commands::FileFilter{"x", ";*.a;;*.b;"}),
              (std::vector<std::string>{"*.a", "*.b"}));

    const std::string proposed = commands::ProposedProjectName();
    ASSERT_EQ(proposed.size(), 10u) << proposed;
    EXPECT_EQ(proposed.substr(0, 2), "QV");
    EXPECT_EQ(proposed.substr(2), list::Today());
    EXPECT_EQ(proposed.substr(2).find_first_not_of("0123456789"), std::string::npos) << proposed;
    EXPECT_EQ(commands::WithProjectExtension("/p/QV20240315"), "/p/QV20240315.QWF");
    EXPECT_EQ(commands::WithProjectExtension("/p.d/song.qwf"), "/p.d/song.qwf");
}

TEST(FixedTexts, captionsAndMessagesOfTheListAndTheProject) {
    EXPECT_STREQ(messages::kCaptionPrompt, "提示信息");
    EXPECT_STREQ(messages::kCaptionSystem, "系统提示");
    EXPECT_STREQ(messages::kCaptionInfo, "信息提示");

    EXPECT_STREQ(list::kYes, "是");
    EXPECT_STREQ(list::kNo, "否");
    EXPECT_STREQ(list::kFileDeleted, "文件已删除");
    EXPECT_EQ(messages::MessageText(messages::MsgId::ListOverCapacity), "编程文件总长度超过芯片容量,请修改！");
    EXPECT_EQ(messages::MessageText(messages::MsgId::SystemError), "对不起，系统出错！");
    EXPECT_EQ(messages::MessageText(messages::MsgId::NoAudioFile), "没有语音文件！");
    EXPECT_EQ(messages::MessageText(messages::MsgId::AskDeleteSegment, "a b.wav"), "是否删除 'a b.wav' ?");

    EXPECT_STREQ(list::kCaption, "文件资料");
    EXPECT_EQ(messages::MessageText(messages::MsgId::NoAddress), "请输入编程地址！");
    EXPECT_EQ(messages::MessageText(messages::MsgId::AddressOutOfRange), "输入的编程地址超出范围,请重新输入！");
    EXPECT_EQ(list::kAddressMaxChars, 4);

    // New asks with a half-width "?", the exit routine with a full-width "？".
    EXPECT_EQ(messages::MessageText(messages::MsgId::AskSaveNew), "是否保存所作的修改?");
    EXPECT_EQ(messages::MessageText(messages::MsgId::AskSaveExit), "是否保存所作的修改？");
    EXPECT_EQ(messages::MessageText(messages::MsgId::AskOverwrite), "文件已存在，是否覆盖？");
    EXPECT_EQ(messages::MessageText(messages::MsgId::OpenFailed), "打开QWF数据文件失败！");

    EXPECT_STREQ(list::kVersion, "V1.0");
    EXPECT_STREQ(list::kMagic, "wendaloprist");
}

TEST(FixedTexts, programmingAndPlaybackTexts) {
    EXPECT_EQ(messages::MessageText(messages::MsgId::NothingToProgram), "没有要编程的语音文件，请选择！");
    EXPECT_EQ(messages::MessageText(messages::MsgId::AskOverCapacity), "语音文件总长度超过芯片容量，是否继续？");
    EXPECT_STREQ(runs::kRecCaptionPreparing, "准备编程");
    EXPECT_STREQ(runs::kRecStatusPreparing, "准备编程...");
    EXPECT_STREQ(runs::kRecCaptionRunning, "正在编程...");
    EXPECT_STREQ(runs::kRecFinished, "编程结束");
    EXPECT_EQ(messages::MessageText(messages::MsgId::RecOverflow), "编程地址溢出！");

    EXPECT_EQ(messages::MessageText(messages::MsgId::NothingToPlay), "编程列表中没有数据供播放!");
    EXPECT_STREQ(runs::kPlayCaption, "正在播放......");
    EXPECT_EQ(messages::MessageText(messages::MsgId::SystemError), "对不起，系统出错！");
}
