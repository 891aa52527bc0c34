#pragma once
// The four standard PDF fonts the PDF surface writes with, in
// WinAnsiEncoding (Spanish accents, ñ, º, ·, ², ³, µ...), and their metrics,
// so that text can be measured and laid out without the fonts themselves.
//
// Metrics are in thousandths of the font size. Arial and the other
// proportional faces are written as Helvetica; "Courier New", "Letter
// Gothic" and other monospaced faces as Courier.

#include <string>
#include <string_view>

#include "model/surface.h"

namespace vanto::calcreport {

enum class PdfFont { Helvetica, HelveticaBold, Courier, CourierBold };
inline constexpr int PdfFontCount = 4;

// The font's PostScript name, as /BaseFont gives it.
const char* baseFontName(PdfFont font);

// The standard font that stands for `font`.
PdfFont pdfFontOf(const Font& font);

// UTF-8 text as WinAnsiEncoding bytes; characters the encoding lacks become
// "?", a minus sign becomes "-".
std::string winAnsi(std::string_view utf8);

// Width of WinAnsi bytes, in thousandths of the font size.
double textWidthUnits(PdfFont font, std::string_view winAnsiBytes);
// Width of UTF-8 text in points.
double textWidthPoints(const Font& font, std::string_view utf8);

// Ascent above and descent below the baseline, thousandths of the size.
struct VerticalMetrics {
    double ascent, descent;
};
VerticalMetrics verticalMetrics(PdfFont font);

}  // namespace vanto::calcreport
