#pragma once
// A drawing surface that writes an SVG picture, for vanto-cli draw. Its user
// units are the surface's drawing units (twips unless a scale is set); the
// picture is W × H twips, shown at 1440 twips per inch.
//
// Exclusive-or drawing is written as ordinary drawing: a picture holds the
// finished drawing, not its rubber bands. A figure drawn after nextItem()
// carries the given attribute and number (data-node="3"). A figure with a
// coordinate that is not finite is left out. Text is placed by its baseline,
// one ascent of its font below the point asked for, which every reader of
// SVG takes alike.

#include <optional>
#include <string>

#include "model/surface.h"
#include "view/symbols.h"

namespace vanto::view {

class SvgSurface : public Surface, public ItemTags {
  public:
    SvgSurface(double widthTwips, double heightTwips);

    // The whole document.
    std::string document() const;

    double widthTwips() const override { return w_; }
    double heightTwips() const override { return h_; }
    void setScale(double left, double top, double width, double height) override;
    void resetScale() override { setScale(0, 0, w_, h_); }
    double scaleLeft() const override { return left_; }
    double scaleTop() const override { return top_; }
    double scaleWidth() const override { return sw_; }
    double scaleHeight() const override { return sh_; }
    void setForeground(Colour colour) override { fg_ = colour; }
    void setBackground(Colour colour) override { bg_ = colour; }
    void setPenMode(PenMode) override {}
    void setLineWidth(int pixels) override { lineWidth_ = pixels < 1 ? 1 : pixels; }
    void setLineStyle(LineStyle style) override { style_ = style; }
    void setFont(const Font& font) override { font_ = font; }
    void clear() override;
    void moveTo(double x, double y) override { cx_ = x, cy_ = y; }
    void line(double x1, double y1, double x2, double y2) override;
    void lineTo(double x, double y) override { line(cx_, cy_, x, y); }
    void point(double x, double y) override;
    void rectangle(double x1, double y1, double x2, double y2) override;
    void fillBox(double x1, double y1, double x2, double y2) override;
    void circle(double x, double y, double radius,
                std::optional<Colour> fill = std::nullopt) override;
    using Surface::text;
    void text(std::string_view utf8) override;
    double textWidth(std::string_view utf8) override;
    double textHeight(std::string_view utf8) override;

    void nextItem(const char* attribute, int number) override;

  private:
    // Twips from surface units.
    double X(double x) const { return (x - left_) * w_ / sw_; }
    double Y(double y) const { return (y - top_) * h_ / sh_; }
    std::string takeTag();
    // A figure left out: its tag goes with it.
    void skipped();
    std::string stroke() const;

    double w_, h_;
    double left_ = 0, top_ = 0, sw_ = 1, sh_ = 1;
    double cx_ = 0, cy_ = 0;
    Colour fg_ = 0, bg_ = 0xFFFFFF;
    int lineWidth_ = 1;
    LineStyle style_ = LineStyle::Solid;
    Font font_;
    std::string tag_;
    std::string body_;
};

}  // namespace vanto::view
