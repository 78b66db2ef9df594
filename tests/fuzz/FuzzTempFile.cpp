#include "FuzzTempFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string scratchRoot()
{
    struct stat st {};
    if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

} // namespace

FuzzTempFile::FuzzTempFile(const std::string& name)
{
    std::string pattern = scratchRoot() + "/qm-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    folder_ = pattern;
    path_ = folder_ + "/" + name;
}

FuzzTempFile::~FuzzTempFile()
{
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

void FuzzTempFile::write(BytesView bytes) const
{
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write the scratch file %s\n", path_.c_str());
        std::abort();
    }
}

Bytes FuzzTempFile::read() const
{
    std::ifstream in(path_, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void FuzzTempFile::remove() const { ::unlink(path_.c_str()); }
