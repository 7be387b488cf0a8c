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
    for (int i = 0; i < kMsgIdCount; ++i) {
        const MsgId id = static_cast<MsgId>(i);
        const MsgRow& row = MessageRow(id);
        EXPECT_EQ(row.id, id) << i;
        ASSERT_NE(row.text, nullptr) << i;
        EXPECT_STRNE(row.text, "") << i;
        EXPECT_EQ(captions.count(row.caption), 1u) << i << " " << row.caption;
        // A question asks Yes/No (and may offer Cancel); everything else is
        // an information box with OK.
        if (row.buttons == MsgButtons::YesNo || row.buttons == MsgButtons::YesNoCancel)
            EXPECT_EQ(row.icon, MsgIcon::Question) << i;
        else
            EXPECT_TRUE(row.icon == MsgIcon::Information && row.buttons == MsgButtons::Ok) << i;
        // One row per text: "对不起，系统出错！" is a single message, not two.
        EXPECT_TRUE(texts.insert(row.text).second) << "text twice: " << row.text;
    }
}

TEST(Messages, sampleRowsExactly) {
    const MsgRow& exit = MessageRow(MsgId::AskSaveExit);
    EXPECT_STREQ(exit.text, "是否保存所作的修改？");
    EXPECT_STREQ(exit.caption, "系统提示");
    EXPECT_EQ(exit.icon, MsgIcon::Question);
    // Esc must not throw the changes away: it answers Cancel.
    EXPECT_EQ(exit.buttons, MsgButtons::YesNoCancel);

    const MsgRow& full = MessageRow(MsgId::ListFull);
    EXPECT_STREQ(full.text, "编程列表已满，最多只能有160个语音文件！");
    EXPECT_STREQ(full.caption, "提示信息");
    EXPECT_EQ(full.icon, MsgIcon::Information);
    EXPECT_EQ(full.buttons, MsgButtons::Ok);

    const MsgRow& output = MessageRow(MsgId::AskNoSoundOutput);
    EXPECT_STREQ(output.text, "没有找到可用的声音输出设备，编程时芯片录不到声音，是否继续？");
    EXPECT_STREQ(output.caption, "系统提示");
    EXPECT_EQ(output.buttons, MsgButtons::YesNo);

    EXPECT_STREQ(MessageRow(MsgId::ProjectUnstorable).text,
                 "编程列表中含有逗号等无法保存的字符，保存QWF数据文件失败！");
    EXPECT_STREQ(MessageRow(MsgId::ListUnstorable).text,
                 "文件名称或路径中含有逗号等无法保存的字符，不能加入编程列表！");
    EXPECT_STREQ(MessageRow(MsgId::WorkerBusy).text, "上一次编程或播放尚未结束，请稍候再试！");
    EXPECT_STREQ(MessageRow(MsgId::NotConnected).caption, "信息提示");
}

TEST(Messages, composedTextsKeepTheirFixedPartsAroundTheArgument) {
    // The ones composed at run time, and only they, take an argument.
    const std::set<MsgId> composed = {MsgId::AskDeleteSegment,  MsgId::AudioUnmeasurable,  MsgId::ProjectNotOpened,
                                      MsgId::ProjectIncomplete, MsgId::DriverFileNotFound, MsgId::AskOverlap,
                                      MsgId::RowsNotRecorded,   MsgId::StartBelowLowest,   MsgId::PlayBelowLowest,
                                      MsgId::PlayAboveLast};
    for (int i = 0; i < kMsgIdCount; ++i)
        EXPECT_EQ(MessageTakesArgument(static_cast<MsgId>(i)), composed.count(static_cast<MsgId>(i)) == 1) << i;

    EXPECT_EQ(MessageText(MsgId::StartBelowLowest, "0010"), "对不起，起始地址必须大于等于0x0010");
    EXPECT_EQ(MessageText(MsgId::PlayBelowLowest, "0010"), "播放地址，不能小于0X0010");
    EXPECT_EQ(MessageText(MsgId::PlayAboveLast, "009F"), "播放地址，不能大于0X009F");
    EXPECT_EQ(MessageText(MsgId::DriverFileNotFound, "libx.so"), "libx.so文件没有找到！");
    // The argument goes in verbatim, a marker inside it included.
    EXPECT_EQ(MessageText(MsgId::AskDeleteSegment, "%1.wav"), "是否删除 '%1.wav' ?");
    EXPECT_EQ(MessageText(MsgId::AskDeleteSegment, ""), "是否删除 '' ?");
}

TEST(Messages, showHandsTheRowToThePromptAndReturnsItsAnswer) {
    ScriptedPrompt ui{MsgAnswer::Yes};
    ui.answers = {MsgAnswer::No};
    EXPECT_EQ(ShowMessage(ui, MsgId::RecOverflow), MsgAnswer::Ok);
    EXPECT_EQ(ShowMessage(ui, MsgId::AskDeleteSegment, "a.wav"), MsgAnswer::No);
    ShowGeneralError(ui, "'x' is not a valid integer value");
    ShowGeneralError(ui, "ends with a dot.");
    ASSERT_EQ(ui.Boxes().size(), 4u);
    EXPECT_EQ(ui.Boxes()[0].text, "编程地址溢出！");
    EXPECT_EQ(ui.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(ui.Boxes()[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.Boxes()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(ui.Boxes()[1].text, "是否删除 'a.wav' ?");
    EXPECT_EQ(ui.Boxes()[1].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[1].icon, MsgIcon::Question);
    EXPECT_EQ(ui.Boxes()[1].buttons, MsgButtons::YesNo);
    // The general error box is no table row: the program's title, a stop icon.
    EXPECT_EQ(ui.Boxes()[2].text, "'x' is not a valid integer value.");
    EXPECT_EQ(ui.Boxes()[2].caption, "Sonmira");
    EXPECT_EQ(ui.Boxes()[2].icon, MsgIcon::Error);
    EXPECT_EQ(ui.Boxes()[3].text, "ends with a dot.");
}

TEST(Messages, generalErrorBoxCarriesTheProgramsTitle) {
    ScriptedPrompt ui{MsgAnswer::Ok};
    ShowGeneralError(ui, "bad", ApplicationTitle("/opt/x.y/sonmira.bin.old"));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "bad.");
    EXPECT_EQ(ui.Boxes()[0].caption, "sonmira");
    EXPECT_EQ(ApplicationTitle("sonmira"), "sonmira");
}
