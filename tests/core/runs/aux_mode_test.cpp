// The AUX recording mode toggle: the value handed to BeginRecording. What its
// tool button shows is the window's (tests/ui/aux_button_test.cpp).
#include "runs/aux_mode.h"

#include <gtest/gtest.h>

TEST(AuxMode, toggleTwiceReturnsToStartState) {
    runs::AuxModeState aux;
    EXPECT_EQ(aux.value, 0);
    EXPECT_EQ(aux.value, kAuxModeOff);
    EXPECT_FALSE(aux.Pressed());
    aux.Toggle();
    EXPECT_EQ(aux.value, 26);
    EXPECT_EQ(aux.value, kAuxModeOn);
    EXPECT_TRUE(aux.Pressed());
    aux.Toggle();
    EXPECT_EQ(aux.value, 0);
    EXPECT_FALSE(aux.Pressed());
}
