#include "diagrams/paper.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "diagrams/picture.h"

namespace vanto::diagrams {

namespace {

constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Black = rgb(0, 0, 0);

// Screen colours with a print colour of their own: the light ones of the
// palette and of the diagram kinds, each to a darker colour of its hue.
struct Mapped {
    Colour screen, paper;
};
constexpr Mapped mapped[] = {
    {White, Black},
    {BarColour, Black},
    {rgb(192, 192, 192), rgb(96, 96, 96)},   // light grey
    {rgb(255, 255, 0), rgb(176, 128, 0)},    // yellow: the deformed shape
    {rgb(0, 255, 255), rgb(0, 128, 176)},    // cyan: Flector Y, node marks
    {rgb(128, 255, 128), rgb(0, 150, 75)},   // light green: Flector Z
    {rgb(128, 128, 255), rgb(90, 70, 210)},  // lavender: Torsor
    {rgb(0, 255, 0), rgb(0, 150, 0)},        // green: bar marks and labels
    {rgb(255, 0, 255), rgb(176, 0, 176)},    // magenta
    {rgb(255, 192, 128), rgb(200, 100, 0)},  // apricot: the local-y deflection
};

// Above this luma a colour is too pale to read as a thin line on white.
constexpr double PalestLuma = 110;

}  // namespace

Colour printColour(Colour screen) {
    for (const Mapped& m : mapped)
        if (m.screen == screen) return m.paper;
    const double r = screen & 0xFF, g = screen >> 8 & 0xFF, b = screen >> 16 & 0xFF;
    const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
    if (luma <= PalestLuma) return screen;
    const double k = PalestLuma / luma;
    return rgb(int(std::lround(r * k)), int(std::lround(g * k)), int(std::lround(b * k)));
}

void PaperSurface::setFont(const Font& font) {
    Font f = font;
    f.size = std::max(f.size, SmallestPrintedPoints);
    paper_.setFont(f);
}

void PaperSurface::circle(double x, double y, double radius, std::optional<Colour> fill) {
    if (fill) fill = ink_.value_or(printColour(*fill));
    paper_.circle(x, y, radius, fill);
}

void paperNumberLabels(Surface& paper, std::span<const view::ScreenPoint> positions, Numbered what,
                       double c, double points) {
    const double left = paper.scaleLeft(), top = paper.scaleTop();
    const double right = left + paper.scaleWidth(), bottom = top + paper.scaleHeight();
    // One point in the surface's units, across and down.
    const double ux = paper.scaleWidth() / paper.widthTwips() * 20;
    const double uy = paper.scaleHeight() / paper.heightTwips() * 20;
    const bool bars = what == Numbered::Bars;
    const Colour ink = bars ? rgb(128, 0, 0) : rgb(0, 0, 128);
    paper.setPenMode(PenMode::Copy);
    paper.setLineStyle(LineStyle::Solid);
    paper.setLineWidth(1);
    paper.setFont({"Arial", std::max(points, SmallestPrintedPoints), false});
    for (std::size_t k = 1; k < positions.size(); ++k) {
        const double x = positions[k].u * c, y = positions[k].v * c;
        if (!(x >= left && x <= right && y >= top && y <= bottom)) continue;
        const std::string t = std::to_string(k);
        const double w = paper.textWidth(t), h = paper.textHeight(t);
        if (bars) {
            const double x1 = x - w / 2 - ux, y1 = y - h / 2, x2 = x + w / 2 + ux, y2 = y + h / 2;
            paper.setForeground(White);
            paper.fillBox(x1, y1, x2, y2);
            paper.setForeground(ink);
            paper.rectangle(x1, y1, x2, y2);
            paper.text(x - w / 2, y1, t);
        } else {
            paper.setForeground(ink);
            paper.text(x + 1.5 * ux, y - 1.5 * uy - h, t);
        }
    }
}

}  // namespace vanto::diagrams
