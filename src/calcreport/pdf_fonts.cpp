#include "calcreport/pdf_fonts.h"

#include <array>
#include <cstdint>

namespace vanto::calcreport {

namespace {

// Advance widths of WinAnsiEncoding 32..255, measured once from the hmtx
// tables of LiberationSans-Regular.ttf and LiberationSans-Bold.ttf (2048
// units per em, scaled to 1000 and rounded): those fonts are metric-compatible
// with Helvetica, so the widths agree with what a PDF reader draws. The
// codes WinAnsiEncoding leaves undefined hold 0 and are never written.
constexpr std::array<std::uint16_t, 224> helveticaWidths{
    278,  278, 355, 556, 556,  889, 667, 191, 333, 333, 389, 584,  278, 333,  278,  278,  556, 556,
    556,  556, 556, 556, 556,  556, 556, 556, 278, 278, 584, 584,  584, 556,  1015, 667,  667, 722,
    722,  667, 611, 778, 722,  278, 500, 667, 556, 833, 722, 778,  667, 778,  722,  667,  611, 722,
    667,  944, 667, 667, 611,  278, 278, 278, 469, 556, 333, 556,  556, 500,  556,  556,  278, 556,
    556,  222, 222, 500, 222,  833, 556, 556, 556, 556, 333, 500,  278, 556,  500,  722,  500, 500,
    500,  334, 260, 334, 584,  0,   556, 0,   222, 556, 333, 1000, 556, 556,  333,  1000, 667, 333,
    1000, 0,   611, 0,   0,    222, 222, 333, 333, 350, 556, 1000, 333, 1000, 500,  333,  944, 0,
    500,  667, 278, 333, 556,  556, 556, 556, 260, 556, 333, 737,  370, 556,  584,  333,  737, 552,
    400,  549, 333, 333, 333,  576, 537, 278, 333, 333, 365, 556,  834, 834,  834,  611,  667, 667,
    667,  667, 667, 667, 1000, 722, 667, 667, 667, 667, 278, 278,  278, 278,  722,  722,  778, 778,
    778,  778, 778, 584, 778,  722, 722, 722, 722, 667, 667, 611,  556, 556,  556,  556,  556, 556,
    889,  500, 556, 556, 556,  556, 278, 278, 278, 278, 556, 556,  556, 556,  556,  556,  556, 549,
    611,  556, 556, 556, 556,  500, 556, 500};
constexpr std::array<std::uint16_t, 224> helveticaBoldWidths{
    278,  333, 474, 556, 556,  889, 722, 238, 333, 333, 389, 584,  278, 333,  278, 278,  556, 556,
    556,  556, 556, 556, 556,  556, 556, 556, 333, 333, 584, 584,  584, 611,  975, 722,  722, 722,
    722,  667, 611, 778, 722,  278, 556, 722, 611, 833, 722, 778,  667, 778,  722, 667,  611, 722,
    667,  944, 667, 667, 611,  333, 278, 333, 584, 556, 333, 556,  611, 556,  611, 556,  333, 611,
    611,  278, 278, 556, 278,  889, 611, 611, 611, 611, 389, 556,  333, 611,  556, 778,  556, 556,
    500,  389, 280, 389, 584,  0,   556, 0,   278, 556, 500, 1000, 556, 556,  333, 1000, 667, 333,
    1000, 0,   611, 0,   0,    278, 278, 500, 500, 350, 556, 1000, 333, 1000, 556, 333,  944, 0,
    500,  667, 278, 333, 556,  556, 556, 556, 280, 556, 333, 737,  370, 556,  584, 333,  737, 552,
    400,  549, 333, 333, 333,  576, 556, 278, 333, 333, 365, 556,  834, 834,  834, 611,  722, 722,
    722,  722, 722, 722, 1000, 722, 667, 667, 667, 667, 278, 278,  278, 278,  722, 722,  778, 778,
    778,  778, 778, 584, 778,  722, 722, 722, 722, 667, 667, 611,  556, 556,  556, 556,  556, 556,
    889,  556, 556, 556, 556,  556, 278, 278, 278, 278, 611, 611,  611, 611,  611, 611,  611, 549,
    611,  611, 611, 611, 611,  556, 611, 556};
// Courier: every character 600 wide.
constexpr std::uint16_t CourierWidth = 600;

// Unicode code points of WinAnsiEncoding 0x80..0x9F; 0 where it has none.
constexpr std::array<char32_t, 32> winAnsiHigh{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char winAnsiByte(char32_t c) {
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) return char(c);
    if (c == 0x2212) return '-';  // minus sign
    for (std::size_t i = 0; i < winAnsiHigh.size(); ++i)
        if (winAnsiHigh[i] != 0 && winAnsiHigh[i] == c) return char(0x80 + i);
    return '?';
}

// The next code point of UTF-8 text at `i`, advancing it; a byte that does
// not start a valid sequence stands for itself (Latin-1).
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + std::size_t(extra) >= s.size()) {
        ++i;
        return b;
    }
    char32_t c = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned char t = static_cast<unsigned char>(s[i + std::size_t(k)]);
        if ((t & 0xC0) != 0x80) {
            ++i;
            return b;
        }
        c = c << 6 | (t & 0x3F);
    }
    i += std::size_t(extra) + 1;
    return c;
}

}  // namespace

const char* baseFontName(PdfFont font) {
    switch (font) {
        case PdfFont::Helvetica:
            return "Helvetica";
        case PdfFont::HelveticaBold:
            return "Helvetica-Bold";
        case PdfFont::Courier:
            return "Courier";
        case PdfFont::CourierBold:
            return "Courier-Bold";
    }
    return "Helvetica";
}

PdfFont pdfFontOf(const Font& font) {
    const std::string& n = font.name;
    const bool mono = n.find("Courier") != std::string::npos ||
                      n.find("Gothic") != std::string::npos || n.find("Mono") != std::string::npos;
    if (mono) return font.bold ? PdfFont::CourierBold : PdfFont::Courier;
    return font.bold ? PdfFont::HelveticaBold : PdfFont::Helvetica;
}

std::string winAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();)
        out += winAnsiByte(nextCodePoint(utf8, i));
    return out;
}

double textWidthUnits(PdfFont font, std::string_view bytes) {
    if (font == PdfFont::Courier || font == PdfFont::CourierBold)
        return double(CourierWidth) * double(bytes.size());
    const auto& widths = font == PdfFont::HelveticaBold ? helveticaBoldWidths : helveticaWidths;
    double w = 0;
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b >= 32) w += widths[b - 32];
    }
    return w;
}

double textWidthPoints(const Font& font, std::string_view utf8) {
    return textWidthUnits(pdfFontOf(font), winAnsi(utf8)) * font.size / 1000;
}

VerticalMetrics verticalMetrics(PdfFont font) {
    // From the same fonts' hhea tables: Liberation Sans and Liberation Mono.
    if (font == PdfFont::Courier || font == PdfFont::CourierBold) return {833, 300};
    return {905, 212};
}

}  // namespace vanto::calcreport
