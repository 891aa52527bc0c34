#include "mainwin/text_print.h"

#include <algorithm>

#include "model/textfile.h"

namespace vanto {

int printText(Printer& printer, std::string_view text, const Font& wanted) {
    std::vector<std::string> lines = splitLines(text);
    // The text's final line end does not make an empty last line.
    if (!lines.empty() && lines.back().empty()) lines.pop_back();

    printer.resetScale();
    const double left = printer.scaleLeft() + PrintMargin;
    const double top = printer.scaleTop() + PrintMargin;
    const double width = std::max(printer.scaleWidth() - 2 * PrintMargin, 1.0);
    const double bottom = printer.scaleTop() + printer.scaleHeight() - PrintMargin;

    Font font = wanted;
    printer.setFont(font);
    double widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, printer.textWidth(line));
    if (widest > width && font.size > SmallestPrintSize) {
        font.size = std::max(SmallestPrintSize, font.size * width / widest);
        printer.setFont(font);
    }
    printer.setForeground(0);
    const double step = printer.textHeight("Xg");

    int pages = 1;
    double y = top;
    for (std::string line : lines) {
        bool feed = false;
        while (!line.empty() && line.front() == '\f') {
            line.erase(0, 1);
            feed = true;
        }
        if (y > top && (feed || y + step > bottom)) {
            printer.newPage();
            printer.setFont(font);
            printer.setForeground(0);
            ++pages;
            y = top;
        }
        if (!line.empty()) printer.text(left, y, line);
        y += step;
    }
    printer.endDocument();
    return pages;
}

}  // namespace vanto
