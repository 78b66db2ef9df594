#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Writes a file so that the target is replaced only once every byte has been
// written: the bytes go to a temporary file in the target's folder, which is
// renamed over the target by commit(). A writer destroyed without commit()
// removes its temporary file and leaves the target as it was.
class AtomicFileWriter {
public:
    // Throws FileError when the temporary file cannot be created, or when
    // the target exists but may not be written (it is then never replaced).
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(const void* data, std::size_t n);
    void write(std::string_view s) { write(s.data(), s.size()); }
    // Flushes, syncs and renames over the target. Throws FileError on any failure.
    void commit();
    const std::string& path() const { return path_; }

private:
    void flush();
    void writeOut(const char* data, std::size_t n);
    void fail(const char* what, int err);

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t writebackStart_ = 0; // first byte whose disk writing has not been started
};
