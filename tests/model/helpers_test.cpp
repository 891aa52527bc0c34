#include "model/helpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <stdexcept>

#include "model/platform.h"

namespace vanto {
namespace {

// Runs each test once with a point locale and once with a comma locale.
class HelpersInLocale : public ::testing::TestWithParam<char> {
  protected:
    void SetUp() override { setDecimalSeparator(GetParam()); }
    void TearDown() override { setDecimalSeparator('.'); }
    char sep() const { return GetParam(); }
};

// Wider numbers are written in full; halves round away from zero; zero has no sign;
// a mantissa keeps its integer digit even where the pattern makes it optional.
TEST_P(HelpersInLocale, FormatPaddedPadsRoundsAndAlwaysUsesAPoint) {
    // Value, pattern, text.
    const char* const cases[] = {
        "7.64",      "###0.0",      "   7.6",      "5000",        "###0.0",      "5000.0",
        "6000",      "#####0",      "  6000",      "7850",        "####0 ",      " 7850 ",
        "0.012",     "0.000",       "0.012",       "12",          " ##0",        "  12",
        "-3.14159",  " ##0.000",    "  -3.142",    "0",           "      0.00 ", "      0.00 ",
        "1234567.8", "###0.0",      "1234567.8",   "123456.7",    "  ##0.00",    "123456.70",
        "1000",      " ##0",        "1000",        "0.0625",      "0.000",       "0.063",
        "-2.5",      "0",           "-3",          "2.5",         "0",           "3",
        "-0.0001",   "##0.000",     "  0.000",     "0.9996",      "0.000",       "1.000",
        "0",         "  0.000E+00", "  0.000E+00", "-0.00123456", "  0.000E+00", " -1.235E-03",
        "123456",    "  0.000E+00", "  1.235E+05", "1e-120",      "0.000E+00",   "1.000E-120",
        "0",         "#.000E+00",   "0.000E+00"};
    for (std::size_t i = 0; i < std::size(cases); i += 3)
        EXPECT_EQ(FormatPadded(std::strtod(cases[i], nullptr), cases[i + 1]), cases[i + 2])
            << cases[i] << cases[i + 1];
}

TEST_P(HelpersInLocale, FormatPaddedLocalUsesTheLocaleSeparator) {
    const std::string expected = std::string("    0") + sep() + "5000  ";
    EXPECT_EQ(FormatPaddedLocal(0.5, "    0.0000  "), expected);
    EXPECT_EQ(FormatPaddedLocal(1.5, "  0.000E+00"), "  1" + std::string(1, sep()) + "500E+00");
}

TEST_P(HelpersInLocale, FormatPointHasOptionalDigitsAndNeverPads) {
    EXPECT_EQ(FormatPoint(0.5, "#.##"), ".5");
    EXPECT_EQ(FormatPoint(5, "#.##"), "5.");
    EXPECT_EQ(FormatPoint(0, "##0"), "0");
    EXPECT_EQ(FormatPoint(1.5, "0.0#"), "1.5");
    EXPECT_EQ(FormatPoint(1.5, "   0.000"), "1.500");
    EXPECT_EQ(FormatPoint(-12.25, "#####0.00"), "-12.25");
}

TEST_P(HelpersInLocale, ParseNumberReadsTheLeadingNumber) {
    std::string t = "1,25";
    EXPECT_DOUBLE_EQ(ParseNumber(t), 1.25);
    EXPECT_EQ(t, "1.25");  // the caller's text is changed in place
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12}, {"", 0},      {"  - 1 2.5e2x", -1250}, {"1.5e", 1.5},
        {".5", 0.5},   {"LIBRE", 0}, {"1.2.3", 1.2},
    };
    for (const auto& [text, value] : cases) {
        t = text;
        EXPECT_DOUBLE_EQ(ParseNumber(t), value) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(PointAndComma, HelpersInLocale, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? "Point" : "Comma"; });

// Rounding to the pattern's decimals is that of the exact binary value, as
// printf gives it, at every magnitude; exact ties, which printf takes to the
// even neighbour and the patterns away from zero, are left out.
TEST(FormatPoint, RoundsAsTheExactValueDoes) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-8, 17);
    for (int i = 0; i < 200000; ++i) {
        const double v = std::ldexp(mantissa(rng), exponent(rng) * 2);
        for (const auto& [pattern, places] : {std::pair{"0.000", 3}, {"0.00", 2}, {"0", 0}}) {
            if (std::fmod(std::ldexp(std::abs(v), places + 1), 2.0) == 1.0) continue;
            char expected[400];
            std::snprintf(expected, sizeof expected, "%.*f", places, v);
            std::string e = expected;
            if (e.find_first_not_of("-0.") == std::string::npos && e[0] == '-') e.erase(0, 1);
            ASSERT_EQ(FormatPoint(v, pattern), e) << v;
        }
    }
}

