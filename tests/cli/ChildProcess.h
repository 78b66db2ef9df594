#pragma once

#include <string>
#include <vector>

// How a child process ended and what it cost.
struct ChildResult {
    int status = -1;        // exit status; 128 + signal when killed by one
    double seconds = 0;     // wall-clock time from start to end
    double cpuSeconds = 0;  // user and system time of the child
    long maxRssKiB = 0;     // peak resident memory of the child
};

// Runs program with args and waits for it. Its standard input is /dev/null;
// its standard output and error go to the files named (created or emptied),
// or to /dev/null when a name is empty.
ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& stdoutPath = {}, const std::string& stderrPath = {});
