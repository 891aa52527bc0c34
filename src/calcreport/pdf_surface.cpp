#include "calcreport/pdf_surface.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include <zlib.h>

#include "model/structure.h"

namespace vanto::calcreport {

namespace {

// The objects every document has; pages and their contents follow.
enum : int { CatalogObject = 1, PagesObject, ResourcesObject, InfoObject, FirstPageObject };

// A number as the content streams write it: at most two decimals, which is
// a hundredth of a point.
void appendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) v = 0;
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    if (ec != std::errc()) {
        out += '0';
        return;
    }
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.') --end;
    const std::string_view s(buf, std::size_t(end - buf));
    out += s == "-0" ? "0" : s;
}

// The zlib stream of `text`; empty when zlib refuses, and the stream is
// then written as it is.
std::string deflate(const std::string& text) {
    uLongf size = compressBound(uLong(text.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(text.data()), uLong(text.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

void appendColour(std::string& out, Colour c, const char* op) {
    for (int shift = 0; shift <= 16; shift += 8) {
        appendNumber(out, double((c >> shift) & 0xFF) / 255);
        out += ' ';
    }
    out += op;
    out += '\n';
}

// A PDF literal string of WinAnsi bytes.
std::string literal(std::string_view bytes) {
    std::string s = "(";
    for (char c : bytes) {
        if (c == '(' || c == ')' || c == '\\') s += '\\';
        if (c == '\r') {
            s += "\\r";
            continue;
        }
        s += c;
    }
    return s + ")";
}

bool finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

PdfSurface::PdfSurface(double widthTwips, double heightTwips)
    : w_(widthTwips), h_(heightTwips), offsets_(FirstPageObject, 0) {
    resetScale();
    // The second line's bytes above 127 mark the file as binary.
    out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
}

void PdfSurface::setScale(double left, double top, double width, double height) {
    left_ = left, top_ = top;
    sw_ = width == 0 ? 1 : width;
    sh_ = height == 0 ? 1 : height;
}

void PdfSurface::strokeState() {
    const bool changed = stroke_ != fg_ || streamWidth_ != lineWidth_ || streamStyle_ != style_;
    if (!changed) return;
    if (pathEnd_) {
        page_ += "S\n";
        pathEnd_.reset();
    }
    if (stroke_ != fg_) appendColour(page_, fg_, "RG");
    if (streamWidth_ != lineWidth_) {
        // A pixel of a 96-dpi screen.
        appendNumber(page_, lineWidth_ * 0.75);
        page_ += " w\n";
    }
    if (streamStyle_ != style_)
        page_ += style_ == LineStyle::Dash  ? "[4.5 2.25] 0 d\n"
                 : style_ == LineStyle::Dot ? "[0.75 1.5] 0 d\n"
                                            : "[] 0 d\n";
    stroke_ = fg_;
    streamWidth_ = lineWidth_;
    streamStyle_ = style_;
}

void PdfSurface::fillColour(Colour colour) {
    if (pathEnd_) {
        page_ += "S\n";
        pathEnd_.reset();
    }
    if (fill_ == colour) return;
    appendColour(page_, colour, "rg");
    fill_ = colour;
}

void PdfSurface::clear() {
    fillColour(bg_);
    page_ += "0 0 ";
    appendNumber(page_, w_ / 20);
    page_ += ' ';
    appendNumber(page_, h_ / 20);
    page_ += " re f\n";
    cx_ = left_, cy_ = top_;
}

void PdfSurface::line(double x1, double y1, double x2, double y2) {
    cx_ = x2, cy_ = y2;
    const double a = X(x1), b = Y(y1), c = X(x2), d = Y(y2);
    if (!finite({a, b, c, d})) return;
    strokeState();
    // A line that starts where the last one ended continues its path.
    if (!pathEnd_ || std::abs(pathEnd_->first - a) > 0.005 ||
        std::abs(pathEnd_->second - b) > 0.005) {
        if (pathEnd_) page_ += "S\n";
        appendNumber(page_, a);
        page_ += ' ';
        appendNumber(page_, b);
        page_ += " m ";
    }
    appendNumber(page_, c);
    page_ += ' ';
    appendNumber(page_, d);
    page_ += " l\n";
    pathEnd_ = {c, d};
}

void PdfSurface::point(double x, double y) {
    cx_ = x, cy_ = y;
    const double a = X(x), b = Y(y);
    if (!finite({a, b})) return;
    fillColour(fg_);
    appendNumber(page_, a - 0.375);
    page_ += ' ';
    appendNumber(page_, b - 0.375);
    page_ += " 0.75 0.75 re f\n";
}

void PdfSurface::rectangle(double x1, double y1, double x2, double y2) {
    const double a = std::min(X(x1), X(x2)), b = std::min(Y(y1), Y(y2));
    const double w = std::abs(X(x2) - X(x1)), h = std::abs(Y(y2) - Y(y1));
    if (!finite({a, b, w, h})) return;
    strokeState();
    if (pathEnd_) {
        page_ += "S\n";
        pathEnd_.reset();
    }
    for (double v : {a, b, w, h}) {
        appendNumber(page_, v);
        page_ += ' ';
    }
    page_ += "re S\n";
}

void PdfSurface::fillBox(double x1, double y1, double x2, double y2) {
    const double a = std::min(X(x1), X(x2)), b = std::min(Y(y1), Y(y2));
    const double w = std::abs(X(x2) - X(x1)), h = std::abs(Y(y2) - Y(y1));
    if (!finite({a, b, w, h}) || w == 0 || h == 0) return;
    fillColour(fg_);
    for (double v : {a, b, w, h}) {
        appendNumber(page_, v);
        page_ += ' ';
    }
    page_ += "re f\n";
}

void PdfSurface::circle(double x, double y, double radius, std::optional<Colour> fill) {
    const double cx = X(x), cy = Y(y), r = std::abs(radius * w_ / sw_) / 20;
    if (!finite({cx, cy, r})) return;
    if (fill) fillColour(*fill);
    strokeState();
    if (pathEnd_) {
        page_ += "S\n";
        pathEnd_.reset();
    }
    // Four Bézier quarters; k places their control points.
    const double k = 0.5523 * r;
    auto pt = [&](double u, double v) {
        appendNumber(page_, cx + u);
        page_ += ' ';
        appendNumber(page_, cy + v);
        page_ += ' ';
    };
    pt(r, 0);
    page_ += "m ";
    const double q[4][6] = {
        {r, k, k, r, 0, r}, {-k, r, -r, k, -r, 0}, {-r, -k, -k, -r, 0, -r}, {k, -r, r, -k, r, 0}};
    for (const auto& c : q) {
        pt(c[0], c[1]);
        pt(c[2], c[3]);
        pt(c[4], c[5]);
        page_ += "c\n";
    }
    page_ += fill ? "b\n" : "s\n";
}

void PdfSurface::text(std::string_view utf8) {
    const PdfFont f = pdfFontOf(font_);
    const std::string bytes = winAnsi(utf8);
    const double size = font_.size > 0 ? font_.size : 1;
    const double x = X(cx_), baseline = Y(cy_) - verticalMetrics(f).ascent * size / 1000;
    cx_ += textWidthUnits(f, bytes) * size / 1000 * 20 * sw_ / w_;
    if (!finite({x, baseline}) || bytes.empty()) return;
    fillColour(fg_);
    page_ += "BT /F";
    page_ += char('1' + int(f));
    page_ += ' ';
    appendNumber(page_, size);
    page_ += " Tf ";
    appendNumber(page_, x);
    page_ += ' ';
    appendNumber(page_, baseline);
    page_ += " Td " + literal(bytes) + " Tj ET\n";
}

double PdfSurface::textWidth(std::string_view utf8) {
    return textWidthPoints(font_, utf8) * 20 * std::abs(sw_) / w_;
}

double PdfSurface::textHeight(std::string_view) {
    const VerticalMetrics m = verticalMetrics(pdfFontOf(font_));
    return (m.ascent + m.descent) / 1000 * font_.size * 20 * std::abs(sh_) / h_;
}

int PdfSurface::beginObject() {
    const int n = int(offsets_.size());
    offsets_.push_back(out_.size());
    out_ += std::to_string(n) + " 0 obj\n";
    return n;
}

void PdfSurface::finishPage() {
    if (pathEnd_) {
        page_ += "S\n";
        pathEnd_.reset();
    }
    const int contents = beginObject();
    // Figures of large structures run to megabytes of drawing operators;
    // deflated they take a quarter of that.
    const std::string deflated = deflate(page_);
    if (deflated.empty()) {
        out_ += "<< /Length " + std::to_string(page_.size()) + " >>\nstream\n";
        out_ += page_;
    } else {
        out_ +=
            "<< /Length " + std::to_string(deflated.size()) + " /Filter /FlateDecode >>\nstream\n";
        out_ += deflated;
    }
    out_ += "\nendstream\nendobj\n";
    const int page = beginObject();
    out_ += "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
    appendNumber(out_, w_ / 20);
    out_ += ' ';
    appendNumber(out_, h_ / 20);
    out_ += "] /Resources 3 0 R /Contents " + std::to_string(contents) + " 0 R >>\nendobj\n";
    pages_.push_back(page);
    page_.clear();
    stroke_.reset();
    fill_.reset();
    streamWidth_ = 0;
    streamStyle_.reset();
}

void PdfSurface::newPage() {
    if (ended_) return;
    finishPage();
    cx_ = left_, cy_ = top_;
}

void PdfSurface::endDocument() {
    if (ended_) return;
    finishPage();
    ended_ = true;
    auto fixed = [&](int n) {
        offsets_[std::size_t(n)] = out_.size();
        out_ += std::to_string(n) + " 0 obj\n";
    };
    fixed(ResourcesObject);
    out_ += "<< /Font <<";
    for (int f = 0; f < PdfFontCount; ++f)
        out_ += " /F" + std::to_string(f + 1) + " << /Type /Font /Subtype /Type1 /BaseFont /" +
                baseFontName(PdfFont(f)) + " /Encoding /WinAnsiEncoding >>";
    out_ += " >> >>\nendobj\n";
    fixed(PagesObject);
    out_ += "<< /Type /Pages /Count " + std::to_string(pages_.size()) + " /Kids [";
    for (std::size_t i = 0; i < pages_.size(); ++i)
        out_ += (i % 10 ? " " : "\n") + std::to_string(pages_[i]) + " 0 R";
    out_ += "] >>\nendobj\n";
    fixed(InfoObject);
    // The title in PDFDocEncoding, which agrees with WinAnsi on every
    // accented letter of Spanish.
    out_ += "<< /Producer " + literal(VersionText) + " /Title " + literal(winAnsi(title_));
    if (!date_.empty()) out_ += " /CreationDate (D:" + date_ + ")";
    out_ += " >>\nendobj\n";
    fixed(CatalogObject);
    out_ += "<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";

    const std::size_t xref = out_.size();
    out_ += "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f\r\n";
    char entry[32];
    for (std::size_t n = 1; n < offsets_.size(); ++n) {
        std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", offsets_[n]);
        out_ += entry;
    }
    out_ += "trailer\n<< /Size " + std::to_string(offsets_.size()) +
            " /Root 1 0 R /Info 4 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

}  // namespace vanto::calcreport
