#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// How the child process is hobbled before it saves.
struct FaultLimits {
    // RLIMIT_FSIZE in bytes: a write past it fails with EFBIG (SIGXFSZ is
    // ignored), as on a disk that fills up at that point.
    std::optional<std::uint64_t> fileSizeLimit;
    // Drop to the user and group "nobody" (root only), for whom folders
    // owned by root with mode 0555 really are read-only.
    bool dropPrivileges = false;
};

// What the child reported.
struct FaultChildResult {
    int status = -1;     // exit status; 128 + signal when killed by one
    std::string message; // all the child wrote to its message pipe
};

// Exit status of a child that could not set up its limits.
constexpr int kFaultSetupFailed = 120;

// Runs body in a forked child under the limits; body gets the write end of
// a pipe for its message (also the child's standard error) and returns the
// child's exit status. It may exec another program instead.
FaultChildResult runFaultChild(const FaultLimits& limits, const std::function<int(int messageFd)>& body);

// Writes text to fd whole, retrying short writes.
void writeAll(int fd, const std::string& text);
