#include "model/helpers.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <locale>
#include <stdexcept>

namespace vanto {

namespace {

std::atomic<char> cachedSeparator{0};

char separatorFromLocale() {
    try {
        return std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point();
    } catch (const std::exception&) {
        return '.';
    }
}

using Parts = NumberPattern::Parts;

Parts parsePattern(std::string_view p) {
    Parts pat;
    std::size_t i = 0;
    auto isPlace = [](char c) { return c == '#' || c == '0'; };
    while (i < p.size() && !isPlace(p[i]) && p[i] != '.')
        pat.prefix += p[i++];
    while (i < p.size() && isPlace(p[i])) {
        if (p[i] == '0') ++pat.intZeros;
        ++i;
    }
    if (i < p.size() && p[i] == '.') {
        pat.point = true;
        ++i;
        bool leading = true;
        while (i < p.size() && isPlace(p[i])) {
            ++pat.fracPlaces;
            if (p[i] == '0' && leading) ++pat.fracZeros;
            if (p[i] == '#') leading = false;
            ++i;
        }
    }
    if (i + 1 < p.size() && (p[i] == 'E' || p[i] == 'e') && (p[i + 1] == '+' || p[i + 1] == '-')) {
        pat.exponent = true;
        pat.expAlwaysSign = p[i + 1] == '+';
        i += 2;
        while (i < p.size() && isPlace(p[i])) {
            ++pat.expDigits;
            ++i;
        }
    }
    pat.suffix = std::string(p.substr(i));
    return pat;
}

// Rounds half away from zero: a value exactly halfway between two results of
// `decimals` decimals is moved off the tie before to_chars rounds it.
double offTie(double v, int decimals) {
    if (decimals < 0 || decimals > 60 || !std::isfinite(v)) return v;
    const double scaled = std::ldexp(v, decimals + 1);
    if (std::abs(scaled) < 9.0e15 && scaled == std::trunc(scaled) &&
        std::fmod(std::abs(scaled), 2.0) == 1.0)
        return std::nextafter(v, v < 0 ? -INFINITY : INFINITY);
    return v;
}

const char* nonFinite(double v) {
    return std::isnan(v) ? "NaN" : v < 0 ? "-Inf" : "Inf";
}

// Appends the integer digits, the point and the fraction of a mantissa.
void appendNumber(std::string& out, std::string_view ip, std::string_view fp, const Parts& pat,
                  char sep, bool dropZeroInteger) {
    while (int(fp.size()) > pat.fracZeros && fp.back() == '0')
        fp.remove_suffix(1);
    if (dropZeroInteger && ip == "0" && pat.intZeros == 0) ip = {};
    for (int k = int(ip.size()); k < pat.intZeros; ++k)
        out += '0';
    out.append(ip);
    if (pat.point) {
        out += sep;
        out.append(fp);
    }
}

// |v| rounded to `places` decimals, half away from zero, as a whole number of
// units of the last place, when one product decides it: the product is within
// an ulp of |v|·10^places, so only a value that close to a tie needs the
// exact decimal expansion. False when it does, or when it is too large.
bool roundedUnits(double v, int places, std::uint64_t& units) {
    static constexpr double powers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (places < 0 || places > 9) return false;
    const double scaled = std::abs(v) * powers[places];
    if (!(scaled < 1e15)) return false;
    const double whole = std::floor(scaled), fraction = scaled - whole;
    if (std::abs(fraction - 0.5) <= scaled * 5e-16 + 1e-300) return false;
    units = std::uint64_t(whole) + (fraction > 0.5 ? 1 : 0);
    return true;
}

// "00" to "99", for writing two digits at a time.
constexpr char DigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The value shaped by a fixed-point pattern into `buf` (64 characters) when
// one product rounds it (roundedUnits); 0 otherwise, and for patterns whose
// literal text does not fit.
std::size_t fixedText(char* buf, double value, const Parts& pat, char sep) {
    std::uint64_t units = 0;
    if (pat.exponent || pat.prefix.size() + pat.suffix.size() > 16 || pat.intZeros > 16 ||
        !roundedUnits(value, pat.fracPlaces, units))
        return 0;
    // The digits end 16 characters before the buffer does, so that the
    // integer digits and the decimals (at most 15 and 9) are each copied
    // as 16 characters, one move, and the surplus overwritten.
    char digits[48];
    char* const end = digits + 32;
    char* p = end;
    std::uint64_t u = units;
    for (; u >= 100; u /= 100) {
        p -= 2;
        std::memcpy(p, DigitPairs + 2 * (u % 100), 2);
    }
    if (u >= 10) {
        p -= 2;
        std::memcpy(p, DigitPairs + 2 * u, 2);
    } else if (u > 0) {
        *--p = char('0' + u);
    }
    while (end - p < pat.fracPlaces)
        *--p = '0';
    char* const point = end - pat.fracPlaces;  // integer digits before, decimals after
    char* last = end;
    while (last - point > pat.fracZeros && last[-1] == '0')
        --last;
    char* out = buf;
    if (!pat.prefix.empty()) out = std::copy(pat.prefix.begin(), pat.prefix.end(), out);
    if (value < 0 && units != 0) *out++ = '-';
    for (long k = point - p; k < pat.intZeros; ++k)
        *out++ = '0';
    std::memcpy(out, p, 16);
    out += point - p;
    if (pat.point) {
        *out++ = sep;
        std::memcpy(out, point, 16);
        out += last - point;
    }
    if (!pat.suffix.empty()) out = std::copy(pat.suffix.begin(), pat.suffix.end(), out);
    return std::size_t(out - buf);
}

void formatFixed(std::string& out, double value, const Parts& pat, char sep) {
    // to_chars, unlike printf, ignores the C locale the windowing system may set.
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, offTie(value, pat.fracPlaces),
                                   std::chars_format::fixed, pat.fracPlaces);
    std::string_view s(buf, std::size_t(res.ptr - buf));
    bool negative = !s.empty() && s[0] == '-';
    if (negative) s.remove_prefix(1);
    const std::size_t dot = s.find('.');
    const std::string_view ip = s.substr(0, dot);
    const std::string_view fp =
        dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
    // A value that rounds to zero is written without a sign.
    if (negative && s.find_first_not_of("0.") == std::string_view::npos) negative = false;
    out += pat.prefix;
    if (negative) out += '-';
    appendNumber(out, ip, fp, pat, sep, true);
    out += pat.suffix;
}

void formatScientific(std::string& out, double value, const Parts& pat, char sep) {
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, pat.fracPlaces);
    std::string_view s(buf, std::size_t(res.ptr - buf));
    const std::size_t e = s.find('e');
    std::string_view mant = s.substr(0, e);
    std::string_view es = s.substr(e + 1);
    if (!es.empty() && es[0] == '+') es.remove_prefix(1);
    int exp = 0;
    std::from_chars(es.data(), es.data() + es.size(), exp);
    bool negative = !mant.empty() && mant[0] == '-';
    if (negative) mant.remove_prefix(1);
    if (value == 0.0) {
        exp = 0;
        negative = false;
    }
    const std::size_t dot = mant.find('.');
    out += pat.prefix;
    if (negative) out += '-';
    appendNumber(out, mant.substr(0, dot),
                 dot == std::string_view::npos ? std::string_view() : mant.substr(dot + 1), pat,
                 sep, false);
    out += 'E';
    if (exp < 0)
        out += '-';
    else if (pat.expAlwaysSign)
        out += '+';
    char digits[16];
    const auto r = std::to_chars(digits, digits + sizeof digits, exp < 0 ? -exp : exp);
    for (int k = int(r.ptr - digits); k < pat.expDigits; ++k)
        out += '0';
    out.append(digits, r.ptr);
    out += pat.suffix;
}

