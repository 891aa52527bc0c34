#pragma once
// Shared text, number and colour helpers.
//
// Number patterns: "#" an optional digit, "0" a forced digit, "." the decimal
// point, "E+00" / "E-00" an exponent; any other character is copied as it
// stands. Values are rounded to the decimals the pattern shows.

#include <cstdint>
#include <string>
#include <string_view>

namespace vanto {

// The separator the user's locale puts between the integer and fractional part.
// Cached on first use; the program sets it from its locale at start and tests
// set it to check both kinds of locale.
char decimalSeparator();
void setDecimalSeparator(char separator);

// A number pattern parsed once, for loops that format many values with it.
class NumberPattern {
  public:
    explicit NumberPattern(std::string_view pattern);
    // FormatPadded, FormatPaddedLocal and FormatPoint with this pattern, appended.
    void appendPadded(std::string& out, double value) const;
    void appendPaddedLocal(std::string& out, double value) const;
    void appendPoint(std::string& out, double value) const;
    // appendPadded into `at`, which has room for the pattern's width and 64
    // characters more, for the values most patterns take (fixed point, not
    // near a rounding tie, below 10^15 units of the last place); nullptr for
    // the others, which appendPadded takes. Returns the end of the text.
    char* writePadded(char* at, double value) const;

    struct Parts {
        std::string prefix;  // literal text before the digits
        int intZeros = 0;    // forced integer digits
        bool point = false;
        int fracPlaces = 0;  // "#" and "0" after the point
        int fracZeros = 0;   // forced decimals (the leading "0"s)
        bool exponent = false;
        bool expAlwaysSign = false;
        int expDigits = 0;
        std::string suffix;  // literal text after the digits
    };

  private:
    void shape(std::string& out, double value, char separator) const;
    void appendPaddedWith(std::string& out, double value, char separator) const;
    Parts parts_;
    std::size_t width_;
};

// The value shaped by the pattern without its leading blanks, right-aligned to
// the pattern's full length; a longer text is kept whole. "." separator.
std::string FormatPadded(double value, std::string_view pattern);
// As FormatPadded, with the locale's decimal separator.
std::string FormatPaddedLocal(double value, std::string_view pattern);
// The value shaped by the pattern without its leading blanks, no padding, ".".
std::string FormatPoint(double value, std::string_view pattern);

// The leading number of a text: sign, digits, point, fraction, exponent; blanks
// inside are skipped and a text without a number gives 0. The first "," of the
// caller's text is replaced by "." first, in place.
double ParseNumber(std::string& text);

// The n-th blank-separated word of a text (n from 1), or "" when there are fewer.
std::string NthWord(int n, std::string_view text);

// The path followed by the platform's separator unless it already ends in one.
std::string WithBackslash(std::string_view path);

// The shortest decimal text that reads back to the same value, plain notation,
// "." separator, no padding: 0, 1.5, -2.25, 1234. One for each precision.
std::string writtenValue(float value);
std::string writtenValue(double value);
// writtenValue appended, for files of many values.
void appendWrittenValue(std::string& out, double value);

// Colours as red + 256·green + 65536·blue.
using Colour = std::uint32_t;
inline constexpr Colour rgb(int r, int g, int b) {
    return Colour(r) | Colour(g) << 8 | Colour(b) << 16;
}
// Channel-wise (1 − t)·colour 1 + t·colour 2, each rounded to the nearest integer.
Colour BlendColour(float r1, float g1, float b1, float r2, float g2, float b2, float t);
// Splits a colour into its channels. A system colour (above FFFFFF) is a
// programming error and throws std::logic_error.
void RGBinv(Colour colour, float& red, float& green, float& blue);

// The sixteen-colour palette that all drawing code indexes.
Colour palette16(int index);

}  // namespace vanto
