#include "reports/listing_import.h"

#include <gtest/gtest.h>

#include "model/textfile.h"
#include "reports/listing.h"
#include "reports/structures.h"
#include "support/fakes.h"
#include "support/load_cases.h"
#include "support/tempdir.h"
#include "support/thrown.h"

namespace vanto::reports {
namespace {

namespace fs = std::filesystem;
using test::FixedClock;
using test::TempDir;

const char* const dataFiles[] = {"DATOS.DAT",  "COORDENA.DAT", "BARRAS.DAT",
                                 "CARGAS.DAT", "COACCION.DAT", "TIPOS.DAT"};

// The listing of a structure, lines without their ends, to edit.
class Listing {
  public:
    explicit Listing(const std::string& text) : lines_(splitLines(text)) {}
    // Index of the line that begins with `start`.
    std::size_t find(const std::string& start) const {
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].rfind(start, 0) == 0) return i;
        ADD_FAILURE() << "no line begins with " << start;
        return 0;
    }
    // Replaces the first `from` in the line beginning with `start`.
    Listing& edit(const std::string& start, const std::string& from, const std::string& to) {
        std::string& l = lines_[find(start)];
        const std::size_t at = l.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) l.replace(at, from.size(), to);
        return *this;
    }
    Listing& erase(const std::string& start) {
        lines_.erase(lines_.begin() + long(find(start)));
        return *this;
    }
    Listing& truncateAt(const std::string& start) {
        lines_.resize(find(start));
        return *this;
    }
    // 1-based number of the line beginning with `start`.
    int lineOf(const std::string& start) const { return int(find(start)) + 1; }
    std::string text() const { return test::crlf(lines_); }

  private:
    std::vector<std::string> lines_;
};

class ListingImport : public ::testing::Test {
  protected:
    void SetUp() override {
        test::writeSample(source.path());
        listingPath = source / "listado.txt";
    }
    Listing sampleListing() { return Listing(dataListing(source.path(), clock)); }
    void import(const std::string& text) {
        source.write("listado.txt", text);
        listin(target.path(), listingPath, progress);
    }
    TempDir source, target;
    fs::path listingPath;
    FixedClock clock;
    NoProgress progress;
    test::SeparatorGuard point{'.'};
};

// Three cases and two combinations come back file for file; the results and
// case files of the old structure go.
TEST_F(ListingImport, LoadCasesComeBackFileForFile) {
    TempDir portico;
    test::writePortico(portico.path());
    test::writeThreeCases(portico.path(), 4, 3);
    writeDataListing(portico.path(), clock);
    for (const char* stale : {"CARGAS.H05", "INCOG.H02", "DIAGRAMA.C03", "ENVOLVEN.RES"})
        target.write(stale, "0\r\n");
    listin(target.path(), portico / "listado.txt", progress);
    for (const char* name : dataFiles)
        EXPECT_EQ(target.read(name), portico.read(name)) << name;
    for (const char* name : {"HIPOTESI.DAT", "CARGAS.H02", "CARGABAR.H02", "CARGAS.H03",
                             "CARGABAR.H03", "COMBINA.DAT"})
        EXPECT_EQ(target.read(name), portico.read(name)) << name;
    EXPECT_EQ(test::fileNames(target.path()).size(), 12u);

    // A listing whose cases do not hang together is refused, naming the line.
    const Listing listing(dataListing(portico.path(), clock));
    const struct {
        Listing edited;
        std::string message;
    } rows[] = {
        {Listing(listing).edit("  2 \"Servicio\"", " 1 0.6 1", " 1 0.6"),
         "la combinación tiene 2 coeficientes y debe tener uno por hipótesis, 3."},
        {Listing(listing).edit("CARGAS EN LAS BARRAS  (t/m, ºC)  HIPOTESIS 3", "3", "4"),
         "se esperaba la sección de las cargas en las barras de la hipótesis 3."},
        {Listing(listing).edit("  2 \"Viento X\"", "\"Viento X\"", "Viento X"),
         "falta el nombre, entre comillas."},
    };
    for (const auto& r : rows) {
        const auto e = test::thrown<ListingImportError>([&] { import(r.edited.text()); });
        ASSERT_TRUE(e) << r.message;
        EXPECT_NE(std::string(e->what()).find(r.message), std::string::npos) << e->what();
    }
}

