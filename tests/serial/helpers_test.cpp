// Pure helpers of the serial library: time limits on a fake clock, line
// speeds, and which device each COM name stands for.
#include <gtest/gtest.h>

#include "line_speed.h"
#include "port_names.h"
#include "time_limit.h"

using namespace sertra;

namespace {
constexpr int64_t kMs = 1000000;
}

TEST(TimeLimit, startThenCheck_expiresExactlyAtWait) {
    const int64_t t0 = 5 * kMs;
    const TimeLimit limit = TimeLimitStart(t0, 100);
    EXPECT_FALSE(TimeLimitExpired(limit, t0));
    EXPECT_EQ(TimeLimitRemainingNs(limit, t0 + 40 * kMs), 60 * kMs);
    EXPECT_FALSE(TimeLimitExpired(limit, t0 + 100 * kMs - 1));
    EXPECT_TRUE(TimeLimitExpired(limit, t0 + 100 * kMs));
    EXPECT_EQ(TimeLimitRemainingNs(limit, t0 + 300 * kMs), 0);
}

TEST(TimeLimit, zeroOrNegativeWait_isExpiredAtStart) {
    EXPECT_TRUE(TimeLimitExpired(TimeLimitStart(kMs, 0), kMs));
    EXPECT_TRUE(TimeLimitExpired(TimeLimitStart(kMs, -20), kMs));
    EXPECT_EQ(TimeLimitRemainingNs(TimeLimitStart(kMs, -20), kMs), 0);
}

TEST(TimeLimit, hugeWait_isClampedWithoutOverflow) {
    const TimeLimit limit = TimeLimitStart(kMs, INT64_MAX / 2);
    EXPECT_GT(TimeLimitRemainingNs(limit, kMs), 0);
    EXPECT_EQ(TimeLimitRemainingNs(limit, kMs), kMaxWaitMs * kMs);
}

TEST(TimeLimit, earlier_picksTheFirstToEnd) {
    const TimeLimit a = TimeLimitStart(0, 504);
    const TimeLimit b = TimeLimitStart(0, 500);
    EXPECT_EQ(TimeLimitEarlier(a, b).endNs, b.endNs);
    EXPECT_EQ(TimeLimitEarlier(b, a).endNs, b.endNs);
}

TEST(LineSpeed, acceptedRates_giveTheirPerByteTimes) {
    for (int32_t rate : {1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200})
        EXPECT_TRUE(IsAcceptedBaud(rate)) << rate;
    EXPECT_EQ(PerByteMs(1200), 9);
    EXPECT_EQ(PerByteMs(9600), 2);
    EXPECT_EQ(PerByteMs(19200), 1);
    EXPECT_EQ(PerByteMs(115200), 1);
}

TEST(LineSpeed, otherRates_areRefused) {
    for (int32_t rate : {0, -9600, 300, 9601, 230400}) EXPECT_FALSE(IsAcceptedBaud(rate)) << rate;
}

TEST(PortNames, environment_namesTheDeviceOutright) {
    EXPECT_EQ(ResolvePortPath(2, "/dev/pts/7", {"ttyUSB0"}), "/dev/pts/7");
    EXPECT_EQ(ResolvePortPath(1, "", {"ttyUSB0"}), "");
}

TEST(PortNames, withoutEnvironment_usbThenAcmThenOnboardInNumericOrder) {
    const std::vector<std::string> dev = {"ttyS1",   "ttyACM0", "ttyUSB10", "tty0", "ttyS0",
                                          "ttyUSB2", "ttyUSBx", "ttySAC0",  "null"};
    EXPECT_EQ(ResolvePortPath(1, nullptr, dev), "/dev/ttyUSB2");
    EXPECT_EQ(ResolvePortPath(2, nullptr, dev), "/dev/ttyUSB10");
    EXPECT_EQ(ResolvePortPath(3, nullptr, dev), "/dev/ttyACM0");
    EXPECT_EQ(ResolvePortPath(4, nullptr, dev), "/dev/ttyS0");
}

TEST(PortNames, excludedDevices_doNotTakeANumber) {
    const std::vector<std::string> dev = {"ttyS0", "ttyS1", "ttyS2", "ttyUSB0"};
    const std::vector<std::string> excluded = {"ttyS0", "ttyS1"};
    EXPECT_EQ(ResolvePortPath(1, nullptr, dev, excluded), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortPath(2, nullptr, dev, excluded), "/dev/ttyS2");
    EXPECT_EQ(ResolvePortPath(3, nullptr, dev, excluded), "");
    EXPECT_EQ(ResolvePortPath(1, "/dev/ttyS0", dev, excluded), "/dev/ttyS0");  // named outright
}

TEST(PortNames, fewerDevicesThanNumber_givesNoDevice) {
    EXPECT_EQ(ResolvePortPath(2, nullptr, {"ttyUSB0"}), "");
    EXPECT_EQ(ResolvePortPath(1, nullptr, {}), "");
    EXPECT_EQ(ResolvePortPath(5, "/dev/pts/1", {}), "");
    EXPECT_EQ(ResolvePortPath(0, nullptr, {"ttyUSB0"}), "");
}
