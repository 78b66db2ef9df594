// The texts a user types into the goto box and the duration box, and the
// duration texts made from file floats.
//  - Integer texts: parseInteger agrees with a plain reading of its grammar,
//    and goto finds exactly the rows of existing StrRefs.
//  - Duration texts: a text is accepted exactly when the duration check
//    accepts it, and only when it has the rule's form; an accepted value's
//    own text reads back to the same value.
//  - File floats (the first four bytes): every value's text has the rule's
//    form and reads back to the same value.

#include "FuzzCheck.h"
#include "NumberText.h"
#include "TlkFormat.h"
#include "TlkOperations.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Optional blanks, optional sign, decimal digits, or hexadecimal digits after
// "$", "x" or "0x"; nothing after; within 32 bits signed.
std::optional<std::int32_t> integerByGrammar(std::string_view t)
{
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    int base = 10;
    std::string_view rest = t.substr(i);
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
        base = 16;
        rest.remove_prefix(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        rest.remove_prefix(2);
    }
    if (rest.empty()) return std::nullopt;
    // Digits as a number of unlimited size, compared with the limits.
    std::string digits;
    for (char c : rest) {
        int d = isDigit(c) ? c - '0'
                : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                : -1;
        if (d < 0) return std::nullopt;
        if (!digits.empty() || d != 0) digits += char(d);
    }
    // Leading zeros dropped, more than 10 digits is beyond 32 bits in
    // either base; fewer fit a 64-bit sum.
    if (digits.size() > 10) return std::nullopt;
    std::int64_t v = 0;
    for (char d : digits) v = v * base + d;
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
    return std::int32_t(v);
}

// The duration rule's grammar: blanks, sign, digits with an optional
// separator and fraction (one digit at least), optional exponent, blanks.
bool durationGrammar(std::string_view t, char sep)
{
    std::size_t i = 0, n = t.size();
    while (i < n && t[i] == ' ') ++i;
    while (n > i && t[n - 1] == ' ') --n;
    t = t.substr(i, n - i);
    if (t == "NAN" || t == "INF" || t == "-INF") return true;
    std::size_t k = 0, digits = 0;
    if (k < t.size() && (t[k] == '+' || t[k] == '-')) ++k;
    while (k < t.size() && isDigit(t[k])) ++k, ++digits;
    if (k < t.size() && t[k] == sep) {
        ++k;
        while (k < t.size() && isDigit(t[k])) ++k, ++digits;
    }
    if (digits == 0) return false;
    if (k < t.size() && (t[k] == 'e' || t[k] == 'E')) {
        ++k;
        if (k < t.size() && (t[k] == '+' || t[k] == '-')) ++k;
        std::size_t expDigits = 0;
        while (k < t.size() && isDigit(t[k])) ++k, ++expDigits;
        if (expDigits == 0) return false;
    }
    return k == t.size();
}

// What the float-to-text direction makes: "NAN", "INF", "-INF", or a sign,
// at most 15 significant digits with no trailing fraction zeros, and an
// exponent only in exponent form.
bool durationOutputForm(const std::string& s, char sep)
{
    if (s == "NAN" || s == "INF" || s == "-INF" || s == "0") return true;
    std::string_view t = s;
    if (!t.empty() && t[0] == '-') t.remove_prefix(1);
    std::size_t e = t.find('E');
    std::string_view mantissa = t.substr(0, e);
    std::size_t dot = mantissa.find(sep);
    std::string digits;
    for (char c : mantissa)
        if (c != sep) {
            if (!isDigit(c)) return false;
            digits += c;
        }
    if (digits.empty()) return false;
    if (dot != std::string_view::npos && (dot + 1 == mantissa.size() || mantissa.back() == '0')) return false;
    std::size_t significant = digits.find_first_not_of('0');
    if (significant == std::string::npos) return false;
    std::size_t last = digits.find_last_not_of('0');
    if (last - significant + 1 > 15) return false;
    if (e == std::string_view::npos) return true;
    // Exponent form: one digit before the separator, then E, an optional
    // minus and the exponent without leading zeros.
    if (dot != std::string_view::npos && dot != 1) return false;
    if (mantissa[0] == '0') return false;
    std::string_view exponent = t.substr(e + 1);
    if (!exponent.empty() && exponent[0] == '-') exponent.remove_prefix(1);
    if (exponent.empty() || exponent[0] == '0') return false;
    for (char c : exponent)
        if (!isDigit(c)) return false;
    return true;
}

bool sameValue(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

void checkFloat(float f, char sep)
{
    const std::string text = floatToDurationText(f, sep);
    FUZZ_CHECK(durationOutputForm(text, sep));
    std::optional<float> back = durationTextToFloat(text, sep);
    FUZZ_CHECK(back && sameValue(*back, f));
    FUZZ_CHECK(!checkDuration(text, sep));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // Goto StrRef.
    const std::optional<std::int32_t> value = parseInteger(text);
    FUZZ_CHECK(value == integerByGrammar(text));
    for (std::uint32_t count : {0u, 1u, 1000u, tlk::kMaxEntries}) {
        TlkGotoResult go = gotoStrRef(text, count);
        if (!value) {
            FUZZ_CHECK(go.kind == TlkGotoResult::ConversionFailure);
            FUZZ_CHECK(go.message.find("'" + std::string(text) + "' is not a valid integer value") != std::string::npos);
        } else if (*value < 0 || std::uint32_t(*value) >= count) {
            FUZZ_CHECK(go.kind == TlkGotoResult::MissingStrRef);
        } else {
            FUZZ_CHECK(go.kind == TlkGotoResult::Found && go.row == *value + 1);
        }
    }

    // Duration texts, with either decimal separator.
    for (char sep : {'.', ','}) {
        std::optional<float> f = durationTextToFloat(text, sep);
        FUZZ_CHECK(bool(checkDuration(text, sep)) == (!text.empty() && !f));
        if (!f) continue;
        FUZZ_CHECK(durationGrammar(text, sep));
        checkFloat(*f, sep);
    }

    // File floats and integers from the first bytes.
    if (size >= 4) {
        std::uint32_t bits;
        std::memcpy(&bits, data, 4);
        for (char sep : {'.', ','}) checkFloat(tlk::bitsToFloat(bits), sep);
        std::int32_t n = std::int32_t(bits);
        FUZZ_CHECK(parseInteger(std::to_string(n)) == n);
        FUZZ_CHECK(parseInteger("  " + std::to_string(n)) == n);
    }
    return 0;
}
