// The PDF writer and the calculation report, read back by poppler's tools as
// any reader of the documents would.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "calcreport/document.h"
#include "calcreport/pdf_surface.h"
#include "calcreport/report.h"
#include "calcreport/tables.h"
#include "diagrams/calculated.h"
#include "diagrams/extremes.h"
#include "model/helpers.h"
#include "model/textfile.h"
#include "reports/listing.h"
#include "support/cli_harness.h"
#include "support/load_cases.h"

namespace vanto::calcreport {
namespace {

namespace fs = std::filesystem;

// What a command printed on its standard output and error.
std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    ::pclose(pipe);
    return out;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> w;
    for (std::string s; in >> s;)
        w.push_back(s);
    return w;
}

fs::path calculatedSample(const std::string& name, const test::TempDir& into) {
    const fs::path dir = test::copySample(name, into);
    diagrams::calculate(dir);
    return dir;
}

// Two pages with Spanish text, lines, boxes and a circle: pdfinfo reads the
// page count and size without a complaint, pdftotext the text; widths follow
// Helvetica's metrics ("Vanto" is 2.613 em).
TEST(PdfSurface, ReadByPoppler) {
    test::TempDir dir;
    PdfSurface pdf;
    pdf.setTitle("Prueba");
    pdf.setFont({"Arial", 10, false});
    EXPECT_NEAR(pdf.textWidth("Vanto"), 26.13 * 20, 0.01);
    pdf.text(1440, 1440, "Cálculo: año 2º, 3 m² · (ñ)");
    pdf.line(0, 0, 5000, 5000);
    pdf.lineTo(6000, 2000);
    pdf.circle(3000, 3000, 500, rgb(255, 0, 0));
    pdf.newPage();
    pdf.setScale(0, 0, 100, 100);
    pdf.setFont({"Courier New", 12, true});
    pdf.text(10, 10, "Página 2");
    pdf.fillBox(10, 50, 90, 60);
    pdf.endDocument();
    EXPECT_EQ(pdf.pageCount(), 2);
    writeFileAtomically(dir / "a.pdf", pdf.bytes());
    const std::string info = run("pdfinfo " + (dir / "a.pdf").string());
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("595.28 x 841.89 pts (A4)"), std::string::npos) << info;
    EXPECT_EQ(info.find("rror"), std::string::npos) << info;
    const std::string text = run("pdftotext " + (dir / "a.pdf").string() + " -");
    EXPECT_NE(text.find("Cálculo: año 2º, 3 m² · (ñ)"), std::string::npos) << text;
    EXPECT_NE(text.find("Página 2"), std::string::npos) << text;

    // Every cross-reference entry points at its object, as a reader that
    // does not repair files needs.
    const std::string& b = pdf.bytes();
    const std::size_t xref = std::stoul(b.substr(b.rfind("startxref\n") + 10));
    ASSERT_EQ(b.compare(xref, 5, "xref\n"), 0);
    const std::size_t count = std::stoul(b.substr(xref + 7));
    const std::size_t first = b.find("\r\n", xref) + 2;  // past the free entry
    for (std::size_t n = 1; n < count; ++n) {
        const std::size_t offset = std::stoul(b.substr(first + (n - 1) * 20, 10));
        EXPECT_EQ(b.compare(offset, std::to_string(n).size() + 6, std::to_string(n) + " 0 obj"), 0)
            << n;
    }
}

