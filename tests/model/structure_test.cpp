#include "model/structure.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "model/files.h"
#include "model/structure_data.h"
#include "support/tempdir.h"
#include "support/thrown.h"

namespace vanto {
namespace {

namespace fs = std::filesystem;
const fs::path Portico = fs::path(VANTO_SAMPLES) / "-Portico";
const char* const StructureFiles[] = {"DATOS.DAT",    "TIPOS.DAT",    "BARRAS.DAT",
                                      "COORDENA.DAT", "COACCION.DAT", "CARGAS.DAT"};

std::string bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Structure, SavesTheSampleItLoadedByteForByte) {
    const Structure s = loadStructure<float>(Portico, part::All);
    EXPECT_EQ(s.nodeCount, 4);
    EXPECT_EQ(s.barCount, 3);
    test::TempDir dir;
    std::vector<std::pair<int, int>> steps;
    s.save(dir.path(), part::All, [&](int i, int n) { steps.emplace_back(i, n); });
    for (const char* name : StructureFiles)
        EXPECT_EQ(dir.read(name), bytes(Portico / name)) << name;
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{
                         {1, 7}, {2, 7}, {3, 7}, {4, 7}, {5, 7}, {6, 7}, {7, 7}}));
    // One load case, as without the load-case files: none is written.
    EXPECT_EQ(test::snapshot(dir.path()).find("HIPOTESI"), std::string::npos);
}

