// Hostile and odd files for every DiscoX reader: counts the files cannot
// hold, decimal commas, values beyond a float, old Macintosh line ends, and
// texts holding quotes.

#include <gtest/gtest.h>

#include <chrono>

#include "model/files.h"
#include "model/structure_data.h"
#include "support/tempdir.h"

namespace vanto {
namespace {

// Each case: DATOS.DAT, the file read and its text, and the start of the
// damage's detail (empty when the structure must read).
struct Case {
    const char* datos;
    const char* file;
    const char* text;
    const char* detail;
};

Parts partOf(const std::string& file) {
    if (file == "COORDENA.DAT") return part::Coordinates;
    if (file == "BARRAS.DAT") return part::Bars;
    if (file == "CARGAS.DAT") return part::Loads;
    if (file == "COACCION.DAT") return part::Restraints;
    return part::Types;
}

TEST(DataFiles, CountsBeyondTheFileExtraValuesAndOutOfRangeAreDamagedAtOnce) {
    const char* two = "\"Vanto 2.11\"\r\n2\r\n1\r\n";
    const Case cases[] = {
        {"\"Vanto 2.11\",1,100000000", "BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1\r\n",
         "faltan valores: se esperaban 1000000000 y hay 10"},
        {"\"Vanto 2.11\",100000000,1", "COORDENA.DAT", "0\r\n1\r\n0\r\n0\r\n0\r\n0\r\n",
         "faltan valores: se esperaban 300000000 y hay 6"},
        {"\"Vanto 2.11\",100000000,1", "CARGAS.DAT", "0\r\n", "faltan valores: se esperaban 6000"},
        {"\"Vanto 2.11\",100000000,1", "COACCION.DAT", "0\r\n",
         "faltan valores: se esperaban 6000"},
        {two, "TIPOS.DAT", "h\r\n32767\r\n1 2 3 4 5 6 7 8 9 \"a\"\r\n",
         "faltan valores: se esperaban 9 y hay 0"},
        // A hand-typed decimal comma reads as two values and shifts the rest.
        {two, "COORDENA.DAT", "0\r\n6,5\r\n0\r\n0\r\n0\r\n0\r\n",
         "hay más valores de los que indican los números de nudos y barras (línea 6)"},
        {two, "BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1,0\r\n", "hay más valores"},
        {two, "TIPOS.DAT", "h\r\n1\r\n1 2 3 4 5 6 7 8 9 \"a\"\r\n1 2 3 4 5 6 7 8 9 \"b\"\r\n",
         "hay más tipos de los que indica su número (línea 4)"},
        {two, "COORDENA.DAT", "0\r\n1e39\r\n0\r\n0\r\n0\r\n0\r\n",
         "número fuera de rango (línea 2)"},
        // Old Macintosh line ends read as any other.
        {"\"Vanto 2.11\"\r2\r1\r", "COORDENA.DAT", "0\r4\r0\r0\r0\r0\r", ""},
        {two, "TIPOS.DAT", "cabecera\r1\r  10.0 1 2 3 2100000 0.30 2600 7850 0.012 \"a b\"\r", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.text);
        test::TempDir dir;
        dir.write("DATOS.DAT", c.datos);
        dir.write(c.file, c.text);
        const auto start = std::chrono::steady_clock::now();
        try {
            const Structure s = loadStructure<float>(dir.path(), partOf(c.file));
            EXPECT_STREQ(c.detail, "");
            if (partOf(c.file) == part::Types) {
                EXPECT_EQ(s.types.names[1], "a b");
            } else {
                EXPECT_EQ(s.coordinates(2, 1), 4.0f);
            }
        } catch (const FileError& e) {
            EXPECT_EQ(e.kind(), FileError::Kind::Damaged);
            EXPECT_EQ(e.path(), dir / c.file);
            EXPECT_EQ(e.detail().rfind(c.detail, 0), 0u) << e.detail();
            EXPECT_STRNE(c.detail, "");
        }
        // Refused before anything is sized by the count.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
}

TEST(DataFiles, ResultsLongerThanTheStructureStillRead) {
    // Results of an earlier, larger structure are the calculation's to replace.
    test::TempDir dir;
    dir.write("INCOG.RES", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
    const auto d = DiscoX::readDisplacements<float>(dir.path(), 1);
    ASSERT_TRUE(d);
    EXPECT_EQ((*d)(1, 6), 6.0f);
}

TEST(Texts, QuotesInNamesAndPathsReadBack) {
    test::TempDir dir;
    Session s;
    s.settingsDirectory = dir.path();
    s.settings = {"/", "/obras/\"A\"", "Nave \"A\"", "/obras/\"A\"/-Nave \"A\"", "\"", 1};
    DiscoX::writeSettings(s);
    EXPECT_EQ(dir.read("NOMBRE.DAT").substr(0, 21), "\"/\"\r\n\"/obras/\"\"A\"\"\"\r\n");
    Session back;
    back.settingsDirectory = dir.path();
    ASSERT_EQ(DiscoX::readSettings(back), DiscoX::Status::Read);
    EXPECT_EQ(back.settings.WorkDirectory, s.settings.WorkDirectory);
    EXPECT_EQ(back.settings.StructureName, s.settings.StructureName);
    EXPECT_EQ(back.settings.StructureDirectory, s.settings.StructureDirectory);
    EXPECT_EQ(back.settings.SpareText, "\"");
    EXPECT_EQ(back.settings.ChildWindowState, 1);

    BarTypes<float> t{1, Table<float>(1, TypeFieldCount), {"", "Viga \"V1\""}};
    DiscoX::writeTypes(dir.path(), t);
    EXPECT_NE(dir.read("TIPOS.DAT").find(" \"Viga \"\"V1\"\"------\"\r\n"), std::string::npos);
    EXPECT_EQ(DiscoX::readTypes<float>(dir.path()).names[1], "Viga \"V1\"------");
}

}  // namespace
}  // namespace vanto
