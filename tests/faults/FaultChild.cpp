#include "FaultChild.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

bool applyLimits(const FaultLimits& limits)
{
    if (limits.fileSizeLimit) {
        // Ignored, the signal lets write() fail with EFBIG as a full disk
        // fails with ENOSPC, instead of killing the process.
        if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) return false;
        struct rlimit rl {};
        rl.rlim_cur = rl.rlim_max = static_cast<rlim_t>(*limits.fileSizeLimit);
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) return false;
    }
    if (limits.dropPrivileges) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return false;
        if (::geteuid() == 0) return false;
    }
    return true;
}

} // namespace

void writeAll(int fd, const std::string& text)
{
    const char* p = text.data();
    std::size_t n = text.size();
    while (n > 0) {
        ssize_t put = ::write(fd, p, n);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return;
        p += put;
        n -= static_cast<std::size_t>(put);
    }
}

FaultChildResult runFaultChild(const FaultLimits& limits, const std::function<int(int messageFd)>& body)
{
    FaultChildResult result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return result;
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return result;
    }
    if (pid == 0) {
        ::close(fds[0]);
        ::dup2(fds[1], STDERR_FILENO);
        if (!applyLimits(limits)) {
            writeAll(fds[1], "cannot set up the fault");
            _exit(kFaultSetupFailed);
        }
        // _exit: no destructors or exit handlers of the test program run twice.
        _exit(body(fds[1]));
    }
    ::close(fds[1]);
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        result.message.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}