// A table longer than a page goes on with its title and headings repeated;
// every page has its number of the total, every page after the first the
// header; the contents give each section's page.
TEST(Document, TablesBreakAcrossPages) {
    Document doc("Nave industrial", "pie");
    doc.contents();
    doc.section("1. Datos");
    Table t;
    t.title = "Cargas";
    t.captions = {"Nudo", "Valor\nt"};
    for (int r = 1; r <= 100; ++r)
        t.rows.push_back({std::to_string(r), std::to_string(r) + ".5"});
    doc.table(t);
    doc.section("2. Fin");
    ASSERT_EQ(doc.pageCount(), 4);
    PdfSurface pdf;
    NoProgress progress;
    ASSERT_TRUE(doc.render(pdf, progress, 1));
    test::TempDir dir;
    writeFileAtomically(dir / "d.pdf", pdf.bytes());
    auto page = [&](int p) {
        return run("pdftotext -layout -f " + std::to_string(p) + " -l " + std::to_string(p) + " " +
                   (dir / "d.pdf").string() + " -");
    };
    const std::vector<std::string> contents = words(page(1));
    for (const char* line : {"Datos 2", "Fin 4"}) {
        const std::vector<std::string> w = words(line);
        EXPECT_NE(std::search(contents.begin(), contents.end(), w.begin(), w.end()), contents.end())
            << line;
    }
    for (int p = 2; p <= 3; ++p) {
        const std::string text = page(p);
        EXPECT_NE(text.find("Nave industrial"), std::string::npos) << p;
        EXPECT_NE(text.find("Página " + std::to_string(p) + " de 4"), std::string::npos) << p;
        EXPECT_NE(text.find("Valor"), std::string::npos) << p;
    }
    EXPECT_EQ(page(2).find("Cargas (continuación)"), std::string::npos);
    EXPECT_NE(page(3).find("Cargas (continuación)"), std::string::npos);
    EXPECT_NE(page(3).find("100.5"), std::string::npos);
}

// The report's tables hold the listing's own numbers: every number of the
// displacement and end-force sections of Resultad.res appears in the PDF's
// text, in the listing's order; the reactions balance the loads.
TEST(CalculationReport, TablesHoldTheListingsNumbers) {
    test::TempDir work;
    const fs::path dir = calculatedSample("-Portico", work);
    test::FixedClock clock;
    NoProgress progress;
    const int pages = writeCalculationReport(dir, dir / "memoria.pdf", {}, progress, clock);
    const fs::path pdf = dir / "memoria.pdf";
    EXPECT_NE(run("pdfinfo " + pdf.string()).find("Pages:           " + std::to_string(pages)),
              std::string::npos);
    const std::vector<std::string> text = words(run("pdftotext -layout " + pdf.string() + " -"));

    const std::string listing = reports::resultsListing(dir, clock);
    std::vector<std::string> expected;
    for (const ListingSection& s : listingSections(listing))
        if (s.title.starts_with("DESPLAZAMIENTOS") || s.title.starts_with("FUERZAS EN EXTREMOS"))
            for (const std::string& row : s.rows)
                for (const std::string& w : words(row))
                    if (w.find_first_of("0123456789") != std::string::npos &&
                        w.find('(') == std::string::npos)
                        expected.push_back(w);
    // Four nodes of seven numbers; three bars of thirteen (the node numbers
    // of "1(or)" aside).
    ASSERT_EQ(expected.size(), 4u * 7 + 3u * 13);
    std::size_t at = 0;
    for (const std::string& w : expected) {
        const auto found = std::find(text.begin() + long(at), text.end(), w);
        ASSERT_NE(found, text.end()) << "falta " << w;
        at = std::size_t(found - text.begin()) + 1;
    }
    for (const char* title : {"MEMORIA DE CÁLCULO", "Reacciones", "Valores", "Deformada"})
        EXPECT_NE(std::find(text.begin(), text.end(), words(title)[0]), text.end()) << title;

    // 3 t/m over the 6 m beam and 2 t sideways: the supports give 18 t up and
    // 2 t back.
    const ResultTables r = resultTables(listing);
    double up = 0, side = 0;
    for (const auto& row : r.reactions.rows) {
        side += std::stod(row[1]);
        up += std::stod(row[3]);
    }
    EXPECT_NEAR(up, 18, 0.002);
    EXPECT_NEAR(side, -2, 0.002);

    // With load cases, the report is case 1's and says so, then lists the
    // cases and combinations and the envelope's extremes with the set giving
    // each: here the larger axial force of the two combinations.
    EXPECT_EQ(loadResultSet(dir, clock).caption, "");
    test::writeThreeCases(dir, 4, 3);
    diagrams::calculate(dir);
    EXPECT_EQ(loadResultSet(dir, clock).caption, "Hipótesis H01 Permanente");
    writeCalculationReport(dir, pdf, {}, progress, clock);
    std::string withCases;
    for (const std::string& w : words(run("pdftotext -layout " + pdf.string() + " -")))
        withCases += w + " ";
    std::pair<double, std::string> axial{-1e300, ""};
    for (const char* code : {"C01", "C02"}) {
        const auto data = diagrams::loadShownSet(dir, *diagrams::parseShownSet(code));
        axial =
            std::max(axial, {diagrams::diagramExtremes(data, 'X').max.value, std::string(code)});
    }
    for (const std::string& line :
         {std::string("H03 Temperatura"), std::string("Servicio 1·H01 + 0.6·H02 + 1·H03"),
          "Axil (t) " + fixedText(axial.first, 3)})
        EXPECT_NE(withCases.find(line), std::string::npos) << line;
    const std::size_t row = withCases.find("Axil (t) ");
    EXPECT_NE(withCases.find(axial.second, row), std::string::npos);
}

