#include <gtest/gtest.h>

#include "list/ruler.h"

namespace {

TEST(RulerLabels, followTheCapacityInTenths) {
    list::LabelTexts t = list::DesignedLabelTexts();
    EXPECT_EQ(t, (list::LabelTexts{"0MS", "4000", "8000", "12000", "16000", "20000", "24000", "28000", "32000", "36000",
                                   "40000"}));
    list::RelabelForCapacity(40000, &t);
    EXPECT_EQ(t, list::DesignedLabelTexts());
    list::RelabelForCapacity(20000, &t);
    EXPECT_EQ(t, (list::LabelTexts{"0MS", "2000", "4000", "6000", "8000", "10000", "12000", "14000", "16000", "18000",
                                   "20000"}));
    list::RelabelForCapacity(999, &t);
    EXPECT_EQ(t, (list::LabelTexts{"0MS", "99", "198", "297", "396", "495", "594", "693", "792", "891", "990"}));
    // A negative capacity is damage: the texts stay.
    list::RelabelForCapacity(-5, &t);
    EXPECT_EQ(t[10], "990");
    // A chip of capacity 0 labels every tick 0, as the tenths rule gives.
    list::RelabelForCapacity(0, &t);
    EXPECT_EQ(t, (list::LabelTexts{"0MS", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}));
    list::RelabelForCapacity(999, &t);
    list::RelabelForCapacity(INT32_MAX, &t);
    EXPECT_EQ(t[10], "2147483640");
}

TEST(RulerGauge, maximumFollowsTheCapacityAndPullsThePositionDown) {
    list::Gauge g;
    EXPECT_EQ(g.maximum, 40000);
    list::ShowExtent(30000, &g);
    EXPECT_EQ(g.position, 30000);
    list::SetMaximumForCapacity(0, &g);
    EXPECT_EQ(g.maximum, 40000);
    list::SetMaximumForCapacity(999, &g);
    EXPECT_EQ(g.maximum, 999);
    EXPECT_EQ(g.position, 999);
    list::SetMaximumForCapacity(60000, &g);
    EXPECT_EQ(g.position, 999);
    list::ShowExtent(int64_t{1} << 40, &g);
    EXPECT_EQ(g.position, 60000);
    list::ShowExtent(-3, &g);
    EXPECT_EQ(g.position, 0);
}

TEST(RulerLayout, placesTicksAndLabelsForTheGaugeWidth) {
    list::Layout l = list::LayOut(786);
    std::array<int, 21> ticks{-1};
    for (int k = 2; k <= 20; ++k) ticks[k - 1] = (k - 1) * 39;
    ticks[20] = 784;
    EXPECT_EQ(l.ticks, ticks);
    EXPECT_EQ(l.ticks[1], 39);
    EXPECT_EQ(l.labels, (std::array<int, 11>{3, 70, 148, 226, 304, 379, 457, 535, 613, 691, 756}));
    EXPECT_TRUE(list::IsLongTick(0));
    EXPECT_FALSE(list::IsLongTick(1));
    EXPECT_TRUE(list::IsLongTick(20));
}

}  // namespace
