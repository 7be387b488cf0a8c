// The port scan, the link check and the code paths shared by both drivers.
#include <gtest/gtest.h>

#include "driver_rig.h"
#include "messages/messages.h"

using namespace modsim_test;
using Frames = std::vector<std::string>;

TEST(Connect, moduleOnCom3_silentCom1AndCom2AreTriedAndClosed) {
    ModSim com1({"--module", "first", "--silent"});
    ModSim com2({"--module", "first", "--silent"});
    ModSim com3({"--module", "first"});
    SetPorts(com1.Path(), com2.Path(), com3.Path(), "");
    binding::DriverBinding binding;
    ASSERT_EQ(binding.Bind(kFirstLib, SONMIRA_OUT_DIR).code, binding::kBindOk);
    binding::DriverLease lease = binding.Acquire();

    const int64_t t0 = MonotonicNs();
    EXPECT_EQ(lease->Connect(), 0);
    EXPECT_GE((MonotonicNs() - t0) / 1e6, 2 * 500);  // two reply time-outs
    EXPECT_EQ(Hexes(com1.WaitRx(1)), (Frames{"5A 44 44 5A"}));
    EXPECT_EQ(Hexes(com2.WaitRx(1)), (Frames{"5A 44 44 5A"}));
    EXPECT_EQ(test_support::DescriptorsOn(com1.Path()), 0);
    EXPECT_EQ(test_support::DescriptorsOn(com2.Path()), 0);
    EXPECT_EQ(test_support::DescriptorsOn(com3.Path()), 1);

    // The link is up: the next operation skips the scan but still handshakes.
    EXPECT_EQ(lease->BeginRecording(1, 0), 0);
    EXPECT_EQ(Hexes(com3.WaitRx(2)), (Frames{"5A 44 44 5A", "5A 44 44 5A"}));
    EXPECT_EQ(com1.Rx().size(), 1u);
    EXPECT_EQ(com2.Rx().size(), 1u);
}

TEST(Connect, noPortAnswersWell_givesMinus1EvenForABadReplyOnTheLastPort) {
    ModSim bad({"--module", "second", "--wrong-reply"});
    SetPorts("", "/nonexistent/tty", "", bad.Path());
    binding::DriverBinding binding;
    ASSERT_EQ(binding.Bind(kSecondLib, SONMIRA_OUT_DIR).code, binding::kBindOk);
    binding::DriverLease lease = binding.Acquire();
    EXPECT_EQ(lease->Connect(), -1);
    EXPECT_EQ(lease->PulsePlay(5, 0x0102), -1);  // the link check connects, fails, stops
    EXPECT_EQ(Hexes(bad.WaitRx(2)), (Frames{"5A 44 00 03 1D", "5A 44 00 03 1D"}));
    EXPECT_EQ(test_support::DescriptorsOn(bad.Path()), 0);
    EXPECT_EQ(messages::DriverResultMessage(-1), "串口未打开！");
}

TEST(Connect, linkUpThenBadReply_minus7_andTheLinkStaysUp) {
    ModSim sim({"--module", "first", "--wrong-reply", "--fault-after", "1", "--fault-count", "1"});
    SetPorts(sim.Path());
    binding::DriverBinding binding;
    ASSERT_EQ(binding.Bind(kFirstLib, SONMIRA_OUT_DIR).code, binding::kBindOk);
    binding::DriverLease lease = binding.Acquire();
    ASSERT_EQ(lease->Connect(), 0);
    EXPECT_EQ(lease->BeginRecording(1, 0), -7);
    EXPECT_EQ(messages::DriverResultMessage(-7), "对不起，未连接编程器！");
    // -7 leaves the link up: the next call handshakes only.
    EXPECT_EQ(lease->BeginRecording(1, 0), 0);
    EXPECT_EQ(sim.WaitRx(3).size(), 3u);
}

TEST(Connect, linkUpThenModuleSilent_replyTimeOutPassesThrough_linkStaysUp) {
    ModSim sim({"--module", "second", "--silent", "--fault-after", "1"});
    SetPorts(sim.Path());
    binding::DriverBinding binding;
    ASSERT_EQ(binding.Bind(kSecondLib, SONMIRA_OUT_DIR).code, binding::kBindOk);
    binding::DriverLease lease = binding.Acquire();
    ASSERT_EQ(lease->Connect(), 0);
    const int64_t t0 = MonotonicNs();
    EXPECT_EQ(lease->BeginPlayback(0x0102), 1033);
    const double ms = (MonotonicNs() - t0) / 1e6;
    EXPECT_GE(ms, 500);
    EXPECT_LT(ms, 2 * 500);  // a second reply wait (a port scan) would take this long at least
    EXPECT_EQ(messages::DriverResultMessage(1033), "串口通信错误!");
    EXPECT_EQ(lease->BeginPlayback(0x0102), 1033);
    // No second port scan: one handshake per call.
    EXPECT_EQ(sim.WaitRx(3).size(), 3u);
}

TEST(Connect, moduleHangsUp_laterWritesFailWithAPositiveCode) {
    ModSim sim({"--module", "first", "--hangup-after", "2"});
    SetPorts(sim.Path());
    binding::DriverBinding binding;
    ASSERT_EQ(binding.Bind(kFirstLib, SONMIRA_OUT_DIR).code, binding::kBindOk);
    binding::DriverLease lease = binding.Acquire();
    ASSERT_EQ(lease->Connect(), 0);
    EXPECT_GT(lease->BeginRecording(1, 0), 0);
    EXPECT_GT(lease->RecordSegment(0x10, 0x20, 1), 0);
    EXPECT_GT(lease->EndRecording(), 0);
}

TEST(Connect, twoDriverLibrariesKeepTheirOwnLinkState) {
    ModSim sim({"--module", "first"});
    SetPorts(sim.Path());
    binding::DriverBinding first, second;
    ASSERT_EQ(first.Bind(kFirstLib, SONMIRA_OUT_DIR).code, binding::kBindOk);
    ASSERT_EQ(second.Bind(kSecondLib, SONMIRA_OUT_DIR).code, binding::kBindOk);
    binding::DriverLease a = first.Acquire();
    binding::DriverLease b = second.Acquire();
    ASSERT_EQ(a->Connect(), 0);
    // The second library's link is down: it scans, and the one port is held by
    // the first (one Sertra per process). Had it shared the first's flag, it
    // would have sent its handshake on the first's port.
    EXPECT_EQ(b->BeginPlayback(0x0102), -1);
    EXPECT_EQ(Hexes(sim.RxSettled(1)), (Frames{"5A 44 44 5A"}));
    EXPECT_EQ(a->BeginPlayback(0), 0);
}
