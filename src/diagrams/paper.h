#pragma once
// Diagrams on white paper. The screen draws on black, and its yellow, cyan,
// light green and white vanish on paper: printColour maps every screen
// colour to one that reads on white (the same hue, darker), the structure's
// bars to black; and no printed text is smaller than 7 pt.
//
// PaperSurface applies these rules to any drawing code: it forwards every
// call to the surface below (a printer page, a PDF page), changing only the
// colours and the font sizes on the way.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "diagrams/bar_detail.h"
#include "model/platform.h"
#include "model/surface.h"

namespace vanto::diagrams {

inline constexpr double SmallestPrintedPoints = 7;

// The colour a screen colour prints in.
Colour printColour(Colour screen);

class PaperSurface : public Surface {
  public:
    // With `ink`, everything is drawn in that one colour (a structure in
    // black under its diagrams); otherwise colours go through printColour.
    explicit PaperSurface(Surface& paper, std::optional<Colour> ink = std::nullopt)
        : paper_(paper), ink_(ink) {}

    double widthTwips() const override { return paper_.widthTwips(); }
    double heightTwips() const override { return paper_.heightTwips(); }
    void setScale(double left, double top, double width, double height) override {
        paper_.setScale(left, top, width, height);
    }
    void resetScale() override { paper_.resetScale(); }
    double scaleLeft() const override { return paper_.scaleLeft(); }
    double scaleTop() const override { return paper_.scaleTop(); }
    double scaleWidth() const override { return paper_.scaleWidth(); }
    double scaleHeight() const override { return paper_.scaleHeight(); }
    void setForeground(Colour colour) override {
        paper_.setForeground(ink_.value_or(printColour(colour)));
    }
    // Paper stays white.
    void setBackground(Colour) override { paper_.setBackground(rgb(255, 255, 255)); }
    void setPenMode(PenMode) override { paper_.setPenMode(PenMode::Copy); }
    void setLineWidth(int pixels) override { paper_.setLineWidth(pixels); }
    void setLineStyle(LineStyle style) override { paper_.setLineStyle(style); }
    void setFont(const Font& font) override;
    // A clear would blacken nothing on paper: it is left out.
    void clear() override {}
    void moveTo(double x, double y) override { paper_.moveTo(x, y); }
    void line(double x1, double y1, double x2, double y2) override { paper_.line(x1, y1, x2, y2); }
    void lineTo(double x, double y) override { paper_.lineTo(x, y); }
    void point(double x, double y) override { paper_.point(x, y); }
    void rectangle(double x1, double y1, double x2, double y2) override {
        paper_.rectangle(x1, y1, x2, y2);
    }
    void fillBox(double x1, double y1, double x2, double y2) override {
        paper_.fillBox(x1, y1, x2, y2);
    }
    void circle(double x, double y, double radius, std::optional<Colour> fill) override;
    using Surface::text;
    void text(std::string_view utf8) override { paper_.text(utf8); }
    double textWidth(std::string_view utf8) override { return paper_.textWidth(utf8); }
    double textHeight(std::string_view utf8) override { return paper_.textHeight(utf8); }

  private:
    Surface& paper_;
    std::optional<Colour> ink_;
};

// Node or bar numbers for paper, in `points`-pt type (at least 7): node
// numbers in dark blue beside their node, up and to the right; bar numbers
// in dark red on a white box at the bar's midpoint. Positions are those of
// the view (index 0 unused), multiplied by c like every drawn point; numbers
// outside the surface are left out.
void paperNumberLabels(Surface& paper, std::span<const view::ScreenPoint> positions, Numbered what,
                       double c, double points = SmallestPrintedPoints);

// The title block of a printed page: the structure, what is drawn, the
// scales, the units and the date.
struct TitleBlock {
    std::string structure;  // the structure directory
    std::string contents;   // "Diagramas: Flector Z, Axil (hipótesis 1)"
    std::string scale;      // "Escala diagramas: 0.25 m por t, m·t o cm"
    std::string units;      // "Unidades: t, m·t; deformada en cm"
    Date date;
};
// Draws `t` boxed on white across the foot of the page's drawing area.
void drawTitleBlock(Surface& page, const TitleBlock& t);
// The height the block takes on `page`.
double titleBlockHeight(Surface& page);
// Print2D: the detail of `bar` (drawBarDetail) on `page` above the title
// block, as wide as `percent` of the page and 0.6 of that high.
void printBarDetail(Surface& page, const DiagramData& data, int bar, const std::string& codes,
                    int percent, const TitleBlock& title);

// "07/12/2026".
std::string dateText(const Date& d);
// "12.60": two decimals, "." and no "-0.00".
std::string valueText(double value);

// A surface that draws nothing and measures the box of what would be drawn
// on a surface of the given scale: lines, points, boxes and circles; texts
// are not measured. Empty (left > right) until something is drawn.
class ExtentSurface : public Surface {
  public:
    ExtentSurface(double W, double H, double twipsW, double twipsH)
        : W_(W), H_(H), twipsW_(twipsW), twipsH_(twipsH) {}
    double left = 1, top = 1, right = 0, bottom = 0;
    bool empty() const { return left > right; }

    double widthTwips() const override { return twipsW_; }
    double heightTwips() const override { return twipsH_; }
    void setScale(double l, double t, double width, double height) override {
        L_ = l, T_ = t, W_ = width, H_ = height;
    }
    void resetScale() override {}
    double scaleLeft() const override { return L_; }
    double scaleTop() const override { return T_; }
    double scaleWidth() const override { return W_; }
    double scaleHeight() const override { return H_; }
    void setForeground(Colour) override {}
    void setBackground(Colour) override {}
    void setPenMode(PenMode) override {}
    void setLineWidth(int) override {}
    void setLineStyle(LineStyle) override {}
    void setFont(const Font&) override {}
    void clear() override {}
    void moveTo(double x, double y) override { x_ = x, y_ = y; }
    void line(double x1, double y1, double x2, double y2) override;
    void lineTo(double x, double y) override { line(x_, y_, x, y); }
    void point(double x, double y) override { take(x, y); }
    void rectangle(double x1, double y1, double x2, double y2) override { line(x1, y1, x2, y2); }
    void fillBox(double x1, double y1, double x2, double y2) override { line(x1, y1, x2, y2); }
    void circle(double x, double y, double r, std::optional<Colour>) override;
    using Surface::text;
    void text(std::string_view) override {}
    double textWidth(std::string_view) override { return 0; }
    double textHeight(std::string_view) override { return 0; }

  private:
    void take(double x, double y);
    double L_ = 0, T_ = 0, W_, H_, twipsW_, twipsH_;
    double x_ = 0, y_ = 0;
};

}  // namespace vanto::diagrams