TEST_F(ListingImport, OldMacintoshLineEndsReadAsAnyOther) {
    TempDir portico;
    test::writePortico(portico.path());
    writeDataListing(portico.path(), clock);
    std::string text = portico.read("listado.txt");
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at + 1, 1);
    portico.write("listado.txt", text);
    listin(target.path(), portico / "listado.txt", progress);
    for (const char* name : dataFiles)
        EXPECT_EQ(target.read(name), portico.read(name)) << name;
}

TEST_F(ListingImport, ReplacesOldDataAndResultsButKeepsTheDescription) {
    test::writePortico(target.path());
    target.write("incog.res", "1\r\n");
    target.write("DIAGRAMA.RES", "x\r\n");
    target.write("Resultad.res", "x\r\n");
    target.write("coordena.dat", "9\r\n");  // another spelling of a data file
    target.write("VIEJO.DAT", "x\r\n");
    target.write("NOTAS.DAT", "Pórtico de prueba.\r\n");
    target.write("matriz.lsc", "x\r\n");
    import(sampleListing().text());
    EXPECT_EQ(test::fileNames(target.path()),
              (std::vector<std::string>{"BARRAS.DAT", "CARGAS.DAT", "COACCION.DAT", "COORDENA.DAT",
                                        "DATOS.DAT", "NOTAS.DAT", "TIPOS.DAT", "matriz.lsc"}));
    EXPECT_EQ(target.read("NOTAS.DAT"), "Pórtico de prueba.\r\n");
    for (const char* name : {"DATOS.DAT", "COORDENA.DAT", "COACCION.DAT", "CARGAS.DAT"})
        EXPECT_EQ(target.read(name), source.read(name)) << name;
}

TEST_F(ListingImport, TypesInUseAreRenumberedAndTheBarsFollow) {
    // The sample lists types 2 and 3 (type 1 unused).
    import(sampleListing().text());
    const auto types = DiscoX::readTypes<float>(target.path());
    ASSERT_EQ(types.count, 2);
    EXPECT_EQ(types.names[1], "HA-25x40-------");
    EXPECT_EQ(types.names[2], "Chapa----------");
    EXPECT_FLOAT_EQ(types.values(2, A), 1001);  // as the listing shows it
    EXPECT_EQ(target.read("BARRAS.DAT"),
              "1,2,1,0,0,0,0,0,1,1\r\n"
              "3,2,2,90,-1.5,0.25,0,20,0.5,0\r\n");

    // Types 2 and 5 with a gap, bar 1 on the higher one.
    import(sampleListing()
               .edit("  3 Chapa", "  3", "  5")
               .edit("  1      1", "   2    0", "   5    0")
               .edit("  2      3", "   3   90", "   2   90")
               .text());
    EXPECT_EQ(DiscoX::readTypes<float>(target.path()).names[2], "Chapa----------");
    EXPECT_EQ(target.read("BARRAS.DAT"),
              "1,2,2,0,0,0,0,0,1,1\r\n"
              "3,2,1,90,-1.5,0.25,0,20,0.5,0\r\n");
}

TEST_F(ListingImport, EditedRestraintsAndLoads) {
    Listing l = sampleListing();
    // Node 3: LIBRE becomes fixed, a fixed DOF becomes free (lower case).
    l.edit("   3         LIBRE", "LIBRE", "0").edit("   3         0 ", "0.0000", "libre");
    // Node 2 loses its loads; node 1 gets some.
    import(l.erase("   2         2.000").text() + "1 0 0 -3,5 0 0 1.25\r\n");
    const auto r = DiscoX::readNodeValues(target.path(), DiscoX::NodeFile::Restraints, 3);
    const float expected3[] = {0, FreeMarker, -0.01f, FreeMarker, 0, FreeMarker};
    for (int k = 1; k <= 6; ++k)
        EXPECT_FLOAT_EQ(r(3, k), expected3[k - 1]) << k;
    for (int k = 1; k <= 6; ++k)
        EXPECT_FLOAT_EQ(r(2, k), FreeMarker) << k;
    std::string loads = "0\r\n0\r\n-3.5\r\n0\r\n0\r\n1.25\r\n";
    for (int i = 0; i < 12; ++i)
        loads += "0\r\n";
    EXPECT_EQ(target.read("CARGAS.DAT"), loads);
}

