// The AUX recording mode toggle and what its tool button shows.
#include "runs/aux_mode.h"

#include <gtest/gtest.h>

#include "../../app/ui/aux_button.h"

TEST(AuxMode, toggleTwiceReturnsToStartState) {
    AuxModeState aux;
    EXPECT_EQ(aux.value, 0);
    EXPECT_STREQ(ui::AuxButtonHint(aux), "启用AUX录音模式");
    EXPECT_EQ(ui::AuxButtonImageIndex(aux), 23);
    EXPECT_FALSE(aux.Pressed());
    aux.Toggle();
    EXPECT_EQ(aux.value, 26);
    EXPECT_STREQ(ui::AuxButtonHint(aux), "关闭AUX录音模式");
    EXPECT_EQ(ui::AuxButtonImageIndex(aux), 22);
    EXPECT_TRUE(aux.Pressed());
    aux.Toggle();
    EXPECT_EQ(aux.value, 0);
    EXPECT_STREQ(ui::AuxButtonHint(aux), "启用AUX录音模式");
    EXPECT_EQ(ui::AuxButtonImageIndex(aux), 23);
}
