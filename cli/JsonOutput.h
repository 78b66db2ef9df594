#pragma once

#include "Bytes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class CodePage;

// JSON text written straight into a large buffer and handed to a file
// descriptor in big blocks: a million entries are printed without building a
// tree of values. Strings are the file's bytes decoded by the code page, so
// every byte 0x00-0xFF comes out as its own code point.
class JsonOutput {
public:
    JsonOutput(int fd, const CodePage& page);

    void raw(std::string_view text);
    void number(std::uint64_t value);
    // A quoted JSON string of the bytes decoded by the code page.
    void string(BytesView bytes);
    // Writes what is left; throws CliError when the output cannot be written.
    void finish();

private:
    void flushIfFull();
    void flush();

    struct Escape {
        unsigned char size;
        char text[7];
    };
    int fd_;
    std::array<Escape, 256> escapes_{};
    std::array<bool, 256> plain_{}; // bytes that stand for themselves
    std::string buffer_;
};