TEST_F(ListingImport, CommaListingImportsAsThePointOne) {
    import(sampleListing().text());
    const std::string pointFiles = test::snapshot(target.path());
    test::SeparatorGuard comma(',');
    import(sampleListing().text());
    EXPECT_EQ(test::snapshot(target.path()), pointFiles);
}

TEST_F(ListingImport, WideCoordinatesReadBack) {
    DiscoX::writeCoordinates(
        source.path(), test::tableOf(3, {{452345.125f, -12345.5f, 0}, {0, 0, 3}, {4, 0, 3}}), 3);
    import(sampleListing().text());
    EXPECT_EQ(target.read("COORDENA.DAT"), source.read("COORDENA.DAT"));
}

TEST_F(ListingImport, ReportsProgressPerNodeAndPerFile) {
    test::RecordingProgress recording;
    source.write("listado.txt", sampleListing().text());
    listin(target.path(), listingPath, recording);
    std::vector<test::RecordingProgress::Report> expected;
    for (int node = 1; node <= 3; ++node)
        expected.push_back({ImportReading, node, 3});
    // Six data files and the load cases (none here).
    for (int file = 1; file <= 7; ++file)
        expected.push_back({ImportWriting, file, 7});
    EXPECT_EQ(recording.reports, expected);
}

TEST_F(ListingImport, StopWhileReadingLeavesTheDirectory) {
    test::writePortico(target.path());
    const std::string before = test::snapshot(target.path());
    test::RecordingProgress stopping(2);
    source.write("listado.txt", sampleListing().text());
    listin(target.path(), listingPath, stopping);
    EXPECT_EQ(test::snapshot(target.path()), before);
    EXPECT_EQ(test::fileNames(target.path()).size(), 6u);
}

// A broken listing leaves the directory as it was and names the line.
class BrokenListing : public ListingImport {
  protected:
    void SetUp() override {
        ListingImport::SetUp();
        test::writePortico(target.path());
        target.write("INCOG.RES", "0\r\n");
        before = test::snapshot(target.path());
    }
    // The message of the refusal.
    std::string refusal(const std::string& text) {
        const auto e = test::thrown<ListingImportError>([&] { import(text); });
        EXPECT_TRUE(e) << "imported";
        EXPECT_EQ(test::snapshot(target.path()), before);
        EXPECT_EQ(test::fileNames(target.path()).size(), 7u);  // no staging directory left
        return e ? e->what() : "";
    }
    std::string before;
};

