// Completion of a structure that only has its geometry.

#include "model/complete.h"

#include <gtest/gtest.h>

#include "exchange_support.h"
#include "model/files.h"

namespace vanto {
namespace {

using test::TempDir;

// DATOS, COORDENA and BARRAS of a two-node, one-bar structure.
void writeGeometry(const TempDir& dir) {
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n1\r\n");
    dir.write("COORDENA.DAT", "0\r\n1\r\n0\r\n0\r\n0\r\n0\r\n");
    dir.write("BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1\r\n");
}

// Counts the calls that write the bar types, each for `dir`.
auto countingTypes(int& calls, const TempDir& dir) {
    return [&calls, &dir](const std::filesystem::path& where) {
        ++calls;
        EXPECT_EQ(where, dir.path());
    };
}

TEST(CompleteStructureFiles, CreatesZeroLoadsFreeRestraintsAndAsksForTypes) {
    TempDir dir;
    writeGeometry(dir);
    int calls = 0;
    CompleteStructureFiles(dir.path(), countingTypes(calls, dir));

    EXPECT_EQ(dir.read("CARGAS.DAT"), test::crlf(std::vector<std::string>(12, "0")));
    EXPECT_EQ(dir.read("COACCION.DAT"), test::crlf(std::vector<std::string>(12, "1234")));
    EXPECT_EQ(calls, 1);
}

TEST(CompleteStructureFiles, CreatesOnlyWhatIsMissing) {
    TempDir dir;
    writeGeometry(dir);
    const std::string loads = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n";
    dir.write("cargas.dat", loads);  // any letter case counts
    dir.write("TIPOS.DAT", "cabecera\r\n0\r\n");
    int calls = 0;
    CompleteStructureFiles(dir.path(), countingTypes(calls, dir));

    EXPECT_EQ(calls, 0);
    EXPECT_EQ(dir.read("cargas.dat"), loads);
    EXPECT_FALSE(std::filesystem::exists(dir / "CARGAS.DAT"));
    EXPECT_EQ(dir.read("TIPOS.DAT"), "cabecera\r\n0\r\n");
    EXPECT_TRUE(fileExists(dir.path(), "COACCION.DAT"));

    // A complete structure is left exactly as it is.
    const std::string complete = test::snapshot(dir.path());
    CompleteStructureFiles(dir.path(), countingTypes(calls, dir));
    EXPECT_EQ(test::snapshot(dir.path()), complete);
    EXPECT_EQ(calls, 0);
}

TEST(CompleteStructureFiles, RefusesAMissingOrDamagedGeometryWithoutWriting) {
    using Kind = FileError::Kind;
    const struct {
        const char* file;
        const char* bytes;  // nullptr: the file is removed
        Kind kind;
        const char* named;  // the file the error names
    } cases[] = {
        {"COORDENA.DAT", nullptr, Kind::Missing, "COORDENA.DAT"},
        {"DATOS.DAT", nullptr, Kind::Missing, "DATOS.DAT"},
        {"BARRAS.DAT", "1,2,1,0,0\r\n", Kind::Damaged, "BARRAS.DAT"},  // half a bar
        {"DATOS.DAT", "\"Otro 3.0\"\r\n2\r\n1\r\n", Kind::Damaged, "DATOS.DAT"},
        // Both broken: the coordinates are read first.
        {"BARRAS.DAT", "", Kind::Missing, "COORDENA.DAT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.bytes ? c.bytes : " removed"));
        TempDir dir;
        writeGeometry(dir);
        if (c.bytes)
            dir.write(c.file, c.bytes);
        else
            std::filesystem::remove(dir / c.file);
        if (std::string(c.named) != c.file) std::filesystem::remove(dir / c.named);
        const std::string before = test::snapshot(dir.path());
        int calls = 0;
        const auto e = test::thrown<FileError>(
            [&] { CompleteStructureFiles(dir.path(), countingTypes(calls, dir)); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->kind(), c.kind);
        EXPECT_EQ(e->path().filename(), c.named);
        EXPECT_EQ(test::snapshot(dir.path()), before);
        EXPECT_EQ(calls, 0);
    }
}

}  // namespace
}  // namespace vanto
