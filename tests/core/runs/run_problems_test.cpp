// The account of a run's rows the chip did not get, as the desktop program
// shows it: one message, row by row, each with its reason.
#include <gtest/gtest.h>

#include "audio/audio_result.h"
#include "dev_result.h"
#include "runs/run_problems.h"
#include "scripted_prompt.h"

TEST(RunProblems, oneMessageNamesEachRowInOrderWithItsReasons) {
    runs::RecSummary s;
    s.unplayed = {{4, "d.mp3", audio::kAudioNoOutput}, {2, "b.wav", audio::kAudioUnsupported}};
    s.unrecorded = {{2, "b.wav", kDevNotConnected}};
    s.missing = {{3, "c.wav", 0}};
    ScriptedPrompt ui{messages::MsgAnswer::Ok};
    EXPECT_TRUE(runs::ShowRunProblems(ui, s));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text,
              "下列语音段没有录进芯片：\n"
              "第2行 b.wav：录音命令100次都没有成功（对不起，未连接编程器！）；声音没有播放（不是能够解码的音频文件）\n"
              "第3行 c.wav：文件不存在\n"
              "第4行 d.mp3：声音没有播放（没有声音输出设备）");
    EXPECT_EQ(ui.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(ui.Boxes()[0].icon, messages::MsgIcon::Information);
    EXPECT_EQ(ui.Boxes()[0].buttons, messages::MsgButtons::Ok);

    // The tool's order: missing files, failed commands, silent sounds.
    std::vector<int> rows;
    for (const runs::RunProblem& p : runs::RunProblems(s)) rows.push_back(p.row);
    EXPECT_EQ(rows, (std::vector<int>{3, 2, 4, 2}));
}

TEST(RunProblems, aRunThatRecordedEverythingSaysNothingAndALongListIsCut) {
    ScriptedPrompt ui{messages::MsgAnswer::Ok};
    runs::RecSummary s;
    s.reached = {{1, "/x/a.wav", 0, 7, "", true}};
    EXPECT_FALSE(runs::ShowRunProblems(ui, s));
    EXPECT_TRUE(ui.Boxes().empty());

    for (int row = 1; row <= 13; ++row) s.missing.push_back({row, "m.wav", 0});
    EXPECT_TRUE(runs::ShowRunProblems(ui, s));
    const std::string text = ui.Texts().at(0);
    EXPECT_NE(text.find("第10行 m.wav：文件不存在\n……另有3行"), std::string::npos) << text;
    EXPECT_EQ(text.find("第11行"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - std::string("……另有3行").size()), "……另有3行");
}
