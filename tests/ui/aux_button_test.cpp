// What the AUX recording mode's tool button shows for each state of the
// mode: its hint and its image in the tool bar's image list.
#include "aux_button.h"

#include <gtest/gtest.h>

TEST(AuxButton, hintAndImageFollowTheModeBothWays) {
    runs::AuxModeState aux;
    EXPECT_STREQ(ui::AuxButtonHint(aux), "启用AUX录音模式");
    EXPECT_EQ(ui::AuxButtonImageIndex(aux), 23);
    aux.Toggle();
    EXPECT_STREQ(ui::AuxButtonHint(aux), "关闭AUX录音模式");
    EXPECT_EQ(ui::AuxButtonImageIndex(aux), 22);
    aux.Toggle();
    EXPECT_STREQ(ui::AuxButtonHint(aux), "启用AUX录音模式");
    EXPECT_EQ(ui::AuxButtonImageIndex(aux), 23);
}
