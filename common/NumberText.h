#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Duration text rule, float to text: at most 15 significant digits, trailing
// zeros removed, exponent form ("1.5E-5", "1E20") when more than 15 integer
// digits or a magnitude below 0.0001; "NAN", "INF" and "-INF" for values that
// are not finite.
std::string floatToDurationText(float value, char decimalSeparator);

// Duration text rule, text to float: optional blanks, sign, digits with an
// optional fraction after decimalSeparator (at least one digit), optional
// exponent, optional blanks, nothing else; rounded to single precision. Also
// takes back the "NAN", "INF" and "-INF" that the other direction makes.
std::optional<float> durationTextToFloat(std::string_view text, char decimalSeparator);

// Integer text as the StrRef boxes take it: optional leading blanks, optional
// sign, decimal digits or hexadecimal after "$", "x" or "0x", nothing after,
// within a signed 32-bit integer.
std::optional<std::int32_t> parseInteger(std::string_view text);
