#pragma once

#include <stdexcept>
#include <string>

// A failure of the file layer; what() is the system's description naming the file.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "<what> "<path>": <strerror(err)>"
std::string describeFileError(const std::string& what, const std::string& path, int err);
