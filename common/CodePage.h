#pragma once

#include "Bytes.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// A single-byte code page in which all 256 bytes map to distinct code points:
// a byte the code page leaves undefined maps to the C1 control of the same
// value, so any byte string round-trips through Unicode unchanged.
class CodePage {
public:
    static const CodePage& cp1251();
    static const CodePage& cp1252();
    // "cp1251"/"cp1252" (also "windows-1251", case-insensitive); nullptr if unknown.
    static const CodePage* byName(std::string_view name);

    const std::string& name() const { return name_; }
    char32_t toUnicode(unsigned char byte) const { return toUnicode_[byte]; }
    // The byte for a code point, or nothing when the code page cannot hold it.
    std::optional<unsigned char> fromUnicode(char32_t cp) const;

    std::string decodeToUtf8(BytesView bytes) const;
    std::u16string decodeToUtf16(BytesView bytes) const;
    // Encodes; on a character the code page lacks returns nothing and, if
    // asked, gives that character.
    std::optional<Bytes> encodeUtf8(std::string_view utf8, char32_t* missing = nullptr) const;
    std::optional<Bytes> encodeUtf16(std::u16string_view text, char32_t* missing = nullptr) const;

    // Lower case by the code page's own table (Latin and Cyrillic letters).
    unsigned char toLower(unsigned char byte) const { return lower_[byte]; }
    Bytes toLower(BytesView bytes) const;

private:
    CodePage(std::string name, const std::array<char16_t, 128>& upperHalf);
    std::string name_;
    std::array<char32_t, 256> toUnicode_{};
    std::array<unsigned char, 256> lower_{};
    std::array<std::pair<char32_t, unsigned char>, 128> reverse_{}; // sorted by code point
};

// Appends a code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);
