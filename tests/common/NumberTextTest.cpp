#include "NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

struct FloatTextCase {
    float value;
    char sep;
    const char* text;
};

class FloatToText : public testing::TestWithParam<FloatTextCase> {};

TEST_P(FloatToText, MatchesTheDurationRule)
{
    const auto& c = GetParam();
    EXPECT_EQ(floatToDurationText(c.value, c.sep), c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, FloatToText, testing::Values(
    FloatTextCase{1.5f, '.', "1.5"},
    FloatTextCase{1.5f, ',', "1,5"},
    FloatTextCase{3.0f, '.', "3"},
    FloatTextCase{2.3f, '.', "2.29999995231628"},
    FloatTextCase{2.3f, ',', "2,29999995231628"},
    FloatTextCase{0.0f, '.', "0"},
    FloatTextCase{-0.5f, '.', "-0.5"},
    FloatTextCase{0.0001f, '.', "9.99999974737875E-5"},
    FloatTextCase{0.25f, '.', "0.25"},
    FloatTextCase{0.0009765625f, '.', "0.0009765625"},
    FloatTextCase{0.00001f, '.', "9.99999974737875E-6"},
    FloatTextCase{1e15f, '.', "999999986991104"},
    FloatTextCase{1e16f, '.', "1.00000002725642E16"},
    FloatTextCase{-1180591620717411303424.0f, ',', "-1,18059162071741E21"},
    FloatTextCase{123456.0f, '.', "123456"},
    FloatTextCase{1e-20f, ',', "9,99999968265523E-21"},
    FloatTextCase{std::numeric_limits<float>::infinity(), '.', "INF"},
    FloatTextCase{-std::numeric_limits<float>::infinity(), '.', "-INF"},
    FloatTextCase{std::numeric_limits<float>::quiet_NaN(), '.', "NAN"}));

TEST(DurationText, EveryTextMadeReadsBackToTheSameSingle)
{
    const float values[] = {1.5f, 2.3f, 0.1f, 1e-7f, 3.4e38f, -12.75f, 1e15f, 9.5e-5f, 1.17549435e-38f};
    for (char sep : {'.', ','})
        for (float v : values) {
            auto back = durationTextToFloat(floatToDurationText(v, sep), sep);
            ASSERT_TRUE(back) << v;
            EXPECT_EQ(*back, v) << floatToDurationText(v, sep);
        }
}

struct TextFloatCase {
    const char* text;
    char sep;
    bool accepted;
    float value;
};

class TextToFloat : public testing::TestWithParam<TextFloatCase> {};

TEST_P(TextToFloat, AcceptsOnlyTheDurationForm)
{
    const auto& c = GetParam();
    auto v = durationTextToFloat(c.text, c.sep);
    ASSERT_EQ(v.has_value(), c.accepted) << c.text;
    if (c.accepted && !std::isnan(c.value)) {
        EXPECT_EQ(*v, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TextToFloat, testing::Values(
    TextFloatCase{"1.5", '.', true, 1.5f},
    TextFloatCase{"1,5", ',', true, 1.5f},
    TextFloatCase{" 1,5 ", ',', true, 1.5f},
    TextFloatCase{"1.5", ',', false, 0},
    TextFloatCase{"abc", '.', false, 0},
    TextFloatCase{"", '.', false, 0},
    TextFloatCase{"   ", '.', false, 0},
    TextFloatCase{".5", '.', true, 0.5f},
    TextFloatCase{"5.", '.', true, 5.0f},
    TextFloatCase{".", '.', false, 0},
    TextFloatCase{"+2e3", '.', true, 2000.0f},
    TextFloatCase{"-2E-1", '.', true, -0.2f},
    TextFloatCase{"2e", '.', false, 0},
    TextFloatCase{"1 5", '.', false, 0},
    TextFloatCase{"1e4000", '.', true, std::numeric_limits<float>::infinity()},
    TextFloatCase{"1e5000", '.', false, 0},
    TextFloatCase{"1e-6000", '.', true, 0.0f},
    TextFloatCase{"NAN", '.', true, std::numeric_limits<float>::quiet_NaN()},
    TextFloatCase{"-INF", '.', true, -std::numeric_limits<float>::infinity()},
    TextFloatCase{"nan", '.', false, 0}));

struct IntCase {
    const char* text;
    bool accepted;
    int value;
};

class IntegerText : public testing::TestWithParam<IntCase> {};

TEST_P(IntegerText, FollowsTheStrRefBoxRules)
{
    const auto& c = GetParam();
    auto v = parseInteger(c.text);
    ASSERT_EQ(v.has_value(), c.accepted) << c.text;
    if (c.accepted) {
        EXPECT_EQ(*v, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, IntegerText, testing::Values(
    IntCase{"5", true, 5}, IntCase{" 5", true, 5}, IntCase{"5 ", false, 0},
    IntCase{"", false, 0}, IntCase{"-1", true, -1}, IntCase{"+7", true, 7},
    IntCase{"0x10", true, 16}, IntCase{"x1f", true, 31}, IntCase{"$FF", true, 255},
    IntCase{"-$10", true, -16}, IntCase{"0x", false, 0}, IntCase{"$", false, 0},
    IntCase{"2147483647", true, 2147483647}, IntCase{"2147483648", false, 0},
    IntCase{"-2147483648", true, -2147483647 - 1}, IntCase{"99999999999999999999", false, 0},
    IntCase{"1a", false, 0}, IntCase{"- 1", false, 0}, IntCase{"0x7fffffff", true, 2147483647},
    IntCase{"0x80000000", false, 0}));
