#pragma once

#include <stdexcept>
#include <string>

// A failure the program reports as one line on standard error, with exit
// status 1. The text names the file and, where it applies, the entry or line.
class CliError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
