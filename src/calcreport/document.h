#pragma once
// A paged document of headings, paragraphs, tables and figures, laid out on
// A4 pages with a running header (the structure's name) and footer (program,
// date, "Página n de N"), then drawn on any printer.
//
// Layout is done first, without drawing: so the total of pages and the page
// of every section are known before the first page is drawn (the contents
// list and the footers use them). Tables break across pages with their title
// and column headings repeated; groups of rows (a bar's two ends) stay
// together. A figure has a page of its own.
//
// Lengths are twips of the page (1440 per inch), from its top left corner.

#include <functional>
#include <string>
#include <vector>

#include "model/platform.h"
#include "model/surface.h"

namespace vanto::calcreport {

struct Box {
    double left, top, width, height;
};

struct Table {
    std::string title;                  // above the table, repeated on every page
    std::vector<std::string> captions;  // column headings; "\n" starts a second line
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> leftAligned;   // per column; the others (numbers) are right-aligned
    int rowsPerGroup = 1;            // rows kept on one page and shaded alike
    std::vector<std::string> notes;  // lines in small type under the table
};

// Draws a figure inside `area` of a page (the page's scale is reset to twips).
using FigureDrawing = std::function<void(Surface& page, const Box& area)>;

class Document {
  public:
    Document(std::string header, std::string footer);

    // The title page's parts: a line of large type, centred.
    void title(std::string text, double points);
    // A numbered chapter; it starts a page and is listed in the contents.
    void section(std::string title);
    // Plain text wrapped to the text width; "\n" starts a new paragraph.
    void paragraph(std::string text, double points = 9, bool bold = false);
    void table(Table table);
    // The list of sections with their pages.
    void contents();
    // A page of its own: the caption on top, the drawing, the notes below.
    void figure(std::string caption, std::vector<std::string> notes, FigureDrawing draw);

    // Lays the document out (once) and gives its number of pages.
    int pageCount();
    // Draws every page on `printer` (its first page is open) and ends the
    // document; reports (stage, page, pages) and stops, returning false,
    // when asked to.
    bool render(Printer& printer, Progress& progress, int stage);

  private:
    enum class Kind { Title, Section, Paragraph, Table, Contents, Figure };
    struct Block {
        Kind kind;
        std::string text{};
        double points = 9;
        bool bold = false;
        Table table{};
        std::vector<std::string> notes{};
        FigureDrawing draw{};
        std::vector<double> widths{};  // a table's columns
        double tablePoints = 8;        // a table's type size
    };
    // A piece of a block on a page: lines or rows [first, last) from `top`.
    struct Piece {
        int page;
        double top;
        std::size_t block;
        std::size_t first, last;
    };

    void layout();
    void layoutTable(Block& b, std::size_t index, double& y);
    void layoutLines(std::size_t index, std::size_t lines, double lineHeight, double& y);
    void newPage(double& y);
    void drawPiece(Surface& page, const Piece& piece);
    void drawTable(Surface& page, const Block& b, const Piece& piece);
    void drawHeaderAndFooter(Surface& page, int pageNumber);
    std::vector<std::string> wrappedLines(const Block& b) const;

    std::string header_, footer_;
    std::vector<Block> blocks_;
    std::vector<Piece> pieces_;
    std::vector<std::pair<std::string, int>> sections_;  // title and page
    int pages_ = 0;
    bool laidOut_ = false;
};

// A number with `decimals` decimals and the locale's separator, as the
// listings write theirs; never "-0".
std::string fixedText(double value, int decimals);

}  // namespace vanto::calcreport
