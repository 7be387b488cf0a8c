// What the user is told for each driver result code.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "messages/messages.h"
#include "scripted_prompt.h"

TEST(DriverResult, messageTable_exactTexts) {
    EXPECT_EQ(messages::DriverResultMessage(0), "");
    EXPECT_EQ(messages::DriverResultMessage(-1), "串口未打开！");
    EXPECT_EQ(messages::DriverResultMessage(-2), "对不起，编程器忙！");
    EXPECT_EQ(messages::DriverResultMessage(-5), "对不起，未连接编程器！");
    EXPECT_EQ(messages::DriverResultMessage(-6), "对不起，设置结束地址失败！");
    EXPECT_EQ(messages::DriverResultMessage(-7), "对不起，未连接编程器！");
    EXPECT_EQ(messages::DriverResultMessage(-8), "对不起，起始地址不正确！");
    // Everything else, Sertra's positive codes and the gaps in the table alike.
    for (int32_t code : {-3, -4, -9, INT32_MIN, 1, 102, 104, 333, 1033, INT32_MAX})
        EXPECT_EQ(messages::DriverResultMessage(code), "串口通信错误!") << code;
}

TEST(DriverResult, show_successIsSilentAndGoesOn_failureIsOneInformationBox) {
    ScriptedPrompt ui{messages::MsgAnswer::No};
    EXPECT_FALSE(messages::ShowDriverResult(ui, 0));
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_TRUE(messages::ShowDriverResult(ui, -2));
    EXPECT_TRUE(messages::ShowDriverResult(ui, 1033));
    ASSERT_EQ(ui.Boxes().size(), 2u);
    EXPECT_EQ(ui.Boxes()[0].text, "对不起，编程器忙！");
    EXPECT_EQ(ui.Boxes()[1].text, "串口通信错误!");
    for (auto& b : ui.Boxes()) {
        EXPECT_EQ(b.caption, "信息提示");
        EXPECT_EQ(b.icon, messages::MsgIcon::Information);
        EXPECT_EQ(b.buttons, messages::MsgButtons::Ok);
    }
}
