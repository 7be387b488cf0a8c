// The message table: every id has a row of its own with a text and one of
// the three captions, composed messages keep their fixed parts byte for byte
// around the argument, and ShowMessage hands the row to the prompt unchanged.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "messages/messages.h"
#include "scripted_prompt.h"

TEST(Messages, everyIdHasItsOwnRowWithATextAndOneOfTheThreeCaptions) {
    const std::set<std::string> captions = {"提示信息", "系统提示", "信息提示"};
    std::set<std::string> texts;
    for (int i = 0; i < messages::kMsgIdCount; ++i) {
        const messages::MsgId id = static_cast<messages::MsgId>(i);
        const messages::MsgRow& row = messages::MessageRow(id);
        EXPECT_EQ(row.id, id) << i;
        ASSERT_NE(row.text, nullptr) << i;
        EXPECT_STRNE(row.text, "") << i;
        EXPECT_EQ(captions.count(row.caption), 1u) << i << " " << row.caption;
        // A question asks Yes/No (and may offer Cancel); everything else is
        // an information box with OK.
        if (row.buttons == messages::MsgButtons::YesNo || row.buttons == messages::MsgButtons::YesNoCancel)
            EXPECT_EQ(row.icon, messages::MsgIcon::Question) << i;
        else
            EXPECT_TRUE(row.icon == messages::MsgIcon::Information && row.buttons == messages::MsgButtons::Ok) << i;
        // One row per text: "对不起，系统出错！" is a single message, not two.
        EXPECT_TRUE(texts.insert(row.text).second) << "text twice: " << row.text;
    }
}

TEST(Messages, sampleRowsExactly) {
    const messages::MsgRow& exit = messages::MessageRow(messages::MsgId::AskSaveExit);
    EXPECT_STREQ(exit.text, "是否保存所作的修改？");
    EXPECT_STREQ(exit.caption, "系统提示");
    EXPECT_EQ(exit.icon, messages::MsgIcon::Question);
    // Esc must not throw the changes away: it answers Cancel.
    EXPECT_EQ(exit.buttons, messages::MsgButtons::YesNoCancel);

    const messages::MsgRow& full = messages::MessageRow(messages::MsgId::ListFull);
    EXPECT_STREQ(full.text, "编程列表已满，最多只能有160个语音文件！");
    EXPECT_STREQ(full.caption, "提示信息");
    EXPECT_EQ(full.icon, messages::MsgIcon::Information);
    EXPECT_EQ(full.buttons, messages::MsgButtons::Ok);

    const messages::MsgRow& output = messages::MessageRow(messages::MsgId::AskNoSoundOutput);
    EXPECT_STREQ(output.text, "没有找到可用的声音输出设备，编程时芯片录不到声音，是否继续？");
    EXPECT_STREQ(output.caption, "系统提示");
    EXPECT_EQ(output.buttons, messages::MsgButtons::YesNo);

    EXPECT_STREQ(messages::MessageRow(messages::MsgId::ProjectUnstorable).text,
                 "编程列表中含有逗号等无法保存的字符，保存QWF数据文件失败！");
    EXPECT_STREQ(messages::MessageRow(messages::MsgId::ListUnstorable).text,
                 "文件名称或路径中含有逗号等无法保存的字符，不能加入编程列表！");
    EXPECT_STREQ(messages::MessageRow(messages::MsgId::WorkerBusy).text, "上一次编程或播放尚未结束，请稍候再试！");
    EXPECT_STREQ(messages::MessageRow(messages::MsgId::NotConnected).caption, "信息提示");
}

