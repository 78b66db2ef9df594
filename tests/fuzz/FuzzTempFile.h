#pragma once

#include "Bytes.h"

#include <string>

// One scratch file per process for the readers and writers that work on a
// path. It lives in a fresh folder in /dev/shm when there is one, so that the
// sync of each save costs little. The folder goes when the object is
// destroyed (at the end of the replay program); libFuzzer ends its runs
// without destroying static objects, so its runs leave a small
// /dev/shm/qm-fuzz-* folder behind.
class FuzzTempFile {
public:
    // A fresh folder holding nothing yet; path() names a file in it.
    explicit FuzzTempFile(const std::string& name);
    ~FuzzTempFile();
    FuzzTempFile(const FuzzTempFile&) = delete;
    FuzzTempFile& operator=(const FuzzTempFile&) = delete;

    const std::string& path() const { return path_; }
    const std::string& folder() const { return folder_; }
    // Replaces the file's contents; aborts if that fails (the target could
    // not test anything then).
    void write(BytesView bytes) const;
    Bytes read() const;
    void remove() const;

private:
    std::string folder_;
    std::string path_;
};
