// The PDF writer and the calculation report, read back by poppler's tools as
// any reader of the documents would.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "analysis/calculation.h"
#include "calcreport/pdf_surface.h"
#include "calcreport/report.h"
#include "calcreport/tables.h"
#include "model/helpers.h"
#include "model/textfile.h"
#include "reports/listing.h"
#include "support/cli_harness.h"
#include "support/fakes.h"

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

class Quiet : public analysis::CalcObserver {
  public:
    void report(int, long long, long long) override {}
};

fs::path calculatedSample(const std::string& name, const test::TempDir& into) {
    const fs::path dir = test::copySample(name, into);
    Quiet quiet;
    test::FixedClock clock;
    analysis::runCalculation(dir, {}, quiet, clock);
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