template <class F>
void appendShortest(std::string& out, F value) {
    if (value == 0) {
        out += '0';
        return;
    }
    char buf[512];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (res.ec != std::errc()) res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

template <class F>
std::string shortest(F value) {
    std::string s;
    appendShortest(s, value);
    return s;
}

}  // namespace

char decimalSeparator() {
    char c = cachedSeparator.load();
    if (c == 0) {
        c = separatorFromLocale();
        cachedSeparator.store(c);
    }
    return c;
}

void setDecimalSeparator(char separator) {
    cachedSeparator.store(separator);
}

NumberPattern::NumberPattern(std::string_view pattern) : width_(pattern.size()) {
    const std::size_t first = pattern.find_first_not_of(' ');
    parts_ = parsePattern(first == std::string_view::npos ? "" : pattern.substr(first));
}

void NumberPattern::shape(std::string& out, double value, char separator) const {
    char buf[64];
    if (const std::size_t n = fixedText(buf, value, parts_, separator)) {
        out.append(buf, n);
        return;
    }
    if (!std::isfinite(value))
        out += nonFinite(value);
    else if (parts_.exponent)
        formatScientific(out, value, parts_, separator);
    else
        formatFixed(out, value, parts_, separator);
}

void NumberPattern::appendPaddedWith(std::string& out, double value, char separator) const {
    // The blanks go in front of the text in one buffer: one append a value.
    constexpr std::size_t room = 32;
    char buf[room + 64];
    if (const std::size_t n = fixedText(buf + room, value, parts_, separator)) {
        const std::size_t pad = n < width_ ? width_ - n : 0;
        if (pad <= room) {
            std::memset(buf + room - pad, ' ', pad);
            out.append(buf + room - pad, pad + n);
        } else {
            out.append(pad, ' ');
            out.append(buf + room, n);
        }
        return;
    }
    const std::size_t start = out.size();
    shape(out, value, separator);
    const std::size_t len = out.size() - start;
    if (len < width_) out.insert(start, width_ - len, ' ');
}

