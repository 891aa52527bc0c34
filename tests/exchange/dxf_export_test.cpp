// DXF export of the structure, and the round trip through the import.

#include "exchange/dxf_export.h"

#include <gtest/gtest.h>

#include "exchange/dxf_import.h"
#include "exchange_support.h"
#include "model/textfile.h"

namespace vanto::exchange {
namespace {

using test::TempDir;

// Three nodes, two bars of the given types: 1 (0,0,0) – 2 (1.5,0,-2.25) – 3 (1.5,4,-2.25).
void writeStructure(const TempDir& dir, int type1, int type2) {
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n3\r\n2\r\n");
    dir.write("COORDENA.DAT", "0\r\n1.5\r\n1.5\r\n0\r\n0\r\n4\r\n0\r\n-2.25\r\n-2.25\r\n");
    dir.write("BARRAS.DAT", "1,2," + std::to_string(type1) + ",0,0,0,0,0,1,1\r\n3,2," +
                                std::to_string(type2) + ",0,0,0,0,0,1,1\r\n");
}

// Monochrome, the bars take the layer's colour; by type, the colour follows
// the layer: type 14 gives 1, 15 gives 2, 0 and 28 give 1, 13 gives 14.
TEST(DxfExport, OneLinePerBarOnLayerZeroReplacingAnOldFile) {
    const struct {
        bool byType;
        int type1, type2;
        const char *colour1, *colour2;  // nullptr: no group 62
    } cases[] = {{false, 14, 15, nullptr, nullptr},
                 {true, 14, 15, "1", "2"},
                 {true, 0, 13, "1", "14"},
                 {true, 28, 1, "1", "2"}};
    for (const auto& c : cases) {
        TempDir dir;
        writeStructure(dir, c.type1, c.type2);
        dir.write("Estruct.DXF", "viejo");
        EXPECT_EQ(dxfout(dir.path(), dir / "Estruct", c.byType), Outcome::Written);
        std::vector<std::string> lines = {"  0", "SECTION", "  2", "ENTITIES"};
        const auto line = [&](const char* colour, std::vector<std::string> xyz) {
            lines.insert(lines.end(), {"  0", "LINE", "  8", "0"});
            if (colour) lines.insert(lines.end(), {" 62", colour});
            const char* codes[] = {" 10", " 20", " 30", " 11", " 21", " 31"};
            for (int i = 0; i < 6; ++i)
                lines.insert(lines.end(), {codes[i], xyz[std::size_t(i)]});
        };
        line(c.colour1, {"0", "0", "0", "1.5", "0", "-2.25"});
        line(c.colour2, {"1.5", "4", "-2.25", "1.5", "0", "-2.25"});
        lines.insert(lines.end(), {"  0", "ENDSEC", "  0", "EOF"});
        EXPECT_EQ(dir.read("Estruct.DXF"), test::crlf(lines)) << c.type1;
    }
    // At a drive root no separator is doubled.
    EXPECT_EQ(dxfFileName("/Estruct"), std::filesystem::path("/Estruct.DXF"));
}

TEST(DxfExport, RefusesStructuresItCannotDrawAndWritesNoFile) {
    TempDir dir;
    writeStructure(dir, 1, 1);
    dir.write("DATOS.DAT", "\"Otro 3.0\"\r\n3\r\n2\r\n");
    const auto e = test::thrown<ExchangeError>([&] { dxfout(dir.path(), dir / "x", false); });
    ASSERT_TRUE(e);
    EXPECT_STREQ(e->what(),
                 "Los ficheros de datos de esta estructura\nno son compatibles con la versión "
                 "actual.");
    writeStructure(dir, 1, 1);
    dir.write("BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1\r\n3,7,1,0,0,0,0,0,1,1\r\n");
    EXPECT_THROW(dxfout(dir.path(), dir / "x", false), ExchangeError);
    std::filesystem::remove(dir / "COORDENA.DAT");
    EXPECT_FALSE(exportAvailable(dir.path()));
    EXPECT_THROW(dxfout(dir.path(), dir / "x", false), FileError);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.DXF"));
    writeStructure(dir, 1, 1);
    EXPECT_TRUE(exportAvailable(dir.path()));
}

TEST(DxfExport, ImportingTheExportGivesTheSameBarsRenumbered) {
    TempDir from;
    from.write("DATOS.DAT", "\"Vanto 2.11\"\r\n4\r\n2\r\n");
    // Node 1 is used by no bar; bar 1 runs 4 → 2 in node order 2, 3, 4.
    from.write("COORDENA.DAT", "9\r\n0\r\n3\r\n3\r\n9\r\n0\r\n0\r\n2.5\r\n9\r\n0\r\n0\r\n1\r\n");
    from.write("BARRAS.DAT", "2,4,3,30,1,0,0,0,0.5,1\r\n2,3,2,0,0,0,0,0,1,0\r\n");
    dxfout(from.path(), from / "ida", true);

    TempDir to;
    test::RecordingMessages messages;
    dxfin(to.path(), from / "ida.DXF", messages);
    // Old 2 → 1, old 4 → 2, old 3 → 3; default bar properties.
    EXPECT_EQ(to.read("BARRAS.DAT"), "1,2,1,0,0,0,0,0,1,1\r\n1,3,1,0,0,0,0,0,1,1\r\n");
    EXPECT_EQ(to.read("COORDENA.DAT"), "0\r\n3\r\n3\r\n0\r\n2.5\r\n0\r\n0\r\n1\r\n0\r\n");
}

}  // namespace
}  // namespace vanto::exchange