// Stopped while it writes its pages, the report writes nothing: the old
// file stays as it was.
TEST(CalculationReport, StoppedWritesNothing) {
    class StopAtPageTwo : public Progress {
      public:
        void report(int stage, long long current, long long) override {
            stop_ = stage == StagePages && current >= 2;
        }
        bool stopRequested() override { return stop_; }

      private:
        bool stop_ = false;
    } progress;
    test::TempDir work;
    const fs::path dir = calculatedSample("-Portico", work);
    writeFileAtomically(dir / "memoria.pdf", "anterior");
    test::FixedClock clock;
    EXPECT_EQ(writeCalculationReport(dir, dir / "memoria.pdf", {}, progress, clock), 0);
    EXPECT_EQ(readTextFile(dir / "memoria.pdf"), "anterior");
}

// A table longer than the limit keeps the rows of its extremes and says so.
TEST(CalculationReport, LongTablesAbridged) {
    Table t;
    t.captions = {"Nudo", "X"};
    t.rows = {{"1", "0.5"}, {"2", "-3.0"}, {"3", "1.0"}, {"4", "7.25"}, {"5", "0.0"}};
    abridge(t, 3, 1, "nudos", "listado.txt");
    EXPECT_EQ(t.rows, (std::vector<std::vector<std::string>>{{"2", "-3.0"}, {"4", "7.25"}}));
    ASSERT_FALSE(t.notes.empty());
    EXPECT_EQ(t.notes[0].rfind("Tabla abreviada: de sus 5 nudos se muestran 2,", 0), 0u)
        << t.notes[0];
}

// vanto-cli report writes DIR/memoria.pdf and names it; without results it
// refuses with the calculation's message, status 2, and writes nothing.
TEST(CalculationReport, CommandLine) {
    test::TempDir work;
    const fs::path raw = test::copySample("-Edificio", work);
    test::CliRun r = test::runCli({"report", raw.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Antes debe efectuar un cálculo de la estructura\n");
    EXPECT_FALSE(fs::exists(raw / "memoria.pdf"));

    const fs::path dir = calculatedSample("-Portico", work);
    r = test::runCli({"report", dir.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Memoria de cálculo escrita en " + (dir / "memoria.pdf").string(), 0), 0u)
        << r.out;
    EXPECT_EQ(readTextFile(dir / "memoria.pdf").value_or("").substr(0, 8), "%PDF-1.4");
}

}  // namespace
}  // namespace vanto::calcreport
