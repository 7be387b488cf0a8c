#include "as_nobody.h"

#include <errno.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace test_support {

namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

CommandResult RunAsNobody(const std::function<int()>& body) {
    CommandResult r;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return r;
    std::fflush(nullptr);  // nothing buffered here may come out twice
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        if (in < 0 || dup2(in, 0) < 0 || dup2(out[1], 1) < 0 || dup2(out[1], 2) < 0) _exit(126);
        // Groups first: once the user is nobody, nothing may be changed.
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(126);
        const int status = body();
        std::fflush(nullptr);
        _exit(status);  // the parent's exit handlers are not the child's
    }
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        return r;
    }
    char buf[4096];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) r.out.append(buf, static_cast<size_t>(n));
    close(out[0]);
    int st = 0;
    while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {}
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

int GroupId(const std::string& name) {
    const group* g = getgrnam(name.c_str());
    return g == nullptr ? -1 : static_cast<int>(g->gr_gid);
}

}  // namespace test_support
