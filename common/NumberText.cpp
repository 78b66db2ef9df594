#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string floatToDurationText(float value, char sep)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // to_chars gives the same correctly rounded digits as printf's "%.14e"
    // at a fraction of the cost, which counts when every duration of a large
    // table is shown.
    char buf[64];
    *std::to_chars(buf, buf + sizeof buf - 1, static_cast<double>(value), std::chars_format::scientific, 14).ptr = '\0';
    // buf: [-]d.dddddddddddddde[+-]xx
    const char* p = buf;
    std::string out;
    if (*p == '-') {
        out += '-';
        ++p;
    }
    std::string digits;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (exponent >= 15 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += sep;
            out.append(digits, 1);
        }
        out += 'E';
        if (exponent < 0) out += '-';
        out += std::to_string(std::abs(exponent));
    } else if (exponent >= 0) {
        size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, intDigits);
            out += sep;
            out.append(digits, intDigits);
        }
    } else {
        out += '0';
        out += sep;
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    }
    return out;
}

std::optional<float> durationTextToFloat(std::string_view text, char sep)
{
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    std::string_view body = text.substr(i, n - i);
    if (body == "NAN") return std::nanf("");
    if (body == "INF") return HUGE_VALF;
    if (body == "-INF") return -HUGE_VALF;

    std::string normal;
    size_t k = 0;
    if (k < body.size() && (body[k] == '+' || body[k] == '-')) normal += body[k++];
    size_t digitCount = 0;
    long long leadPower = 0; // decimal exponent of the first non-zero digit, before the exponent part
    bool seenNonZero = false, inFraction = false;
    long long intDigits = 0, fracZeros = 0;
    for (; k < body.size(); ++k) {
        char c = body[k];
        if (c >= '0' && c <= '9') {
            ++digitCount;
            if (!inFraction) ++intDigits;
            if (c != '0' && !seenNonZero) {
                seenNonZero = true;
                leadPower = inFraction ? -(fracZeros + 1) : 0;
            }
            if (inFraction && !seenNonZero) ++fracZeros;
            if (seenNonZero && !inFraction) ++leadPower;
            normal += c;
        } else if (c == sep && !inFraction) {
            inFraction = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (digitCount == 0) return std::nullopt;
    long long exp = 0;
    if (k < body.size() && (body[k] == 'e' || body[k] == 'E')) {
        ++k;
        bool neg = false;
        if (k < body.size() && (body[k] == '+' || body[k] == '-')) neg = body[k++] == '-';
        size_t expDigits = 0;
        for (; k < body.size() && body[k] >= '0' && body[k] <= '9'; ++k, ++expDigits)
            if (exp < 1000000) exp = exp * 10 + (body[k] - '0');
        if (expDigits == 0) return std::nullopt;
        if (neg) exp = -exp;
    }
    if (k != body.size()) return std::nullopt;
    if (!seenNonZero) return normal[0] == '-' ? -0.0f : 0.0f;

    // The value's magnitude is about 10^(leadPower - 1 + exp); the extended
    // range of the conversion ends near 1.19E4932.
    long long magnitude = leadPower - 1 + exp;
    if (magnitude > 4932) return std::nullopt;
    if (magnitude < -4960) return normal[0] == '-' ? -0.0f : 0.0f;
    normal += 'e';
    normal += std::to_string(exp);
    long double value = std::strtold(normal.c_str(), nullptr);
    if (std::isinf(value)) return std::nullopt;
    return static_cast<float>(value);
}

std::optional<std::int32_t> parseInteger(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        value = value * base + d;
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 2147483647LL || value < -2147483648LL) return std::nullopt;
    return static_cast<std::int32_t>(value);
}
