// A PulseAudio server of the test's own, with null sinks as the wires between
// the computer and the module: started in a temporary folder, never the
// machine's own server, and stopped (with its folder removed) at the end.
// While it runs, PULSE_SERVER in this process names it, so every child
// (sonmira-cli, sonmira-modsim) and this process's own GStreamer use it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace test_support {

class PrivateSoundServer {
public:
    PrivateSoundServer() = default;
    ~PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    // One null sink per name (its monitor is the source "NAME.monitor").
    // false with *error when the server does not come up.
    bool Start(const std::vector<std::string>& sinks, std::string* error);
    void Stop();

    const std::string& Address() const { return address_; }  // unix:/.../native

private:
    pid_t pid_ = -1;
    std::string dir_;
    std::string address_;
    std::string oldServer_;
    bool hadServer_ = false;
};

}  // namespace test_support
