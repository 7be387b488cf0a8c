// One driver, bound the way the program binds it, talking to one simulator on COM1.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "binding/driver_binding.h"
#include "modsim_harness.h"

namespace modsim_test {

inline const char* const kFirstLib = "libsonmiradrv.so";
inline const char* const kSecondLib = "libsonveltdrv.so";

struct Rig {
    Rig(const std::string& lib, std::vector<std::string> simArgs) : sim(std::move(simArgs)) {
        SetPorts(sim.Path());
        bind = binding.Bind(lib, SONMIRA_OUT_DIR);
        lease = binding.Acquire();
        dev = lease.driver();
    }
    ~Rig() { lease = binding::DriverLease(); }

    // Runs one call and gives its result and how long it took; startNs is
    // when it began.
    template <typename F>
    int32_t Timed(F f, double& ms) {
        startNs = MonotonicNs();
        const int32_t rc = f();
        ms = (MonotonicNs() - startNs) / 1e6;
        return rc;
    }
    int64_t startNs = 0;

    ModSim sim;
    binding::DriverBinding binding;
    binding::BindResult bind;
    binding::DriverLease lease;
    IDevInter* dev = nullptr;
};

// A rig for the "first" or "second" module with its own driver bound and ready
// to call; `faults` are more simulator options.
inline std::unique_ptr<Rig> ModuleRig(const std::string& module, const std::vector<std::string>& faults) {
    std::vector<std::string> args{"--module", module};
    args.insert(args.end(), faults.begin(), faults.end());
    auto rig = std::make_unique<Rig>(module == "first" ? kFirstLib : kSecondLib, args);
    EXPECT_EQ(rig->bind.code, binding::kBindOk) << rig->bind.detail;
    EXPECT_NE(rig->dev, nullptr);
    return rig;
}

}  // namespace modsim_test
