#include "model/load_cases.h"

#include <gtest/gtest.h>

#include "model/files.h"
#include "model/structure_data.h"
#include "support/tempdir.h"
#include "support/thrown.h"

namespace vanto {
namespace {

namespace fs = std::filesystem;
const fs::path Portico = fs::path(VANTO_SAMPLES) / "-Portico";

// The portal frame (4 nodes, 3 bars) with two more cases and two combinations.
const std::pair<const char*, const char*> CaseFiles[] = {
    {"HIPOTESI.DAT", "3\r\n\"Peso propio\"\r\n\"Viento \"\"fuerte\"\", de X\"\r\n\"Calor\"\r\n"},
    {"CARGAS.H02",
     "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1.5\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
     "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"},
    {"CARGABAR.H02", "0,0.25,0,0\r\n0,0,0,0\r\n0,-0.25,0,0\r\n"},
    {"CARGAS.H03",
     "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
     "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"},
    {"CARGABAR.H03", "0,0,0,0\r\n0,0,0,30\r\n0,0,0,0\r\n"},
    {"COMBINA.DAT", "2\r\n\"ELU\"\r\n1.35,1.5,0\r\n\"Servicio\"\r\n1,0.6,1\r\n"},
};

void writePortico(const test::TempDir& dir) {
    for (const auto& e : fs::directory_iterator(Portico))
        fs::copy_file(e.path(), dir / e.path().filename().string());
    for (const auto& [name, text] : CaseFiles)
        dir.write(name, text);
}

TEST(LoadCases, ReadSavedByteForByteAndStaleFilesRemoved) {
    test::TempDir dir, copy;
    writePortico(dir);
    Structure s = loadStructure<float>(dir.path(), part::All);
    ASSERT_EQ(s.cases.count(), 3);
    EXPECT_EQ(s.cases.name(1), "Peso propio");
    EXPECT_EQ(s.cases.name(2), "Viento \"fuerte\", de X");
    EXPECT_EQ(s.cases.loadCase(2).nodeLoads(2, 1), 1.5f);
    EXPECT_EQ(s.cases.loadCase(2).barLoads(3, 2), -0.25f);
    EXPECT_EQ(s.cases.loadCase(3).barLoads(2, 4), 30);
    ASSERT_EQ(s.cases.combinations.size(), 2u);
    EXPECT_EQ(s.cases.combinations[1].name, "Servicio");
    EXPECT_EQ(s.cases.combinations[0].factors, (std::vector<double>{1.35, 1.5, 0}));

    copy.write("CARGAS.H04", "stale");
    copy.write("cargabar.h04", "stale");
    s.save(copy.path(), part::All);
    for (const auto& [name, text] : CaseFiles)
        EXPECT_EQ(copy.read(name), text) << name;
    EXPECT_FALSE(fs::exists(copy / "CARGAS.H04"));
    EXPECT_FALSE(fs::exists(copy / "cargabar.h04"));

    // Case 2 goes: case 3 takes its number and files, and its factor column.
    s.cases.removeCase(2);
    s.save(copy.path(), part::All);
    EXPECT_EQ(copy.read("CARGABAR.H02"), "0,0,0,0\r\n0,0,0,30\r\n0,0,0,0\r\n");
    EXPECT_FALSE(fs::exists(copy / "CARGAS.H03"));
    EXPECT_EQ(copy.read("COMBINA.DAT"), "2\r\n\"ELU\"\r\n1.35,0\r\n\"Servicio\"\r\n1,1\r\n");

    // Back to one plain case: no load-case file is left.
    s.cases = {};
    s.save(copy.path(), part::All);
    for (const auto& e : fs::directory_iterator(copy.path()))
        EXPECT_FALSE(isLoadCaseFile(e.path().filename().string())) << e.path();
}

TEST(LoadCases, RowsFollowNodesAndBarsAddedMovedAndRemoved) {
    test::TempDir dir;
    writePortico(dir);
    Structure s = loadStructure<float>(dir.path(), part::All);
    EXPECT_EQ(s.addNode(9, 9, 9), 5);
    EXPECT_EQ(s.addBar(4, 5), 4);
    const auto& c2 = s.cases.loadCase(2);
    EXPECT_EQ(c2.nodeLoads(5, 1), 0);
    EXPECT_EQ(c2.barLoads(4, 2), 0);

    // Nodes 2 and 1 swapped, node 5 dropped; bar 1 removed.
    s.cases.selectNodes({0, 2, 1, 3, 4});
    s.cases.removeBar(1, 4);
    EXPECT_EQ(s.cases.loadCase(2).nodeLoads(1, 1), 1.5f);
    EXPECT_EQ(s.cases.loadCase(2).nodeLoads.maxRow(), 4);
    EXPECT_EQ(s.cases.loadCase(2).barLoads(2, 2), -0.25f);
    EXPECT_EQ(s.cases.loadCase(3).barLoads(1, 4), 30);
    EXPECT_EQ(s.cases.loadCase(3).barLoads(4, 4), 0);

    EXPECT_EQ(s.cases.addCase("Nieve", 4, 3), 4);
    EXPECT_EQ(s.cases.combinations[0].factors, (std::vector<double>{1.35, 1.5, 0, 0}));
}

TEST(LoadCases, BadFilesNameTheFileAndTheLine) {
    const struct {
        const char* file;
        const char* text;  // nullptr: the file is removed
        FileError::Kind kind;
        const char* detail;
    } rows[] = {
        {"HIPOTESI.DAT", "100\r\n", FileError::Kind::Damaged,
         "hay 100 hipótesis; como mucho puede haber 99 (línea 1)"},
        {"HIPOTESI.DAT", "0\r\n", FileError::Kind::Damaged,
         "el número de hipótesis debe estar entre 1 y 99 (línea 1)"},
        {"HIPOTESI.DAT", "3\r\n\"A\"\r\n\"B\"\r\n", FileError::Kind::Damaged,
         "falta el nombre de la hipótesis 3 (línea 4)"},
        {"HIPOTESI.DAT", "1\r\n\"A\"\r\n\"B\"\r\n", FileError::Kind::Damaged,
         "hay más nombres de los que indica el número de hipótesis (línea 3)"},
        {"CARGAS.H03", nullptr, FileError::Kind::Missing, ""},
        {"CARGABAR.H02", "0,0,0,0\r\n0,0,0,0\r\n", FileError::Kind::Damaged,
         "faltan valores: se esperaban 12 y hay 8"},
        {"COMBINA.DAT", "1\r\n\"ELU\"\r\n1.35,1.5\r\n", FileError::Kind::Damaged,
         "la combinación 1 tiene 2 coeficientes y debe tener uno por hipótesis, 3 (línea 3)"},
        {"COMBINA.DAT", "100\r\n", FileError::Kind::Damaged,
         "hay 100 combinaciones; como mucho puede haber 99 (línea 1)"},
        {"COMBINA.DAT", "2\r\n\"ELU\"\r\n1,1,1\r\n", FileError::Kind::Damaged,
         "falta la combinación 2 de 2 (línea 4)"},
        {"COMBINA.DAT", "1\r\n\"ELU\"\r\n1,uno,1\r\n", FileError::Kind::Damaged,
         "se esperaba un coeficiente, un número (línea 3)"},
    };
    for (const auto& r : rows) {
        test::TempDir dir;
        writePortico(dir);
        if (r.text)
            dir.write(r.file, r.text);
        else
            fs::remove(dir / r.file);
        const auto e =
            test::thrown<FileError>([&] { loadStructure<float>(dir.path(), part::All); });
        ASSERT_TRUE(e) << r.detail;
        EXPECT_EQ(e->kind(), r.kind) << r.detail;
        EXPECT_EQ(e->path().filename(), r.file);
        EXPECT_EQ(e->detail(), r.detail);
    }
}

TEST(LoadCases, ResultSetsAndTheNamesOfTheirFiles) {
    EXPECT_EQ((ResultSet{}).extension(), "RES");
    EXPECT_EQ((ResultSet{ResultSet::Kind::Case, 7}).extension(), "H07");
    EXPECT_EQ((ResultSet{ResultSet::Kind::Combination, 12}).code(), "C12");
    EXPECT_EQ(parseResultSet("h2"), (ResultSet{ResultSet::Kind::Case, 2}));
    EXPECT_EQ(parseResultSet("C99"), (ResultSet{ResultSet::Kind::Combination, 99}));
    for (const char* bad : {"H0", "C100", "X01", "H", "envolvente"})
        EXPECT_EQ(parseResultSet(bad), std::nullopt) << bad;
    for (const char* name : {"INCOG.RES", "diagrama.h02", "ESFUERZO.C01", "ENVOLVEN.RES"})
        EXPECT_TRUE(isResultFile(name)) << name;
    for (const char* name : {"CARGAS.H02", "INCOG.H2", "Resultad.res", "DESEQUIL.X01"})
        EXPECT_FALSE(isResultFile(name)) << name;
    for (const char* name : {"HIPOTESI.DAT", "cargabar.h99", "COMBINA.DAT"})
        EXPECT_TRUE(isLoadCaseFile(name)) << name;
    for (const char* name : {"CARGAS.DAT", "CARGAS.C01", "INCOG.H02"})
        EXPECT_FALSE(isLoadCaseFile(name)) << name;
}

}  // namespace
}  // namespace vanto
