#include "JsonOutput.h"

#include "CliError.h"
#include "CodePage.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <unistd.h>

namespace {

constexpr std::size_t kBlock = 1 << 20;

} // namespace

JsonOutput::JsonOutput(int fd, const CodePage& page)
    : fd_(fd)
{
    for (int b = 0; b < 256; ++b) {
        char32_t cp = page.toUnicode(static_cast<unsigned char>(b));
        std::string text;
        switch (cp) {
        case '"': text = "\\\""; break;
        case '\\': text = "\\\\"; break;
        case '\n': text = "\\n"; break;
        case '\r': text = "\\r"; break;
        case '\t': text = "\\t"; break;
        default:
            // Control characters, DEL and the C1 controls (the bytes a code
            // page leaves undefined) are escaped so the text stays readable.
            if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
                static const char hex[] = "0123456789abcdef";
                text = "\\u00";
                text += hex[cp >> 4];
                text += hex[cp & 0xF];
            } else {
                appendUtf8(text, cp);
            }
        }
        escapes_[b].size = static_cast<unsigned char>(text.size());
        std::memcpy(escapes_[b].text, text.data(), text.size());
        plain_[b] = text.size() == 1 && static_cast<unsigned char>(text[0]) == b;
    }
    buffer_.reserve(kBlock + kBlock / 4);
}

void JsonOutput::raw(std::string_view text)
{
    buffer_.append(text);
    flushIfFull();
}

void JsonOutput::number(std::uint64_t value)
{
    char digits[24];
    auto r = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, r.ptr);
}

void JsonOutput::string(BytesView bytes)
{
    buffer_ += '"';
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* run = p;
        while (p < end && plain_[static_cast<unsigned char>(*p)]) ++p;
        buffer_.append(run, p);
        if (p == end) break;
        const Escape& e = escapes_[static_cast<unsigned char>(*p++)];
        buffer_.append(e.text, e.size);
        if (buffer_.size() >= kBlock) flush();
    }
    buffer_ += '"';
    flushIfFull();
}

void JsonOutput::flushIfFull()
{
    if (buffer_.size() >= kBlock) flush();
}

void JsonOutput::flush()
{
    const char* p = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        ssize_t n = ::write(fd_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw CliError(std::string("cannot write the output: ") + std::strerror(errno));
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

void JsonOutput::finish()
{
    flush();
}
