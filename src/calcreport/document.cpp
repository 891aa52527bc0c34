#include "calcreport/document.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "calcreport/pdf_fonts.h"
#include "calcreport/pdf_surface.h"
#include "model/helpers.h"

namespace vanto::calcreport {

namespace {

// The page: A4, margins of 20 mm left and 18 mm right, the header above the
// body and the footer below it.
constexpr double PageWidth = A4WidthTwips, PageHeight = A4HeightTwips;
constexpr double Left = 1134, TextWidth = PageWidth - Left - 1020;
constexpr double HeaderTop = 620, BodyTop = 1150;
constexpr double BodyBottom = PageHeight - 1000, FooterTop = PageHeight - 800;

constexpr double TwipsPerPoint = 20;
constexpr double CellPadding = 90;
constexpr double TablePoints = 8, SmallestTablePoints = 6;
constexpr double TitlePoints = 9;
constexpr double SectionPoints = 14;

constexpr Colour Black = rgb(0, 0, 0);
constexpr Colour Grey = rgb(110, 110, 110);
constexpr Colour HeadingShade = rgb(222, 228, 238);
constexpr Colour RowShade = rgb(243, 243, 243);
constexpr Colour SectionInk = rgb(0, 50, 110);

double lineHeight(double points) {
    return points * TwipsPerPoint * 1.3;
}
double rowHeight(double points) {
    return points * TwipsPerPoint * 1.4;
}
double tableTitleHeight() {
    return lineHeight(TitlePoints) + 60;
}
double widthOf(const std::string& s, double points, bool bold) {
    return textWidthPoints(Font{"Arial", points, bold}, s) * TwipsPerPoint;
}

std::vector<std::string> splitOn(const std::string& s, char c) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = s.find(c, from)) != std::string::npos; from = at + 1)
        parts.push_back(s.substr(from, at - from));
    parts.push_back(s.substr(from));
    return parts;
}

std::size_t headingLines(const Table& t) {
    std::size_t n = 1;
    for (const std::string& c : t.captions)
        n = std::max(n, splitOn(c, '\n').size());
    return n;
}

// A table whose captions are all empty has no heading row.
bool hasHeading(const Table& t) {
    for (const std::string& c : t.captions)
        if (!c.empty()) return true;
    return false;
}

double headingHeight(const Table& t, double points) {
    if (!hasHeading(t)) return 0;
    return double(headingLines(t)) * points * TwipsPerPoint * 1.2 + 80;
}