// Each case edits one line of the sample's listing. A message naming a line is
// checked whole after "Línea <n> del listado: ", n counted from the line
// beginning with `at` plus `offset`; the others are looked for in the message.
TEST_F(BrokenListing, RowsOutOfOrderOrNotMatchingTheCounts) {
    const Listing l = sampleListing();
    const struct {
        const char *line, *from, *to, *at;
        int offset;
        std::string message;
    } cases[] = {
        {"  2      3", "  2", "  3", "  2      3", 0,
         "se esperaba la barra nº 2 y figura la nº 3; las barras van numeradas en orden, sin "
         "saltos."},
        {"  2      3", "      3", "      7", "  2      3", 0,
         "la barra nº 2 usa el nudo 7, que no existe (hay 3 nudos)."},
        {"  2      3", "   3   90", "   4   90", "  2      3", 0,
         "la barra nº 2 es del tipo 4, que no figura en la sección \"TIPOS DE BARRAS\"."},
        {"  2      3", "-1.500", "-1.5OO", "  2      3", 0,
         "\"-1.5OO\" no es un número (carga vertical de la barra nº 2)."},
        {"  2      3", "0.50", "0.50 1", "  2      3", 0,
         "sobran palabras en la fila de la barra nº 2: se esperaban 11 y hay 12."},
        // Three bars announced, two listed: the empty line after them is not bar 3.
        {"Número de barras", "2", "3", "  2      3", 1, "faltan barras: se esperaban 3 y hay 2."},
        {"Número de barras", "2", "1", "  2      3", 0,
         "esta fila sobra: según la sección \"DATOS\", el número de barras es 1."},
        {"   1    0.000", "   2", "   3", "   1    0.000", 0,
         "se esperaba el nudo nº 2 y figura el nº 3; los nudos van numerados en orden, dos por "
         "fila."},
        {"   3    4.000", "4.000", "cuatro", "   3    4.000", 0,
         "\"cuatro\" no es un número (coordenada X del nudo nº 3)."},
        {"   3         LIBRE", "   3", "   9", "   3         LIBRE", 0,
         "el nudo 9 no existe (hay 3 nudos)."},
        {"   2         2.000", "   2", "   0", "   2         2.000", 0,
         "el nudo 0 no existe (hay 3 nudos)."},
        {"Nº tipos", "2", "1", nullptr, 0, "el número de tipos de barras usados es 1."},
        {"Número de puntos", "3", "4", nullptr, 0, "falta un valor: número del nudo nº 4."},
        {"Número de puntos", "3", "2", nullptr, 0,
         "la barra nº 2 usa el nudo 3, que no existe (hay 2 nudos)."},
        {"Nº tipos", "2", "40000", nullptr, 0,
         "el número de tipos de barras usados (40000) pasa del máximo, 32767."},
        {"Número de puntos", "3", "-3", nullptr, 0, "el número de puntos no puede ser negativo."},
        {"Número de puntos", "3", "2.5", nullptr, 0, "\"2.5\" no es un número entero"},
        // The odd last node alone: a second node there is one too many.
        {"   3    4.000", "3.000", "3.000  4 0 0 0", nullptr, 0,
         "sobran palabras en la fila de coordenadas"},
        {"   3         LIBRE", "LIBRE", "LIBR", nullptr, 0,
         "\"LIBR\" no es un número (coacción dX del nudo nº 3)"},
        {"  2 HA-25x40", "HA-25x40-------", "HA 25x40", nullptr, 0,
         "el nombre del tipo no puede contener espacios"},
        {"  2 HA-25x40", "HA-25x40", "HA\"25x40", nullptr, 0, "no puede contener comillas"},
    };
    for (const auto& c : cases) {
        const std::string message = refusal(Listing(l).edit(c.line, c.from, c.to).text());
        if (c.at)
            EXPECT_EQ(message, "Línea " + std::to_string(l.lineOf(c.at) + c.offset) +
                                   " del listado: " + c.message);
        else
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST_F(BrokenListing, MissingSectionOrShortFile) {
    Listing l = sampleListing();
    const std::string missing = refusal(Listing(l).erase("TIPOS DE BARRAS").text());
    EXPECT_NE(missing.find("El listado no tiene la sección \"TIPOS DE BARRAS\""), std::string::npos)
        << missing;
    Listing cut = Listing(l).truncateAt("  2      3");
    const std::string ended = refusal(cut.text());
    EXPECT_EQ(ended, "El listado termina (línea " + std::to_string(l.lineOf("  2      3") - 1) +
                         ") cuando faltan barras: se esperaban 2 y hay 1.");
    EXPECT_NE(refusal("").find("El listado no tiene la sección \"DATOS\""), std::string::npos);
}

TEST_F(BrokenListing, MissingListingFile) {
    const auto e = test::thrown<ListingImportError>(
        [&] { listin(target.path(), source / "no-existe.txt", progress); });
    ASSERT_TRUE(e);
    EXPECT_EQ(std::string(e->what()),
              "No existe el fichero: " + (source / "no-existe.txt").string());
    EXPECT_EQ(test::snapshot(target.path()), before);
}

}  // namespace
}  // namespace vanto::reports
