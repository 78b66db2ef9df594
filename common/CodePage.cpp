#include "CodePage.h"

#include <algorithm>
#include <cctype>

namespace {

// Bytes 0x80..0xFF. Zero marks a byte the code page leaves undefined.
constexpr std::array<char16_t, 128> kCp1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr std::array<char16_t, 128> makeCp1252()
{
    std::array<char16_t, 128> t{
        0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000,
        0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178,
    };
    for (int i = 0x20; i < 0x80; ++i)
        t[i] = char16_t(0x80 + i);
    return t;
}
constexpr std::array<char16_t, 128> kCp1252 = makeCp1252();

// Unicode lower case for the letters these code pages hold.
char32_t unicodeLower(char32_t c)
{
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
    switch (c) {
    case 0x0152: return 0x0153;
    case 0x0160: return 0x0161;
    case 0x017D: return 0x017E;
    case 0x0178: return 0x00FF;
    case 0x0490: return 0x0491;
    default: return c;
    }
}

} // namespace

CodePage::CodePage(std::string name, const std::array<char16_t, 128>& upperHalf)
    : name_(std::move(name))
{
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80)
            toUnicode_[b] = char32_t(b);
        else
            toUnicode_[b] = upperHalf[b - 0x80] ? char32_t(upperHalf[b - 0x80]) : char32_t(b);
    }
    for (int b = 0x80; b < 256; ++b)
        reverse_[b - 0x80] = {toUnicode_[b], static_cast<unsigned char>(b)};
    std::sort(reverse_.begin(), reverse_.end());
    for (int b = 0; b < 256; ++b) {
        lower_[b] = static_cast<unsigned char>(b);
        if (auto lb = fromUnicode(unicodeLower(toUnicode_[b])))
            lower_[b] = *lb;
    }
}

const CodePage& CodePage::cp1251()
{
    static const CodePage page("cp1251", kCp1251);
    return page;
}

const CodePage& CodePage::cp1252()
{
    static const CodePage page("cp1252", kCp1252);
    return page;
}

const CodePage* CodePage::byName(std::string_view name)
{
    std::string n(name);
    std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (n == "cp1251" || n == "windows-1251") return &cp1251();
    if (n == "cp1252" || n == "windows-1252") return &cp1252();
    return nullptr;
}

std::optional<unsigned char> CodePage::fromUnicode(char32_t cp) const
{
    if (cp < 0x80) return static_cast<unsigned char>(cp);
    auto it = std::lower_bound(reverse_.begin(), reverse_.end(), std::pair<char32_t, unsigned char>(cp, 0));
    if (it != reverse_.end() && it->first == cp) return it->second;
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::string CodePage::decodeToUtf8(BytesView bytes) const
{
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes)
        appendUtf8(out, toUnicode_[b]);
    return out;
}

std::u16string CodePage::decodeToUtf16(BytesView bytes) const
{
    std::u16string out(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = char16_t(toUnicode_[static_cast<unsigned char>(bytes[i])]);
    return out;
}

std::optional<Bytes> CodePage::encodeUtf8(std::string_view s, char32_t* missing) const
{
    // Never longer than the UTF-8; filled by index, since appending byte by
    // byte was a fifth of the time of reading a large JSON file.
    Bytes out(s.size(), '\0');
    size_t n = 0;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else { if (missing) *missing = 0xFFFD; return std::nullopt; }
        if (extra && i + extra >= s.size()) {
            if (missing) *missing = 0xFFFD;
            return std::nullopt;
        }
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) { if (missing) *missing = 0xFFFD; return std::nullopt; }
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += 1 + extra;
        auto b = fromUnicode(cp);
        if (!b) { if (missing) *missing = cp; return std::nullopt; }
        out[n++] = char(*b);
    }
    out.resize(n);
    return out;
}

std::optional<Bytes> CodePage::encodeUtf16(std::u16string_view s, char32_t* missing) const
{
    Bytes out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        auto b = fromUnicode(cp);
        if (!b) { if (missing) *missing = cp; return std::nullopt; }
        out += char(*b);
    }
    return out;
}

Bytes CodePage::toLower(BytesView bytes) const
{
    Bytes out(bytes);
    for (char& c : out)
        c = char(lower_[static_cast<unsigned char>(c)]);
    return out;
}
