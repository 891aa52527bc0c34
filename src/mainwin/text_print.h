#pragma once
// Printing a plain text (a listing) on a printer: one line per text line, in
// one font, with margins and page breaks. Lines too wide for the page make the
// font smaller (down to a floor) rather than being cut; a form feed at the
// start of a line begins a new page. Drawing logic only.

#include <string>
#include <string_view>
#include <vector>

#include "model/surface.h"

namespace vanto {

// Margin on every side, twips (half an inch).
inline constexpr double PrintMargin = 720;
// The smallest size a font is shrunk to so that the widest line fits, points.
inline constexpr double SmallestPrintSize = 6;

// Prints `text` (lines separated by "\n" or "\r\n") and ends the document.
// Returns the number of pages.
int printText(Printer& printer, std::string_view text, const Font& font);

}  // namespace vanto