TEST(Structure, FileLayoutsByKnownValues) {
    // Coordinates axis by axis, one bar per line, six values per node.
    const std::pair<const char*, const char*> files[] = {
        {"DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n2\r\n"},
        {"COORDENA.DAT", "1\r\n4\r\n2\r\n5\r\n3\r\n6.5\r\n"},
        {"BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1\r\n2,3,2,90,-1.5,0.25,0,20,0.5,0\r\n"},
        {"COACCION.DAT",
         "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1234\r\n1234\r\n0.01\r\n1234\r\n1234\r\n1234\r\n"},
        {"CARGAS.DAT", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n-2.5\r\n0\r\n0\r\n0\r\n0.125\r\n"},
    };
    test::TempDir dir, copy;
    for (const auto& [name, text] : files)
        dir.write(name, text);
    const Parts parts = part::Geometry | part::Restraints | part::Loads;
    const Structure s = loadStructure<float>(dir.path(), parts);
    EXPECT_EQ(s.coordinates(2, 1), 4);
    EXPECT_EQ(s.coordinates(1, 2), 2);
    EXPECT_EQ(s.coordinates(2, 3), 6.5f);
    EXPECT_EQ(s.bars(2, Angle), 90);
    EXPECT_EQ(s.bars(2, TransverseLoadY), 0.25f);
    EXPECT_EQ(s.bars(2, EmpOR), 0.5f);
    EXPECT_EQ(s.restraints(2, 3), 0.01f);
    EXPECT_EQ(s.loads(2, 2), -2.5f);
    EXPECT_EQ(s.loads(2, 6), 0.125f);
    s.save(copy.path(), parts);
    for (const auto& [name, text] : files)
        EXPECT_EQ(copy.read(name), text) << name;
}

TEST(Structure, SixtyFourBitsKeepEveryTypedDigit) {
    test::TempDir dir;
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n1\r\n0\r\n");
    dir.write("COORDENA.DAT", "0.1\r\n1.23456789\r\n-7\r\n");
    dir.write("COACCION.DAT", "0.0012345678 1234 1234 1234 1234 1234\r\n");
    dir.write("CARGAS.DAT", "0 0 -2.000000001 0 0 0\r\n");
    dir.write("BARRAS.DAT", "");
    const Parts parts = part::Geometry | part::Restraints | part::Loads;
    const auto wide = loadStructure<double>(dir.path(), parts);
    const auto narrow = loadStructure<float>(dir.path(), parts);
    EXPECT_EQ(wide.coordinates(1, 2), 1.23456789);
    EXPECT_EQ(narrow.coordinates(1, 2), 1.23456789f);
    EXPECT_EQ(wide.restraints(1, 1), 0.0012345678);
    EXPECT_EQ(wide.loads(1, 3), -2.000000001);
    EXPECT_EQ(narrow.loads(1, 3), -2.0f);
    EXPECT_TRUE(isFree(wide.restraints(1, 6)));
}

TEST(Structure, GrowsBeyondWhatItLoaded) {
    Structure s = loadStructure<float>(Portico, part::All);
    const Structure loaded = s;
    for (int i = 1; i <= 300; ++i)
        EXPECT_EQ(s.addNode(float(i), 0, 2), 4 + i);
    for (int i = 1; i <= 300; ++i)
        EXPECT_EQ(s.addBar(float(3 + i), float(4 + i), 2), 3 + i);
    EXPECT_EQ(s.nodeCount, 304);
    for (int n = 1; n <= 4; ++n)
        for (int k = 1; k <= 6; ++k)
            EXPECT_EQ(s.loads(n, k), loaded.loads(n, k));
    EXPECT_EQ(s.coordinates(304, 1), 300);
    EXPECT_TRUE(isFree(s.restraints(304, 6)));
    EXPECT_EQ(s.loads(304, 3), 0);

    test::TempDir dir;
    s.save(dir.path(), part::All);
    EXPECT_EQ(dir.read("DATOS.DAT"), "\"Vanto 2.11\"\r\n304\r\n303\r\n");
    EXPECT_TRUE(dir.read("BARRAS.DAT").ends_with("\r\n303,304,2,0,0,0,0,0,1,1\r\n"));
    const Structure back = loadStructure<float>(dir.path(), part::All);
    EXPECT_EQ(back.coordinates(304, 1), 300);
    EXPECT_EQ(back.coordinates(304, 3), 2);
    EXPECT_EQ(back.coordinates(4, 1), s.coordinates(4, 1));
}

TEST(Structure, SaveRefusesInconsistentDataAndWritesNothing) {
    test::TempDir dir;
    for (const char* name : StructureFiles)
        dir.write(name, bytes(Portico / name));
    const std::string before = test::snapshot(dir.path());

    Structure geometryOnly = loadStructure<float>(Portico, part::Geometry);
    EXPECT_THROW(geometryOnly.save(dir.path(), part::All), std::logic_error);
    Structure counted = loadStructure<float>(Portico, part::All);
    counted.nodeCount = 5;  // a node without coordinates
    EXPECT_THROW(counted.save(dir.path(), part::All), std::logic_error);
    counted.nodeCount = 4;
    counted.types.count = 9;
    EXPECT_THROW(counted.save(dir.path(), part::Types), std::logic_error);
    EXPECT_EQ(test::snapshot(dir.path()), before);

    // Only DATOS.DAT and the parts asked for are written.
    test::TempDir fresh;
    geometryOnly.save(fresh.path(), part::Geometry);
    EXPECT_EQ(test::snapshot(fresh.path()), "BARRAS.DAT\n" + bytes(Portico / "BARRAS.DAT") +
                                                "\nCOORDENA.DAT\n" +
                                                bytes(Portico / "COORDENA.DAT") + "\nDATOS.DAT\n" +
                                                bytes(Portico / "DATOS.DAT") + "\n");
}

TEST(Structure, ReadsOnlyThePartsAskedAndReportsFaultsInFileOrder) {
    test::TempDir dir;
    dir.write("DATOS.DAT", bytes(Portico / "DATOS.DAT"));
    auto failure = [&](Parts parts) -> std::string {
        const auto e = test::thrown<FileError>([&] { loadStructure<float>(dir.path(), parts); });
        return e ? e->path().filename().string() + " " + e->detail() : "";
    };
    // TIPOS, BARRAS, COORDENA, COACCION, CARGAS: the first one missing is named.
    EXPECT_EQ(failure(part::All), "TIPOS.DAT ");
    EXPECT_EQ(failure(part::Geometry), "BARRAS.DAT ");
    EXPECT_EQ(failure(part::Coordinates | part::Loads), "COORDENA.DAT ");
    EXPECT_EQ(failure(part::Loads | part::Restraints), "COACCION.DAT ");
    dir.write("BARRAS.DAT", bytes(Portico / "BARRAS.DAT"));
    EXPECT_EQ(failure(part::Bars), "");

    dir.write("DATOS.DAT", "\"Otro 1.0\"\r\n4\r\n3\r\n");
    EXPECT_EQ(failure(part::Bars),
              "DATOS.DAT Estructura no compatible con la versión actual del programa");
    fs::remove(dir / "DATOS.DAT");
    const auto e = test::thrown<FileError>([&] { loadStructure<float>(dir.path(), part::Bars); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind(), FileError::Kind::Missing);
}

TEST(HalfBandwidth, SixTimesTheLargestNodeDifferencePlusOne) {
    Table<float> bars(2, BarFieldCount);
    bars(1, Origin) = 7;
    bars(1, End) = 3;
    EXPECT_EQ(ComputeHalfBandwidth(bars, 1), 30);
    bars(2, Origin) = 1;
    bars(2, End) = 2;
    EXPECT_EQ(ComputeHalfBandwidth(bars, 2), 30);
    EXPECT_EQ(ComputeHalfBandwidth(bars, 0), 6);
}

TEST(SmallHelpers, SpareRowsFreeMarkerAndItemNumbers) {
    Table<float> t(105, 3);
    t(105, 3) = 1;
    t.resizeRows(200);
    EXPECT_EQ(t(105, 3), 1);
    EXPECT_EQ(t(200, 3), 0);
    EXPECT_TRUE(isFree(1234.0));
    EXPECT_FALSE(isFree(1234.0001));
    EXPECT_FALSE(isFree(0));
    EXPECT_EQ(itemNumber(3.0f), 3);
    EXPECT_EQ(itemNumber(2.6f), 3);
    EXPECT_EQ(itemNumber(-1.6f), -2);
    EXPECT_EQ(itemNumber(1e20f), 0);
}

}  // namespace
}  // namespace vanto
