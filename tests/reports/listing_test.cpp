#include "reports/listing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/textfile.h"
#include "reports/structures.h"
#include "support/tempdir.h"
#include "support/thrown.h"

namespace vanto::reports {
namespace {

using test::crlf;
using test::FixedClock;
using test::TempDir;

std::vector<std::string> headerLines(const TempDir& dir) {
    return {"Programa: Vanto 2.11", std::string(79, '_'), "Proyecto: " + dir.path().string(),
            "Fecha (d-m-a): 07-03-2024"};
}

class DataListing : public ::testing::Test {
  protected:
    void SetUp() override { test::writeSample(dir.path()); }
    TempDir dir;
    FixedClock clock;
    test::SeparatorGuard point{'.'};
};

TEST_F(DataListing, WholeText) {
    auto expected = headerLines(dir);
    const std::vector<std::string> body = {
        "", "", "DATOS", "",  //
        "Número de puntos..........=  3 ", "Número de barras..........=  2 ",
        "Nº tipos barras usadas....=  2 ",
        // 1000·3/10000·2500 + 1000.5·4/10000·7850
        "Peso de la estructura (kg)=  3891.57 ",  //
        "", "", "CARACTERISTICAS DE LAS BARRAS", "",
        "Barra Inic Fin Tipo Ang(º) Carga.V CargOrtY CargOrtZ(t/m) DeltTºC EmpOR EmpEX", "",
        "  1      1    2   2    0     0.000    0.000    0.000        0.00   1.00  1.00",
        // Bar 2 keeps its own order of nodes.
        "  2      3    2   3   90    -1.500    0.250    0.000       20.00   0.50  0.00",  //
        "", "", "COORDENADAS DE LOS NODOS   (en m.)", "",
        "Nudo  Abcis.X  Orden.Y  Altur.Z                 Nudo  Abcis.X  Orden.Y  Altur.Z", "",
        "   1    0.000    0.000    0.000                    2    0.000    0.000    3.000",
        "   3    4.000    0.000    3.000",  // an odd count leaves the last node alone
        "", "", "TIPOS DE BARRAS", "",
        " Nº     Nombre     AreaCm2 InerZcm4 InerYcm4 MTorCm4 MYt/c2 mu  Tk/c2 K/m3 mm/kº", "",
        // Type 1 is unused; A = 1000 takes the decimal patterns, A = 1000.5 the whole ones.
        "  2 HA-25x40------- 1000.0  83333.3  20833.3  50000.0  300 0.20   175 2500 10.0",
        "  3 Chapa----------   1001   123457    65432     2346 2100 0.30  3600 7850 12.0",  //
        "", "", "COACCIONES EN LOS NUDOS   (en m.)", "",
        "Nudo           dX          dY          dZ          gX          gY          gZ", "",
        // Node 2 is free and left out, as unloaded nodes are from the loads.
        "   1        0.0000      0.0000      0.0000      0.0000      0.0000      0.0000  ",
        "   3         LIBRE      0.0000     -0.0100       LIBRE      0.0000       LIBRE  ",  //
        "", "", "CARGAS EN LOS NUDOS  (t, m·t)", "",
        "Nudo       Carga X     Carga Y     Carga Z     Momto.X     Momto.Y     Momto.Z", "",
        "   2         2.000       0.000      -5.000       0.000       0.750       0.000"};
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(dataListing(dir.path(), clock), crlf(expected));
}

TEST_F(DataListing, WrittenFileIsTheListingWithCrLf) {
    dir.write("LISTADO.TXT", "viejo");
    writeDataListing(dir.path(), clock);
    EXPECT_EQ(dir.read("listado.txt"), dataListing(dir.path(), clock));
    EXPECT_FALSE(std::filesystem::exists(dir / "LISTADO.TXT"));
}

// The message of each kind is checked with the files themselves.
TEST(DataListingFaults, MissingAndDamagedFilesRaiseFileError) {
    TempDir dir;
    auto kind = [&] {
        const auto e = test::thrown<FileError>([&] { dataListing(dir.path(), FixedClock()); });
        return e ? int(e->kind()) : -1;
    };
    EXPECT_EQ(kind(), int(FileError::Kind::Missing));  // no DATOS.DAT
    test::writeSample(dir.path());
    std::filesystem::remove(dir / "COACCION.DAT");
    EXPECT_EQ(kind(), int(FileError::Kind::Missing));
    test::writeSample(dir.path());
    dir.write("BARRAS.DAT", "1,2,2,0,0,0,0,0,1,1\r\n");
    EXPECT_EQ(kind(), int(FileError::Kind::Damaged));
    dir.write("DATOS.DAT", "\"Otro 1.0\"\r\n3\r\n2\r\n");
    EXPECT_NE(kind(), -1);
}

// One bar of length `length` along X with a type of area `area` and specific
// weight `pe`: its weight is area·length/10000·pe.
void writeOneBar(const TempDir& dir, float length, float area, float pe, int type = 1) {
    DiscoX::writeDatos(dir.path(), 2, 1);
    DiscoX::writeCoordinates(dir.path(), test::tableOf(3, {{0, 0, 0}, {length, 0, 0}}), 2);
    DiscoX::writeBars(dir.path(), test::tableOf(10, {{1, 2, float(type), 0, 0, 0, 0, 0, 1, 1}}), 1);
    test::writeTypeRows(dir.path(), {{{0, area, 1, 1, 1, 2100000, 0.3f, 2600, pe, 0.012f}, "T"}});
    for (const auto file : {DiscoX::NodeFile::Restraints, DiscoX::NodeFile::Loads})
        DiscoX::writeNodeValues(dir.path(), file, Table<float>(2, 6), 2);
}

std::string weightLine(const TempDir& dir) {
    for (const auto& l : splitLines(dataListing(dir.path(), FixedClock())))
        if (l.rfind("Peso", 0) == 0) return l;
    return {};
}

TEST(DataListingWeight, SevenSignificantDigitsNoExponentAndNoneForAnUndefinedType) {
    TempDir dir;
    test::SeparatorGuard point('.');
    const struct {
        float length, area, pe;
        const char* weight;
    } cases[] = {{500, 1, 1, "  0.05 "},           {10, 3000, 7850, "  23550 "},
                 {1000, 5000, 7850, "  3925000 "}, {9000, 9999, 7850, "  70642940 "},
                 {3, 1, 1, "  0.0003 "},           {3, 1, -7, " -0.0021 "},
                 {1, 125, 1000, "  12.5 "}};
    // 9000·9999/10000·7850 = 70642935: seven digits kept; a negative weight keeps its sign.
    for (const auto& c : cases) {
        writeOneBar(dir, c.length, c.area, c.pe);
        EXPECT_EQ(weightLine(dir), "Peso de la estructura (kg)=" + std::string(c.weight));
    }
    // A bar of an undefined type is listed but not weighed.
    writeOneBar(dir, 10, 3000, 7850, 9);
    const std::string text = dataListing(dir.path(), FixedClock());
    EXPECT_NE(text.find("Peso de la estructura (kg)=  0 \r\n"), std::string::npos);
    EXPECT_NE(text.find("Nº tipos barras usadas....=  0 \r\n"), std::string::npos);
    EXPECT_NE(text.find("  1      1    2   9"), std::string::npos);
}

class ResultsListing : public DataListing {};

TEST_F(ResultsListing, NotCalculated) {
    EXPECT_EQ(
        resultsListing(dir.path(), clock),
        crlf(headerLines(dir)) + "Todavía no está efectuado el cálculo de la estructura.\r\n");
    writeResultsListing(dir.path(), clock);
    EXPECT_EQ(dir.read("Resultad.res"), resultsListing(dir.path(), clock));
}

TEST_F(ResultsListing, WholeText) {
    test::writeSampleResults(dir.path());
    auto expected = headerLines(dir);
    const std::vector<std::string> body = {
        "", "", "RESULTADOS", "",  //
        "", "", "DESPLAZAMIENTOS DE LOS NUDOS (m., rad.)", "",
        "Nudo       Despl.X    Despl.Y    Despl.Z         Giro X     Giro Y     Giro Z ", "",
        "   1      0.000E+00  0.000E+00  0.000E+00      0.000E+00  0.000E+00  0.000E+00",
        "   2      1.235E-03 -2.500E-05  0.000E+00      1.500E-04 -3.100E-03  7.260E-06",
        "   3      2.100E-03  0.000E+00 -1.000E-02      0.000E+00  0.000E+00  1.100E-03",  //
        "", "", "FUERZAS EN EXTREMOS DE LAS BARRAS (t, m·t)     (según ejes locales)", "",
        "Barra Extremo    Fuer.X     Fuer.Y     Fuer.Z      Mto.X      Mto.Y      Mto.Z ", "",
        "  1    1(or)      5.000     -0.250      0.000      0.000      0.500     -1.125",
        "       2(ex)     -5.000      0.250      0.000      0.000      0.100      0.375",
        // Bar 2 runs from node 3 to node 2: its first six forces belong to node 2.
        "  2    3(or)     -1.000     -2.000     -3.000     -4.000     -5.000     -6.000",
        "       2(ex)      1.000      2.000      3.000      4.000      5.000      6.000",  //
        "", "", "FUERZAS DESEQUILIBRADAS  (t, m·t) mayores de .001    (* indica coacción)", "",
        "Nudo     Fuerza X   Fuerza Y   Fuerza Z        MomentoX   MomentoY   MomentoZ ", "",
        // Node 1: 0.002 at a restrained DOF makes the row; node 2: 0.0005 free does not.
        "  1        0.002*     0.000*     0.000*         0.000*     0.000*     0.000*",
        "  3        0.001      0.003*    -1.250*         0.000      0.000*     0.000 "};
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(resultsListing(dir.path(), clock), crlf(expected));
}

TEST_F(ResultsListing, CommaLocaleWritesCommasButLabelsKeepPoints) {
    test::writeSampleResults(dir.path());
    test::SeparatorGuard comma(',');
    const auto lines =
        splitLines(dataListing(dir.path(), clock) + resultsListing(dir.path(), clock));
    for (const char* line : {
             "Peso de la estructura (kg)=  3891,57 ",
             "   3    4,000    0,000    3,000",
             "  2      3    2   3   90    -1,500    0,250    0,000       20,00   0,50  0,00",
             "   3         LIBRE      0,0000     -0,0100       LIBRE      0,0000       LIBRE  ",
             "  2 HA-25x40------- 1000,0  83333,3  20833,3  50000,0  300 0,20   175 2500 10,0",
             "Número de puntos..........=  3 ",
             "   2      1,235E-03 -2,500E-05  0,000E+00      1,500E-04 -3,100E-03  7,260E-06",
             "  3        0,001      0,003*    -1,250*         0,000      0,000*     0,000 ",
             "FUERZAS DESEQUILIBRADAS  (t, m·t) mayores de .001    (* indica coacción)",
         })
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

TEST_F(ResultsListing, MissingEndForcesOrUnbalancedRaiseFileError) {
    test::writeSampleResults(dir.path());
    std::filesystem::remove(dir / "DESEQUIL.RES");
    EXPECT_THROW(resultsListing(dir.path(), clock), FileError);
    test::writeSampleResults(dir.path());
    std::filesystem::remove(dir / "ESFUERZO.RES");
    const auto e = test::thrown<FileError>([&] { resultsListing(dir.path(), clock); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind(), FileError::Kind::Missing);
    EXPECT_EQ(e->path(), dir / "ESFUERZO.RES");
}

}  // namespace
}  // namespace vanto::reports