TEST(NthWord, SkipsLeadingTrailingAndRepeatedBlanks) {
    EXPECT_EQ(NthWord(3, "  uno dos   tres cuatro"), "tres");
    EXPECT_EQ(NthWord(1, "  uno"), "uno");
    EXPECT_EQ(NthWord(1, "uno dos"), "uno");
    EXPECT_EQ(NthWord(2, "uno  "), "");
    EXPECT_EQ(NthWord(1, ""), "");
    EXPECT_EQ(NthWord(4, "Número de puntos..........=  12 "), "12");
}

TEST(WithBackslash, AddsTheSeparatorOnlyWhenMissing) {
    EXPECT_EQ(WithBackslash("/"), "/");
    EXPECT_EQ(WithBackslash("/home/obra"), "/home/obra/");
    EXPECT_EQ(WithBackslash("/home/obra/"), "/home/obra/");
}

TEST(WrittenValue, ShortestTextThatReadsBack) {
    EXPECT_EQ(writtenValue(0.0f), "0");
    EXPECT_EQ(writtenValue(-0.0), "0");
    EXPECT_EQ(writtenValue(1.5f), "1.5");
    EXPECT_EQ(writtenValue(-2.25), "-2.25");
    EXPECT_EQ(writtenValue(1234.0f), "1234");
    EXPECT_EQ(writtenValue(0.1f), "0.1");
    EXPECT_EQ(writtenValue(0.1), "0.1");
    EXPECT_EQ(writtenValue(1.0f / 3.0f), "0.33333334");
    EXPECT_EQ(writtenValue(1.0 / 3.0), "0.3333333333333333");
    EXPECT_EQ(writtenValue(1e-5f), "0.00001");
    EXPECT_EQ(std::stod(writtenValue(6.02e23)), 6.02e23);
}

TEST(Colours, BlendAndSplit) {
    const Colour c = BlendColour(255, 0, 0, 255, 255, 255, 0.5f);
    float r, g, b;
    RGBinv(c, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 128);  // 127.5 rounds up
    EXPECT_EQ(b, 128);
    EXPECT_EQ(BlendColour(10, 20, 30, 200, 200, 200, 0), rgb(10, 20, 30));
    EXPECT_EQ(BlendColour(10, 20, 30, 200, 100, 0, 1), rgb(200, 100, 0));
    EXPECT_THROW(RGBinv(0x80000005u, r, g, b), std::logic_error);
    // The old sixteen colours: all different, each channel 0, 128, 192 or 255.
    std::set<Colour> palette;
    for (int i = 0; i < 16; ++i) {
        RGBinv(palette16(i), r, g, b);
        for (float channel : {r, g, b})
            EXPECT_TRUE(channel == 0 || channel == 128 || channel == 192 || channel == 255) << i;
        palette.insert(palette16(i));
    }
    EXPECT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette16(-1), palette16(15));
}

// In UTC the time of day is the time since the epoch modulo a day.
TEST(SystemClock, ReadsTheTimeOfDayAndTheDate) {
    const char* zone = std::getenv("TZ");
    const std::string previous = zone ? zone : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    const auto now = std::chrono::system_clock::now();
    const double seconds = SystemClock().secondsSinceMidnight();
    const Date today = SystemClock().today();
    zone ? setenv("TZ", previous.c_str(), 1) : unsetenv("TZ");
    tzset();
    const double epoch = std::chrono::duration<double>(now.time_since_epoch()).count();
    EXPECT_NEAR(std::remainder(seconds - epoch, 86400.0), 0, 1);
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(now)};
    EXPECT_EQ(today.day, int(unsigned(date.day())));
    EXPECT_EQ(today.month, int(unsigned(date.month())));
    EXPECT_EQ(today.year, int(date.year()));
}

}  // namespace
}  // namespace vanto
