#pragma once

#include <stdexcept>
#include <string>

// Raised when a value cannot be written: "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A small ini file: "[section]" lines, then "key=value" lines. Section and
// key names match without regard to case. Every read looks at the file as it
// is now; every write reaches the disk at once, keeping the other lines as
// they are. Creating the object does not touch the disk.
class IniFile {
public:
    static constexpr std::size_t kMaxValue = 2047; // longer values are cut to this

    explicit IniFile(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    // The value, or def when the file, the section or the key is missing.
    std::string readString(const std::string& section, const std::string& key, const std::string& def) const;
    // Throws IniWriteError when the file cannot be written.
    void writeString(const std::string& section, const std::string& key, const std::string& value);

private:
    std::string path_;
};
