#pragma once
// Drawing surfaces and the printer, as the drawing logic sees them. The windows
// implement them over Qt (src/ui), tests with a recording fake.
//
// Units: a surface is measured in twips (1440 per inch) with the origin at the
// top left and v growing downwards, until setScale() gives it a user scale: the
// drawing area then runs from `left` to `left + width` across and from `top` to
// `top + height` down (a negative width or height flips that axis). Circle radii
// are measured in horizontal units. Line widths are in pixels of a 96-dpi
// screen; no mark is ever drawn smaller than one device pixel.
//
// Colours are red + 256·green + 65536·blue (model/helpers.h). Text and lines
// take the foreground colour; clear() fills with the background colour.
//
// In PenMode::Xor every pixel drawn is combined with the picture by exclusive
// or with the foreground colour, so drawing the same figure twice restores the
// picture. A printer draws Xor as Copy. Transient marks (what is picked, a
// rubber band) go instead to an overlay: a surface over a kept picture whose
// clear() leaves it transparent, so the picture is never redrawn for them.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/helpers.h"

namespace vanto {

enum class PenMode { Copy, Xor };
enum class LineStyle { Solid, Dash, Dot };

// A line from (x1, y1) to (x2, y2).
struct Segment {
    double x1, y1, x2, y2;
};

struct Font {
    std::string name = "Arial";
    double size = 8;  // points
    bool bold = false;
    bool operator==(const Font&) const = default;
};

class Surface {
  public:
    virtual ~Surface() = default;

    // The whole area in twips, whatever the scale.
    virtual double widthTwips() const = 0;
    virtual double heightTwips() const = 0;

    virtual void setScale(double left, double top, double width, double height) = 0;
    // Back to twips from the top left.
    virtual void resetScale() = 0;
    virtual double scaleLeft() const = 0;
    virtual double scaleTop() const = 0;
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;

    virtual void setForeground(Colour colour) = 0;
    virtual void setBackground(Colour colour) = 0;
    virtual void setPenMode(PenMode mode) = 0;
    virtual void setLineWidth(int pixels) = 0;
    virtual void setLineStyle(LineStyle style) = 0;
    virtual void setFont(const Font& font) = 0;

    // Fills the area with the background colour; the current point goes to the
    // top left.
    virtual void clear() = 0;
    virtual void moveTo(double x, double y) = 0;
    // A line; the current point ends at (x2, y2).
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    // Many lines in one colour, as line() one after the other would draw them;
    // a surface may draw them in one go, which is much faster for thousands.
    virtual void lines(std::span<const Segment> segments) {
        for (const Segment& s : segments)
            line(s.x1, s.y1, s.x2, s.y2);
    }
    // A line from the current point.
    virtual void lineTo(double x, double y) = 0;
    virtual void point(double x, double y) = 0;
    // The outline of the box with corners (x1, y1) and (x2, y2).
    virtual void rectangle(double x1, double y1, double x2, double y2) = 0;
    // The same box filled with the foreground colour.
    virtual void fillBox(double x1, double y1, double x2, double y2) = 0;
    // Outline in the foreground colour, inside filled with `fill` if given.
    virtual void circle(double x, double y, double radius,
                        std::optional<Colour> fill = std::nullopt) = 0;
    // Text with its top left corner at the current point, which then moves to
    // the text's right end.
    virtual void text(std::string_view utf8) = 0;
    virtual double textWidth(std::string_view utf8) = 0;
    virtual double textHeight(std::string_view utf8) = 0;

    void text(double x, double y, std::string_view utf8) {
        moveTo(x, y);
        text(utf8);
    }
};

// The default printer: a surface per page, measured like any surface from the
// page's printable area.
class Printer : public Surface {
  public:
    virtual void newPage() = 0;
    // Ends the document and hands it over (to the printer, or to its file).
    virtual void endDocument() = 0;
};

// A progress bar: fills, in the foreground colour, the box from the picture's
// left edge to value × (width / total), over the picture's full height.
// Callers clear the picture when they start.
inline void DrawProgress(Surface& picture, float value, float total) {
    if (!(total > 0) || !(value > 0)) return;
    const double fraction = value > total ? 1.0 : double(value) / double(total);
    const double left = picture.scaleLeft();
    const double top = picture.scaleTop();
    picture.fillBox(left, top, left + picture.scaleWidth() * fraction, top + picture.scaleHeight());
}

}  // namespace vanto
