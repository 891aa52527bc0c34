// DXF export of the structure, and the round trip through the import.

#include "exchange/dxf_export.h"

#include <gtest/gtest.h>

#include "exchange/dxf_import.h"
#include "exchange_support.h"
#include "model/textfile.h"

namespace vanto::exchange {
namespace {

using test::crlf;
using test::TempDir;

// Three nodes, two bars of the given types: 1 (0,0,0) – 2 (1.5,0,-2.25) – 3 (1.5,4,-2.25).
void writeStructure(const TempDir& dir, int type1, int type2) {
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n3\r\n2\r\n");
    dir.write("COORDENA.DAT", "0\r\n1.5\r\n1.5\r\n0\r\n0\r\n4\r\n0\r\n-2.25\r\n-2.25\r\n");
    dir.write("BARRAS.DAT", "1,2," + std::to_string(type1) + ",0,0,0,0,0,1,1\r\n3,2," +
                                std::to_string(type2) + ",0,0,0,0,0,1,1\r\n");
}

TEST(DxfExport, MonochromeDrawingHoldsOnlyLinesOnLayerZero) {
    TempDir dir;
    writeStructure(dir, 14, 15);
    EXPECT_EQ(dxfout(dir.path(), dir / "Estruct", false), Outcome::Written);
    EXPECT_EQ(
        dir.read("Estruct.DXF"),
        crlf({"  0", "SECTION", "  2", "ENTITIES",                                              //
              "  0", "LINE",    "  8", "0",        " 10", "0",     " 20", "0", " 30", "0",      //
              " 11", "1.5",     " 21", "0",        " 31", "-2.25",                              //
              "  0", "LINE",    "  8", "0",        " 10", "1.5",   " 20", "4", " 30", "-2.25",  //
              " 11", "1.5",     " 21", "0",        " 31", "-2.25",                              //
              "  0", "ENDSEC",  "  0", "EOF"}));
}

TEST(DxfExport, ColourByTypeCyclesThroughFourteenColours) {
    auto colours = [](int type1, int type2) {
        TempDir dir;
        writeStructure(dir, type1, type2);
        dxfout(dir.path(), dir / "c", true);
        const auto lines = splitLines(dir.read("c.DXF"));
        std::vector<std::string> out;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i] == " 62") out.push_back(lines[i + 1]);
        // The colour comes right after the layer.
        EXPECT_EQ(lines[8], " 62");
        return out;
    };
    EXPECT_EQ(colours(14, 15), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(colours(1, 13), (std::vector<std::string>{"2", "14"}));
    EXPECT_EQ(colours(28, 0), (std::vector<std::string>{"1", "1"}));
}

TEST(DxfExport, FileNameAddsTheExtensionAndReplacesAnOldFile) {
    EXPECT_EQ(dxfFileName("/trabajo/Estruct"), std::filesystem::path("/trabajo/Estruct.DXF"));
    EXPECT_EQ(dxfFileName("/Estruct"), std::filesystem::path("/Estruct.DXF"));
    TempDir dir;
    writeStructure(dir, 1, 1);
    dir.write("Estruct.DXF", "viejo");
    dxfout(dir.path(), dir / "Estruct", false);
    EXPECT_EQ(dir.read("Estruct.DXF").substr(0, 5), "  0\r\n");
}

TEST(DxfExport, RefusesStructuresItCannotDrawAndWritesNoFile) {
    TempDir dir;
    writeStructure(dir, 1, 1);
    dir.write("DATOS.DAT", "\"Otro 3.0\"\r\n3\r\n2\r\n");
    try {
        dxfout(dir.path(), dir / "x", false);
        ADD_FAILURE() << "no error";
    } catch (const ExchangeError& e) {
        EXPECT_STREQ(
            e.what(),
            "Los ficheros de datos de esta estructura\nno son compatibles con la versión actual.");
    }
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
