#include "diagrams/paper.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

void printBarDetail(Surface& page, const DiagramData& data, int bar, const std::string& codes,
                    int percent, const TitleBlock& title) {
    const double PW = page.scaleWidth(), PH = page.scaleHeight();
    const double room = PH - titleBlockHeight(page);
    const double p = std::clamp(percent, 1, 100) / 100.0;
    const double W = PW * p, H = std::min(0.6 * W, room * p);
    PaperSurface paper(page);
    paper.setLineWidth(1);
    drawBarDetail(data, bar, paper, {page.scaleLeft(), page.scaleTop(), W, H}, {codes, true});
    drawTitleBlock(page, title);
}

std::string dateText(const Date& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.day, d.month, d.year);
    return buf;
}

std::string valueText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    std::string s = buf;
    if (s == "-0.00") s.erase(0, 1);
    return s;
}

double titleBlockHeight(Surface& page) {
    page.setFont({"Arial", 10, true});
    const double h = page.textHeight("Ág");
    return 3 * h + 4 * h / 3;
}

void drawTitleBlock(Surface& page, const TitleBlock& t) {
    const double left = page.scaleLeft(), top = page.scaleTop();
    const double W = page.scaleWidth(), bottom = top + page.scaleHeight();
    page.setPenMode(PenMode::Copy);
    page.setLineStyle(LineStyle::Solid);
    page.setLineWidth(1);
    const double blockTop = bottom - titleBlockHeight(page);
    const double h = page.textHeight("Ág"), pad = h / 3;
    const double middle = left + 0.62 * W;
    // Over whatever a zoomed picture left beyond its frame.
    page.setForeground(White);
    page.fillBox(left, blockTop, left + W, bottom);
    page.setForeground(Black);
    page.rectangle(left, blockTop, left + W, bottom);
    page.line(left, blockTop + h + 2 * pad, left + W, blockTop + h + 2 * pad);
    page.line(middle, blockTop + h + 2 * pad, middle, bottom);
    page.setFont({"Arial", 10, true});
    page.text(left + pad, blockTop + pad, t.structure);
    page.setFont({"Arial", 9, false});
    const double row2 = blockTop + h + 3 * pad, row3 = row2 + h + pad;
    page.text(left + pad, row2, t.contents);
    page.text(left + pad, row3, t.scale);
    page.text(middle + pad, row2, t.units);
    page.text(middle + pad, row3, "Fecha: " + dateText(t.date));
}

void ExtentSurface::take(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (empty()) {
        left = right = x, top = bottom = y;
        return;
    }
    left = std::min(left, x), right = std::max(right, x);
    top = std::min(top, y), bottom = std::max(bottom, y);
}

void ExtentSurface::line(double x1, double y1, double x2, double y2) {
    take(x1, y1), take(x2, y2);
    x_ = x2, y_ = y2;
}

void ExtentSurface::circle(double x, double y, double r, std::optional<Colour>) {
    take(x - r, y - r), take(x + r, y + r);
}

}  // namespace vanto::diagrams
