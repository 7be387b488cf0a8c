#include "private_sound_server.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "load_margins.h"

namespace test_support {
namespace {

bool Accepts(const std::string& socketPath) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

}  // namespace

PrivateSoundServer::~PrivateSoundServer() { Stop(); }

bool PrivateSoundServer::Start(const std::vector<std::string>& sinks, std::string* error) {
    char tmpl[] = "/tmp/sonmira-pulse-XXXXXX";
    if (!mkdtemp(tmpl)) {
        *error = "mkdtemp failed";
        return false;
    }
    dir_ = tmpl;
    const std::string socketPath = dir_ + "/native";
    {
        std::ofstream script(dir_ + "/server.pa");
        script << "load-module module-native-protocol-unix socket=" << socketPath << " auth-anonymous=1\n";
        for (const auto& s : sinks) script << "load-module module-null-sink sink_name=" << s << "\n";
    }
    const std::string logPath = dir_ + "/server.log";
    pid_ = fork();
    if (pid_ < 0) {
        *error = "fork failed";
        return false;
    }
    if (pid_ == 0) {
        // Everything the server keeps goes into the folder: nothing of the machine's own.
        setenv("HOME", dir_.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", (dir_ + "/runtime").c_str(), 1);
        setenv("PULSE_STATE_PATH", (dir_ + "/state").c_str(), 1);
        unsetenv("PULSE_SERVER");
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        const std::string script = dir_ + "/server.pa";
        const std::string logTarget = "--log-target=file:" + logPath;
        execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
               "--disallow-module-loading=no", logTarget.c_str(), "-F", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!Accepts(socketPath)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            *error = "pulseaudio ended at start (is it installed?); its log: " + logPath;
            return false;
        }
        if (std::chrono::steady_clock::now() > until) {
            *error = "pulseaudio did not come up; its log: " + logPath;
            Stop();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    address_ = "unix:" + socketPath;
    if (const char* old = getenv("PULSE_SERVER")) {
        hadServer_ = true;
        oldServer_ = old;
    }
    setenv("PULSE_SERVER", address_.c_str(), 1);
    return true;
}

void PrivateSoundServer::Stop() {
    if (!address_.empty()) {
        if (hadServer_)
            setenv("PULSE_SERVER", oldServer_.c_str(), 1);
        else
            unsetenv("PULSE_SERVER");
        address_.clear();
    }
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        dir_.clear();
    }
}

}  // namespace test_support
