#pragma once

#include <cstdint>
#include <string>

// A file opened for reading with exact-size reads at given offsets. It reads
// what is in the file now: nothing is mapped, so another program changing the
// file later cannot change what was read.
class InputFile {
public:
    // Throws FileError("Cannot open file <path>") when the file cannot be opened.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& path() const { return path_; }
    std::uint64_t size() const { return size_; }
    // Reads exactly n bytes at offset; throws FileError if the file is shorter or a read fails.
    void readAt(std::uint64_t offset, void* buffer, std::uint64_t n);
    void close();

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};
