#pragma once
// A printer that writes a PDF document, so that a report can be made without
// a window system: vanto-cli and the program share it.
//
// Pages are `widthTwips` × `heightTwips` (A4 portrait unless told). Text is
// set in the standard PDF fonts (pdf_fonts.h), which every reader has, so no
// font is embedded; its top sits at the current point, as on the screen.
// Exclusive-or drawing is written as ordinary drawing. Content streams are
// written uncompressed: the program links no compression library.
//
// Using it: draw on the first page, newPage() for each further one, then
// endDocument() and take bytes().

#include <optional>
#include <string>
#include <vector>

#include "calcreport/pdf_fonts.h"
#include "model/surface.h"

namespace vanto::calcreport {

inline constexpr double A4WidthTwips = 210 / 25.4 * 1440;
inline constexpr double A4HeightTwips = 297 / 25.4 * 1440;

class PdfSurface : public Printer {
  public:
    explicit PdfSurface(double widthTwips = A4WidthTwips, double heightTwips = A4HeightTwips);

    // The document's title and creation date ("YYYYMMDD"), for its properties.
    void setTitle(const std::string& utf8) { title_ = utf8; }
    void setDate(const std::string& yyyymmdd) { date_ = yyyymmdd; }

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

    void newPage() override;
    void endDocument() override;

    int pageCount() const { return int(pages_.size()) + (ended_ ? 0 : 1); }
    // The whole file once endDocument() has been called.
    const std::string& bytes() const { return out_; }

  private:
    // Points from surface units; PDF's y grows upwards from the page's foot.
    double X(double x) const { return (x - left_) * w_ / sw_ / 20; }
    double Y(double y) const { return (h_ - (y - top_) * h_ / sh_) / 20; }
    void strokeState();
    void fillColour(Colour colour);
    void finishPage();
    int beginObject();

    double w_, h_;
    double left_ = 0, top_ = 0, sw_ = 1, sh_ = 1;
    double cx_ = 0, cy_ = 0;
    Colour fg_ = 0, bg_ = 0xFFFFFF;
    int lineWidth_ = 1;
    LineStyle style_ = LineStyle::Solid;
    Font font_;
    std::string title_, date_;

    // What the page's content stream has set, to write each change once.
    std::optional<Colour> stroke_, fill_;
    int streamWidth_ = 0;
    std::optional<LineStyle> streamStyle_;
    // The page's open path: the pen's position in points, to join lines.
    std::optional<std::pair<double, double>> pathEnd_;

    std::string page_;                  // content stream of the open page
    std::vector<int> pages_;            // object numbers of the finished pages
    std::vector<std::size_t> offsets_;  // byte offset of each object, from 1
    std::string out_;
    bool ended_ = false;
};

}  // namespace vanto::calcreport
