#include "ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void redirect(const std::string& path, int fd, int flags)
{
    int from = ::open(path.empty() ? "/dev/null" : path.c_str(), flags, 0644);
    if (from < 0 || ::dup2(from, fd) < 0) _exit(126);
    ::close(from);
}

} // namespace

ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& stdoutPath, const std::string& stderrPath)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    ChildResult result;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid < 0) return result;
    if (pid == 0) {
        redirect({}, STDIN_FILENO, O_RDONLY);
        redirect(stdoutPath, STDOUT_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
        redirect(stderrPath, STDERR_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
        ::execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR) return result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.maxRssKiB = usage.ru_maxrss;
    auto toSeconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    result.cpuSeconds = toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}
