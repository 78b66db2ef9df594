#include "AtomicFileWriter.h"
#include "FileError.h"
#include "InputFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string describeFileError(const std::string& what, const std::string& path, int err)
{
    return what + " \"" + path + "\": " + std::strerror(err);
}

InputFile::InputFile(const std::string& path)
    : path_(path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        close();
        throw FileError("Cannot open file " + path);
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

InputFile::~InputFile() { close(); }

void InputFile::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void InputFile::readAt(std::uint64_t offset, void* buffer, std::uint64_t n)
{
    char* p = static_cast<char*>(buffer);
    while (n > 0) {
        std::size_t chunk = n > (1u << 30) ? (1u << 30) : static_cast<std::size_t>(n);
        ssize_t got = ::pread(fd_, p, chunk, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw FileError(describeFileError("Cannot read file", path_, errno));
        if (got == 0) throw FileError("Unexpected end of file " + path_);
        p += got;
        offset += static_cast<std::uint64_t>(got);
        n -= static_cast<std::uint64_t>(got);
    }
}

AtomicFileWriter::AtomicFileWriter(std::string path)
    : path_(std::move(path))
{
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        throw FileError(describeFileError("Cannot create file", path_, EISDIR));
    // Renaming over the target would replace a file that may not be written
    // (read-only, say); such a file counts as one that cannot be created.
    int probe = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (probe >= 0)
        ::close(probe);
    else if (errno != ENOENT)
        throw FileError(describeFileError("Cannot create file", path_, errno));
    tempPath_ = path_ + ".~XXXXXX";
    fd_ = ::mkostemp(tempPath_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        int err = errno;
        tempPath_.clear();
        throw FileError(describeFileError("Cannot create file", path_, err));
    }
    // The new file gets the old one's permissions, or the usual ones for a new file.
    mode_t mode;
    if (::stat(path_.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
    buffer_.resize(1 << 20);
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (fd_ >= 0) ::close(fd_);
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
}

void AtomicFileWriter::fail(const char* what, int err)
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
    throw FileError(describeFileError(what, path_, err));
}

void AtomicFileWriter::writeOut(const char* p, std::size_t n)
{
    while (n > 0) {
        ssize_t put = ::write(fd_, p, n);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) fail("Cannot write file", put < 0 ? errno : ENOSPC);
        p += put;
        n -= static_cast<std::size_t>(put);
        written_ += static_cast<std::uint64_t>(put);
    }
    // Starts the disk writing of what has piled up, so that the sync at the
    // end waits for the last few megabytes only, not for the whole file.
    constexpr std::uint64_t kWritebackStep = 8u << 20;
    if (written_ - writebackStart_ >= kWritebackStep) {
        ::sync_file_range(fd_, off64_t(writebackStart_), off64_t(written_ - writebackStart_), SYNC_FILE_RANGE_WRITE);
        writebackStart_ = written_;
    }
}

void AtomicFileWriter::flush()
{
    writeOut(buffer_.data(), used_);
    used_ = 0;
}

void AtomicFileWriter::write(const void* data, std::size_t n)
{
    if (fd_ < 0) throw FileError(describeFileError("Cannot write file", path_, EBADF));
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        if (used_ == 0 && n >= buffer_.size()) {
            // Large blocks go straight to the file.
            writeOut(p, n);
            return;
        }
        std::size_t room = buffer_.size() - used_;
        std::size_t take = n < room ? n : room;
        std::memcpy(buffer_.data() + used_, p, take);
        used_ += take;
        p += take;
        n -= take;
        if (used_ == buffer_.size()) flush();
    }
}

void AtomicFileWriter::commit()
{
    if (fd_ < 0) throw FileError(describeFileError("Cannot write file", path_, EBADF));
    flush();
    if (::fsync(fd_) != 0) fail("Cannot write file", errno);
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail("Cannot write file", errno);
    }
    fd_ = -1;
    if (::rename(tempPath_.c_str(), path_.c_str()) != 0) fail("Cannot replace file", errno);
    tempPath_.clear();
}
