// Binding a driver library: finding it, the failures told to the user,
// unbinding before rebinding, and the lease that keeps threads apart.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "binding/driver_binding.h"
#include "modsim_harness.h"
#include "test_files.h"

using namespace modsim_test;

namespace {

const std::string kOut = SONMIRA_OUT_DIR;
const std::string kTestLibs = SONMIRA_TEST_LIB_DIR;

}  // namespace

TEST(DriverBinding, emptyFileName_bindsNothingAndSaysNothing) {
    binding::DriverBinding b;
    const binding::BindResult r = b.Bind("", kOut);
    EXPECT_EQ(r.code, binding::kBindNoFile);
    EXPECT_EQ(r.message, "");
    EXPECT_FALSE(b.IsBound());
    EXPECT_EQ(b.Acquire().driver(), nullptr);
}

TEST(DriverBinding, unusableLibraries_toldAsNameFollowedByNotFound_andUnbindTheOld) {
    binding::DriverBinding b;
    ASSERT_EQ(b.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);

    binding::BindResult r = b.Bind("NoSuchDrv.dll", kOut);
    EXPECT_EQ(r.code, binding::kBindNotFound);
    EXPECT_EQ(r.message, "NoSuchDrv.dll文件没有找到！");
    EXPECT_EQ(r.caption, "信息提示");
    EXPECT_EQ(r.detail, "NoSuchDrv.dll: cannot open shared object file: No such file or directory");
    EXPECT_FALSE(b.IsBound());

    r = b.Bind("libdrvtest_nofactory.so", kTestLibs);
    EXPECT_EQ(r.code, binding::kBindNoFactory);
    EXPECT_EQ(r.message, "libdrvtest_nofactory.so文件没有找到！");
    EXPECT_EQ(r.caption, "信息提示");
    EXPECT_EQ(r.detail, kTestLibs + "/libdrvtest_nofactory.so: undefined symbol: CreateObj");
    EXPECT_FALSE(b.IsBound());

    const std::string nullObject = kTestLibs + "/libdrvtest_nullobject.so";
    r = b.Bind(nullObject, "/nonexistent");
    EXPECT_EQ(r.code, binding::kBindNoObject);
    EXPECT_EQ(r.message, nullObject + "文件没有找到！");
    EXPECT_EQ(r.detail, "CreateObj gave no object");
    EXPECT_FALSE(b.IsBound());
    EXPECT_EQ(b.Acquire().driver(), nullptr);
}

TEST(DriverBinding, damagedFiles_refusedWithTheReason_beforeTheLoaderMapsThem) {
    // The loader would map a cut library's segments past the file's end and
    // die of SIGBUS touching them.
    test_support::TempDir d;
    test_support::WriteBytes(d / "libcut.so", test_support::ReadBytes(kOut + "/libsonmiradrv.so").substr(0, 3000));
    test_support::WriteBytes(d / "libtext.so", "not a library\n");
    binding::DriverBinding b;
    binding::BindResult r = b.Bind(d / "libcut.so", "/nonexistent");
    EXPECT_EQ(r.code, binding::kBindNotFound);
    EXPECT_EQ(r.message, d / "libcut.so文件没有找到！");
    EXPECT_EQ(r.detail, d / "libcut.so: cut short: a loadable segment lies past the file's end (3000 bytes)");
    r = b.Bind("libtext.so", d.path());  // beside the program
    EXPECT_EQ(r.code, binding::kBindNotFound);
    EXPECT_EQ(r.message, "libtext.so文件没有找到！");
    EXPECT_EQ(r.detail, d / "libtext.so: not an ELF file");
    EXPECT_FALSE(b.IsBound());
}

TEST(DriverBinding, bareName_foundBesideTheProgramOrByTheLoadersSearch) {
    binding::DriverBinding b;
    EXPECT_EQ(b.Bind("libsonveltdrv.so", kOut).code, binding::kBindOk);
    EXPECT_TRUE(b.IsBound());
    EXPECT_NE(b.Acquire().driver(), nullptr);
    // SONMIRA_HOME elsewhere: the executable's own folder (where this test
    // lies beside the drivers) still finds a bare name.
    EXPECT_EQ(b.Bind("libsonmiradrv.so", "/nonexistent").code, binding::kBindOk);
    // Not beside the program: the loader's own search finds a system library
    // (which is then refused for lacking CreateObj).
    EXPECT_EQ(b.Bind("libm.so.6", "/nonexistent").code, binding::kBindNoFactory);
}

TEST(DriverBinding, rebindingAndTheEnd_closeTheOldDriversPort) {
    // Keep the serial library loaded throughout, so only the driver object's
    // destruction can close the port.
    void* sertra = dlopen((kOut + "/libsertra.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(sertra, nullptr);
    ModSim sim({"--module", "first"});
    SetPorts(sim.Path());
    {
        binding::DriverBinding b;
        ASSERT_EQ(b.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
        ASSERT_EQ(b.Acquire()->Connect(), 0);
        EXPECT_EQ(test_support::DescriptorsOn(sim.Path()), 1);

        ASSERT_EQ(b.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
        EXPECT_EQ(test_support::DescriptorsOn(sim.Path()), 0);
        EXPECT_EQ(b.Acquire()->BeginRecording(1, 0), 0);  // the new driver opens the same port
        EXPECT_EQ(test_support::DescriptorsOn(sim.Path()), 1);

        ASSERT_EQ(b.Bind("libsonveltdrv.so", kOut).code, binding::kBindOk);
        EXPECT_EQ(test_support::DescriptorsOn(sim.Path()), 0);
        ASSERT_EQ(b.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
        EXPECT_EQ(b.Acquire()->BeginRecording(1, 0), 0);
    }
    EXPECT_EQ(test_support::DescriptorsOn(sim.Path()), 0);  // program end
    dlclose(sertra);
}

TEST(DriverBinding, lease_keepsOtherThreadsOut_untilReturned) {
    binding::DriverBinding b;
    ASSERT_EQ(b.Bind("libsonmiradrv.so", kOut).code, binding::kBindOk);
    binding::DriverLease worker = b.Acquire();
    ASSERT_TRUE(worker);

    std::atomic<bool> gotIt{true};
    double waitedMs = 0;
    std::thread ui([&] {
        const int64_t t0 = MonotonicNs();
        gotIt = static_cast<bool>(b.TryAcquire(std::chrono::milliseconds(150)));
        waitedMs = (MonotonicNs() - t0) / 1e6;
    });
    ui.join();
    EXPECT_FALSE(gotIt);
    EXPECT_GE(waitedMs, 150);
    EXPECT_TRUE(b.IsBound());  // asking does not wait

    // Rebinding waits for the worker's lease too.
    std::atomic<bool> rebound{false};
    std::thread rebind([&] {
        b.Bind("libsonveltdrv.so", kOut);
        rebound = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(rebound);
    worker = binding::DriverLease();
    rebind.join();
    EXPECT_TRUE(rebound);
    binding::DriverLease lease = b.TryAcquire(std::chrono::milliseconds(150));
    EXPECT_TRUE(lease);
    EXPECT_NE(lease.driver(), nullptr);
}