TEST(Messages, composedTextsKeepTheirFixedPartsAroundTheArgument) {
    // The ones composed at run time, and only they, take an argument.
    const std::set<messages::MsgId> composed = {
        messages::MsgId::AskDeleteSegment,  messages::MsgId::AudioUnmeasurable,  messages::MsgId::ProjectNotOpened,
        messages::MsgId::ProjectIncomplete, messages::MsgId::DriverFileNotFound, messages::MsgId::AskOverlap,
        messages::MsgId::RowsNotRecorded,   messages::MsgId::StartBelowLowest,   messages::MsgId::PlayBelowLowest,
        messages::MsgId::PlayAboveLast,     messages::MsgId::VerifyInputMissing};
    for (int i = 0; i < messages::kMsgIdCount; ++i)
        EXPECT_EQ(messages::MessageTakesArgument(static_cast<messages::MsgId>(i)),
                  composed.count(static_cast<messages::MsgId>(i)) == 1)
            << i;

    EXPECT_EQ(messages::MessageText(messages::MsgId::StartBelowLowest, "0010"), "对不起，起始地址必须大于等于0x0010");
    EXPECT_EQ(messages::MessageText(messages::MsgId::PlayBelowLowest, "0010"), "播放地址，不能小于0X0010");
    EXPECT_EQ(messages::MessageText(messages::MsgId::PlayAboveLast, "009F"), "播放地址，不能大于0X009F");
    EXPECT_EQ(messages::MessageText(messages::MsgId::DriverFileNotFound, "libx.so"), "libx.so文件没有找到！");
    EXPECT_EQ(messages::MessageText(messages::MsgId::VerifyInputMissing, "hw:1"),
              "声音输入'hw:1'无法打开，请在“校验设置”中重新选择！");
    EXPECT_EQ(messages::MessageText(messages::MsgId::NothingToVerify), "编程列表中没有要校验的语音段！");
    // The argument goes in verbatim, a marker inside it included.
    EXPECT_EQ(messages::MessageText(messages::MsgId::AskDeleteSegment, "%1.wav"), "是否删除 '%1.wav' ?");
    EXPECT_EQ(messages::MessageText(messages::MsgId::AskDeleteSegment, ""), "是否删除 '' ?");
}

TEST(Messages, showHandsTheRowToThePromptAndReturnsItsAnswer) {
    ScriptedPrompt ui{messages::MsgAnswer::Yes};
    ui.answers = {messages::MsgAnswer::No};
    EXPECT_EQ(messages::ShowMessage(ui, messages::MsgId::RecOverflow), messages::MsgAnswer::Ok);
    EXPECT_EQ(messages::ShowMessage(ui, messages::MsgId::AskDeleteSegment, "a.wav"), messages::MsgAnswer::No);
    messages::ShowGeneralError(ui, "'x' is not a valid integer value");
    messages::ShowGeneralError(ui, "ends with a dot.");
    ASSERT_EQ(ui.Boxes().size(), 4u);
    EXPECT_EQ(ui.Boxes()[0].text, "编程地址溢出！");
    EXPECT_EQ(ui.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(ui.Boxes()[0].icon, messages::MsgIcon::Information);
    EXPECT_EQ(ui.Boxes()[0].buttons, messages::MsgButtons::Ok);
    EXPECT_EQ(ui.Boxes()[1].text, "是否删除 'a.wav' ?");
    EXPECT_EQ(ui.Boxes()[1].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[1].icon, messages::MsgIcon::Question);
    EXPECT_EQ(ui.Boxes()[1].buttons, messages::MsgButtons::YesNo);
    // The general error box is no table row: the program's title, a stop icon.
    EXPECT_EQ(ui.Boxes()[2].text, "'x' is not a valid integer value.");
    EXPECT_EQ(ui.Boxes()[2].caption, "Sonmira");
    EXPECT_EQ(ui.Boxes()[2].icon, messages::MsgIcon::Error);
    EXPECT_EQ(ui.Boxes()[3].text, "ends with a dot.");
}

TEST(Messages, generalErrorBoxCarriesTheProgramsTitle) {
    ScriptedPrompt ui{messages::MsgAnswer::Ok};
    messages::ShowGeneralError(ui, "bad", messages::ApplicationTitle("/opt/x.y/sonmira.bin.old"));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "bad.");
    EXPECT_EQ(ui.Boxes()[0].caption, "sonmira");
    EXPECT_EQ(messages::ApplicationTitle("sonmira"), "sonmira");
}
