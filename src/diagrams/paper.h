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

#include "diagrams/bar_detail.h"
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

}  // namespace vanto::diagrams