// Words of `text` in lines no wider than `width`.
std::vector<std::string> wrap(const std::string& text, double points, bool bold, double width) {
    std::vector<std::string> lines;
    for (const std::string& paragraph : splitOn(text, '\n')) {
        std::string line;
        for (const std::string& word : splitOn(paragraph, ' ')) {
            if (word.empty()) continue;
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && widthOf(longer, points, bold) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = longer;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string fixedText(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string s = buf;
    if (s.starts_with('-') && s.find_first_of("123456789") == std::string::npos) s.erase(0, 1);
    const std::size_t point = s.find('.');
    if (point != std::string::npos) s[point] = decimalSeparator();
    return s;
}

Document::Document(std::string header, std::string footer)
    : header_(std::move(header)), footer_(std::move(footer)) {}

void Document::title(std::string text, double points) {
    blocks_.push_back(
        {.kind = Kind::Title, .text = std::move(text), .points = points, .bold = true});
}

void Document::section(std::string title) {
    blocks_.push_back({.kind = Kind::Section, .text = std::move(title), .points = SectionPoints});
}

void Document::paragraph(std::string text, double points, bool bold) {
    blocks_.push_back(
        {.kind = Kind::Paragraph, .text = std::move(text), .points = points, .bold = bold});
}

void Document::table(Table t) {
    std::vector<std::string> notes = std::move(t.notes);
    t.leftAligned.resize(t.captions.size(), false);
    blocks_.push_back({.kind = Kind::Table, .table = std::move(t)});
    for (std::string& n : notes)
        paragraph(std::move(n), 7.5);
}

void Document::contents() {
    blocks_.push_back({.kind = Kind::Contents, .points = 10});
}

void Document::figure(std::string caption, std::vector<std::string> notes, FigureDrawing draw) {
    blocks_.push_back({.kind = Kind::Figure,
                       .text = std::move(caption),
                       .notes = std::move(notes),
                       .draw = std::move(draw)});
}

std::vector<std::string> Document::wrappedLines(const Block& b) const {
    return wrap(b.text, b.points, b.bold, TextWidth);
}

void Document::newPage(double& y) {
    ++pages_;
    y = BodyTop;
}

void Document::layoutLines(std::size_t index, std::size_t lines, double height, double& y) {
    std::size_t first = 0;
    while (first < lines) {
        if (y + height > BodyBottom) newPage(y);
        const std::size_t fit = std::max<std::size_t>(1, std::size_t((BodyBottom - y) / height));
        const std::size_t last = std::min(lines, first + fit);
        pieces_.push_back({pages_, y, index, first, last});
        y += double(last - first) * height;
        first = last;
    }
}

void Document::layoutTable(Block& b, std::size_t index, double& y) {
    const Table& t = b.table;
    // Each column as wide as its widest text; a table too wide for the page
    // gets smaller type.
    auto natural = [&](double points) {
        std::vector<double> w(t.captions.size(), 0);
        for (std::size_t c = 0; c < w.size(); ++c) {
            for (const std::string& line : splitOn(t.captions[c], '\n'))
                w[c] = std::max(w[c], widthOf(line, points, true));
            for (const auto& row : t.rows)
                if (c < row.size()) w[c] = std::max(w[c], widthOf(row[c], points, false));
            w[c] += 2 * CellPadding;
        }
        return w;
    };
    b.tablePoints = TablePoints;
    b.widths = natural(TablePoints);
    double total = 0;
    for (double w : b.widths)
        total += w;
    if (total > TextWidth) {
        b.tablePoints = std::max(SmallestTablePoints, TablePoints * TextWidth / total);
        b.widths = natural(b.tablePoints);
    }
    const std::size_t per = std::size_t(std::max(1, t.rowsPerGroup));
    const double head = tableTitleHeight() + headingHeight(t, b.tablePoints);
    const double group = rowHeight(b.tablePoints) * double(per);
    const std::size_t groups = (t.rows.size() + per - 1) / per;
    // The title and headings never stand alone at the foot of a page.
    if (y + head + double(std::min<std::size_t>(groups, 3)) * group > BodyBottom) newPage(y);
    std::size_t g = 0;
    do {
        const std::size_t fit = std::max(1.0, std::floor((BodyBottom - y - head) / group));
        const std::size_t take = std::min(std::size_t(fit), groups - g);
        pieces_.push_back({pages_, y, index, g * per, std::min(t.rows.size(), (g + take) * per)});
        y += head + double(take) * group;
        g += take;
        if (g < groups) newPage(y);
    } while (g < groups);
    y += 200;
}

void Document::layout() {
    if (laidOut_) return;
    laidOut_ = true;
    pages_ = 0;
    double y = 0;
    newPage(y);
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        Block& b = blocks_[i];
        switch (b.kind) {
            case Kind::Title:
                layoutLines(i, wrappedLines(b).size(), lineHeight(b.points), y);
                y += 120;
                break;
            case Kind::Section:
                if (y > BodyTop) newPage(y);
                sections_.push_back({b.text, pages_});
                pieces_.push_back({pages_, y, i, 0, 1});
                y += lineHeight(SectionPoints) + 260;
                break;
            case Kind::Paragraph:
                layoutLines(i, wrappedLines(b).size(), lineHeight(b.points), y);
                y += lineHeight(b.points) * 0.5;
                break;
            case Kind::Table:
                layoutTable(b, i, y);
                break;
            case Kind::Contents: {
                std::size_t n = 0;
                for (const Block& other : blocks_)
                    n += other.kind == Kind::Section;
                layoutLines(i, n, lineHeight(b.points) * 1.2, y);
                break;
            }
            case Kind::Figure:
                // A figure may share its page with the heading of its section.
                if (y > BodyTop && !(i > 0 && blocks_[i - 1].kind == Kind::Section)) newPage(y);
                pieces_.push_back({pages_, y, i, 0, 1});
                y = BodyBottom + 1;  // the next block starts a page
                break;
        }
    }
}

int Document::pageCount() {
    layout();
    return pages_;
}

bool Document::render(Printer& printer, Progress& progress, int stage) {
    layout();
    std::size_t next = 0;
    for (int p = 1; p <= pages_; ++p) {
        if (p > 1) printer.newPage();
        printer.resetScale();
        printer.setPenMode(PenMode::Copy);
        drawHeaderAndFooter(printer, p);
        for (; next < pieces_.size() && pieces_[next].page == p; ++next)
            drawPiece(printer, pieces_[next]);
        progress.report(stage, p, pages_);
        if (progress.stopRequested()) return false;
    }
    printer.endDocument();
    return true;
}

void Document::drawHeaderAndFooter(Surface& page, int p) {
    page.setLineStyle(LineStyle::Solid);
    page.setLineWidth(1);
    page.setForeground(Grey);
    page.setFont({"Arial", 8, false});
    if (p > 1) {
        page.setFont({"Arial", 8, true});
        page.text(Left, HeaderTop, header_);
        page.setFont({"Arial", 8, false});
        const std::string right = "Memoria de cálculo";
        page.text(Left + TextWidth - page.textWidth(right), HeaderTop, right);
        page.line(Left, HeaderTop + 230, Left + TextWidth, HeaderTop + 230);
    }
    page.line(Left, FooterTop - 60, Left + TextWidth, FooterTop - 60);
    page.text(Left, FooterTop, footer_);
    const std::string number = "Página " + std::to_string(p) + " de " + std::to_string(pages_);
    page.text(Left + TextWidth - page.textWidth(number), FooterTop, number);
}

void Document::drawPiece(Surface& page, const Piece& piece) {
    const Block& b = blocks_[piece.block];
    double y = piece.top;
    switch (b.kind) {
        case Kind::Title:
        case Kind::Paragraph: {
            const std::vector<std::string> lines = wrappedLines(b);
            page.setForeground(Black);
            page.setFont({"Arial", b.points, b.bold});
            for (std::size_t k = piece.first; k < piece.last; ++k, y += lineHeight(b.points)) {
                const double x = b.kind == Kind::Title
                                     ? Left + (TextWidth - page.textWidth(lines[k])) / 2
                                     : Left;
                page.text(x, y, lines[k]);
            }
            break;
        }
        case Kind::Section:
            page.setForeground(SectionInk);
            page.setFont({"Arial", SectionPoints, true});
            page.text(Left, y, b.text);
            page.setLineWidth(2);
            page.line(Left, y + lineHeight(SectionPoints), Left + TextWidth,
                      y + lineHeight(SectionPoints));
            page.setLineWidth(1);
            break;
        case Kind::Table:
            drawTable(page, b, piece);
            break;
        case Kind::Contents: {
            page.setForeground(Black);
            page.setFont({"Arial", b.points, false});
            const double h = lineHeight(b.points) * 1.2;
            for (std::size_t k = piece.first; k < piece.last; ++k, y += h) {
                const auto& [title, pageNumber] = sections_[k];
                const std::string number = std::to_string(pageNumber);
                const double right = Left + TextWidth * 0.8;
                page.text(Left + TextWidth * 0.2, y, title);
                page.text(right - page.textWidth(number), y, number);
            }
            break;
        }
        case Kind::Figure: {
            page.setForeground(Black);
            page.setFont({"Arial", 10, true});
            page.text(Left, y, b.text);
            const double noteHeight = lineHeight(8);
            const double top = y + lineHeight(10) + 120;
            const double bottom = BodyBottom - double(b.notes.size()) * noteHeight - 120;
            const Box area{Left, top, TextWidth, bottom - top};
            b.draw(page, area);
            page.resetScale();
            page.setPenMode(PenMode::Copy);
            page.setLineStyle(LineStyle::Solid);
            page.setLineWidth(1);
            page.setForeground(Black);
            page.setFont({"Arial", 8, false});
            double ny = bottom + 120;
            for (const std::string& note : b.notes) {
                page.text(Left, ny, note);
                ny += noteHeight;
            }
            break;
        }
    }
}

void Document::drawTable(Surface& page, const Block& b, const Piece& piece) {
    const Table& t = b.table;
    const double pts = b.tablePoints;
    double total = 0;
    for (double w : b.widths)
        total += w;
    double y = piece.top;
    page.setForeground(Black);
    page.setFont({"Arial", TitlePoints, true});
    page.text(Left, y, piece.first > 0 ? t.title + " (continuación)" : t.title);
    y += tableTitleHeight();

    // A cell's text inside the column from x, width w, its top at `top`.
    auto cell = [&](const std::string& s, std::size_t c, double x, double top) {
        const double w = b.widths[c];
        const double at =
            t.leftAligned[c] ? x + CellPadding : x + w - CellPadding - page.textWidth(s);
        page.text(at, top, s);
    };
    const double head = headingHeight(t, pts);
    double x = Left;
    if (head > 0) {
        page.setForeground(HeadingShade);
        page.fillBox(Left, y, Left + total, y + head);
        page.setForeground(Black);
        page.setFont({"Arial", pts, true});
        for (std::size_t c = 0; c < t.captions.size(); x += b.widths[c], ++c) {
            double top = y + 40;
            for (const std::string& line : splitOn(t.captions[c], '\n')) {
                cell(line, c, x, top);
                top += pts * TwipsPerPoint * 1.2;
            }
        }
        y += head;
    }
    page.setLineWidth(1);
    page.setForeground(Grey);
    page.line(Left, y, Left + total, y);

    const double rh = rowHeight(pts);
    const int per = std::max(1, t.rowsPerGroup);
    page.setFont({"Arial", pts, false});
    const double lift = (rh - page.textHeight("0")) / 2;
    for (std::size_t r = piece.first; r < piece.last; ++r, y += rh) {
        if ((r / std::size_t(per)) % 2 == 1) {
            page.setForeground(RowShade);
            page.fillBox(Left, y, Left + total, y + rh);
        }
        page.setForeground(Black);
        x = Left;
        const auto& row = t.rows[r];
        for (std::size_t c = 0; c < row.size() && c < b.widths.size(); x += b.widths[c], ++c)
            cell(row[c], c, x, y + lift);
    }
    page.setForeground(Grey);
    page.line(Left, y, Left + total, y);
}

}  // namespace vanto::calcreport