char* NumberPattern::writePadded(char* at, double value) const {
    char buf[64];
    const std::size_t n = fixedText(buf, value, parts_, '.');
    if (n == 0) return nullptr;
    const std::size_t pad = n < width_ ? width_ - n : 0;
    std::memset(at, ' ', pad);
    std::memcpy(at + pad, buf, sizeof buf);  // one fixed move; the surplus is room
    return at + pad + n;
}

void NumberPattern::appendPadded(std::string& out, double value) const {
    appendPaddedWith(out, value, '.');
}

void NumberPattern::appendPaddedLocal(std::string& out, double value) const {
    appendPaddedWith(out, value, decimalSeparator());
}

void NumberPattern::appendPoint(std::string& out, double value) const {
    shape(out, value, '.');
}

std::string FormatPadded(double value, std::string_view pattern) {
    std::string out;
    NumberPattern(pattern).appendPadded(out, value);
    return out;
}

std::string FormatPaddedLocal(double value, std::string_view pattern) {
    std::string out;
    NumberPattern(pattern).appendPaddedLocal(out, value);
    return out;
}

std::string FormatPoint(double value, std::string_view pattern) {
    std::string out;
    NumberPattern(pattern).appendPoint(out, value);
    return out;
}

double ParseNumber(std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos) text[comma] = '.';
    std::string clean;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() &&
               (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
            ++i;
    };
    auto digits = [&] {
        bool any = false;
        for (;;) {
            skipBlanks();
            if (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                clean += text[i++];
                any = true;
            } else {
                return any;
            }
        }
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) clean += text[i++];
    bool mantissa = digits();
    skipBlanks();
    if (i < text.size() && text[i] == '.') {
        clean += text[i++];
        mantissa = digits() || mantissa;
    }
    if (!mantissa) return 0.0;
    skipBlanks();
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        const std::size_t mark = i;
        const std::size_t kept = clean.size();
        ++i;
        std::string exp = "e";
        skipBlanks();
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) exp += text[i++];
        clean += exp;
        if (!digits()) {
            clean.resize(kept);
            i = mark;
        }
    }
    if (clean[0] == '+') clean.erase(0, 1);
    double v = 0;
    std::from_chars(clean.data(), clean.data() + clean.size(), v);
    return v;
}

std::string NthWord(int n, std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t i = 0;
    for (int w = 1; i < text.size(); ++w) {
        while (i < text.size() && blank(text[i]))
            ++i;
        if (i >= text.size()) break;
        std::size_t j = i;
        while (j < text.size() && !blank(text[j]))
            ++j;
        if (w == n) return std::string(text.substr(i, j - i));
        i = j;
    }
    return {};
}

std::string WithBackslash(std::string_view path) {
    constexpr char sep = std::filesystem::path::preferred_separator;
    std::string out(path);
    if (out.empty() || out.back() != sep) out += sep;
    return out;
}

std::string writtenValue(float value) {
    return shortest(value);
}
std::string writtenValue(double value) {
    return shortest(value);
}

void appendWrittenValue(std::string& out, double value) {
    appendShortest(out, value);
}

Colour BlendColour(float r1, float g1, float b1, float r2, float g2, float b2, float t) {
    auto mix = [t](float a, float b) { return int(std::lround((1.0f - t) * a + t * b)); };
    return rgb(mix(r1, r2), mix(g1, g2), mix(b1, b2));
}

void RGBinv(Colour colour, float& red, float& green, float& blue) {
    if (colour > 0xFFFFFFu)
        throw std::logic_error("La rutina RGBinv no funciona con colores del sistema");
    red = float(colour % 256);
    green = float((colour / 256) % 256);
    blue = float(colour / 65536);
}

Colour palette16(int index) {
    static constexpr Colour table[16] = {
        rgb(0, 0, 0),       rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
        rgb(128, 0, 0),     rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
        rgb(128, 128, 128), rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(0, 255, 255),
        rgb(255, 0, 0),     rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255)};
    return table[((index % 16) + 16) % 16];
}

}  // namespace vanto
