#include "view/svg_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "model/textfile.h"

namespace vanto::view {

namespace {

// A length in twips as written: at most two decimals, no trailing zeros.
std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string colour(Colour c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", unsigned(c & 0xFF), unsigned((c >> 8) & 0xFF),
                  unsigned((c >> 16) & 0xFF));
    return buf;
}

std::string escaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A 96-dpi pixel in twips.
constexpr double PixelTwips = 15;

bool finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// The ascent of a font in ems, as its stand-in on this system has it; text
// is placed by its baseline, one ascent below its top.
double ascentOf(const std::string& font) {
    if (font == "Courier New") return 0.833;    // Liberation Mono
    if (font == "Letter Gothic") return 0.928;  // DejaVu Sans Mono
    return 0.905;                               // Arial, Liberation Sans
}

}  // namespace

SvgSurface::SvgSurface(double widthTwips, double heightTwips) : w_(widthTwips), h_(heightTwips) {
    resetScale();
}

void SvgSurface::setScale(double left, double top, double width, double height) {
    left_ = left, top_ = top;
    sw_ = width == 0 ? 1 : width;
    sh_ = height == 0 ? 1 : height;
}

std::string SvgSurface::document() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(w_ / 1440) +
           "in\" height=\"" + num(h_ / 1440) + "in\" viewBox=\"0 0 " + num(w_) + " " + num(h_) +
           "\">\n";
    out += body_;
    out += "</svg>\n";
    return out;
}

void SvgSurface::nextItem(const char* attribute, int number) {
    tag_ = std::string(" ") + attribute + "=\"" + std::to_string(number) + "\"";
}

void SvgSurface::skipped() {
    tag_.clear();
}

std::string SvgSurface::takeTag() {
    return std::exchange(tag_, {});
}

std::string SvgSurface::stroke() const {
    std::string s =
        " stroke=\"" + colour(fg_) + "\" stroke-width=\"" + num(lineWidth_ * PixelTwips) + "\"";
    if (style_ == LineStyle::Dash) s += " stroke-dasharray=\"90 45\"";
    if (style_ == LineStyle::Dot) s += " stroke-dasharray=\"15 30\"";
    return s;
}

void SvgSurface::clear() {
    body_ = "<rect x=\"0\" y=\"0\" width=\"" + num(w_) + "\" height=\"" + num(h_) + "\" fill=\"" +
            colour(bg_) + "\"/>\n";
    tag_.clear();
    cx_ = left_, cy_ = top_;
}

void SvgSurface::line(double x1, double y1, double x2, double y2) {
    if (!finite({X(x1), Y(y1), X(x2), Y(y2)})) {
        skipped();
        cx_ = x2, cy_ = y2;
        return;
    }
    body_ += "<line" + takeTag() + " x1=\"" + num(X(x1)) + "\" y1=\"" + num(Y(y1)) + "\" x2=\"" +
             num(X(x2)) + "\" y2=\"" + num(Y(y2)) + "\"" + stroke() + "/>\n";
    cx_ = x2, cy_ = y2;
}

void SvgSurface::point(double x, double y) {
    cx_ = x, cy_ = y;
    if (!finite({X(x), Y(y)})) return skipped();
    body_ += "<rect" + takeTag() + " x=\"" + num(X(x)) + "\" y=\"" + num(Y(y)) + "\" width=\"" +
             num(PixelTwips) + "\" height=\"" + num(PixelTwips) + "\" fill=\"" + colour(fg_) +
             "\"/>\n";
}

void SvgSurface::rectangle(double x1, double y1, double x2, double y2) {
    if (!finite({X(x1), Y(y1), X(x2), Y(y2)})) return skipped();
    const double a = std::min(X(x1), X(x2)), b = std::min(Y(y1), Y(y2));
    body_ += "<rect" + takeTag() + " x=\"" + num(a) + "\" y=\"" + num(b) + "\" width=\"" +
             num(std::abs(X(x2) - X(x1))) + "\" height=\"" + num(std::abs(Y(y2) - Y(y1))) +
             "\" fill=\"none\"" + stroke() + "/>\n";
}

void SvgSurface::fillBox(double x1, double y1, double x2, double y2) {
    if (!finite({X(x1), Y(y1), X(x2), Y(y2)})) return skipped();
    const double a = std::min(X(x1), X(x2)), b = std::min(Y(y1), Y(y2));
    body_ += "<rect" + takeTag() + " x=\"" + num(a) + "\" y=\"" + num(b) + "\" width=\"" +
             num(std::abs(X(x2) - X(x1))) + "\" height=\"" + num(std::abs(Y(y2) - Y(y1))) +
             "\" fill=\"" + colour(fg_) + "\"/>\n";
}

void SvgSurface::circle(double x, double y, double radius, std::optional<Colour> fill) {
    if (!finite({X(x), Y(y), radius * w_ / sw_})) return skipped();
    body_ += "<circle" + takeTag() + " cx=\"" + num(X(x)) + "\" cy=\"" + num(Y(y)) + "\" r=\"" +
             num(std::abs(radius * w_ / sw_)) + "\" fill=\"" +
             (fill ? colour(*fill) : std::string("none")) + "\"" + stroke() + "/>\n";
}

void SvgSurface::text(std::string_view utf8) {
    const double size = font_.size * 20, baseline = Y(cy_) + ascentOf(font_.name) * size;
    if (finite({X(cx_), baseline}))
        body_ += "<text" + takeTag() + " x=\"" + num(X(cx_)) + "\" y=\"" + num(baseline) +
                 "\" font-family=\"" + escaped(font_.name) + "\" font-size=\"" + num(size) + "\"" +
                 (font_.bold ? " font-weight=\"bold\"" : "") + " fill=\"" + colour(fg_) + "\">" +
                 escaped(utf8) + "</text>\n";
    cx_ += textWidth(utf8);
}

double SvgSurface::textWidth(std::string_view utf8) {
    // An average character of 0.6 em; the picture's reader lays the text out.
    return double(characterCount(utf8)) * font_.size * 20 * 0.6 * sw_ / w_;
}

double SvgSurface::textHeight(std::string_view) {
    return font_.size * 20 * 1.2 * sh_ / h_;
}

}  // namespace vanto::view
