#include "model/files.h"

#include <gtest/gtest.h>

#include "model/file_commit.h"

#include "support/tempdir.h"
#include "support/thrown.h"

namespace vanto {
namespace {

using DiscoX::Status;

// DATOS.DAT's written bytes are checked with the structure's files.
TEST(Datos, CaseOfNamesAndOnlyTheFirstSevenCharactersOfTheVersionCount) {
    test::TempDir dir;
    dir.write("datos.dat", "\"Vanto 2.05\"\r\n4\r\n5\r\n");
    StructureCounts c;
    ASSERT_EQ(DiscoX::readDatos(dir.path(), c), Status::Read);
    EXPECT_EQ(c.NodeCount, 4);
    EXPECT_EQ(c.BarCount, 5);
    EXPECT_EQ(c.DofCount, 24);
    EXPECT_EQ(c.DataVersion, "Vanto 2.05");
    DiscoX::writeDatos(dir.path(), 2, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "datos.dat"));
    EXPECT_EQ(dir.read("DATOS.DAT"), "\"Vanto 2.11\"\r\n2\r\n1\r\n");

    dir.write("DATOS.DAT", "\"Vanto 3.0\"\r\n9\r\n9\r\n");
    EXPECT_EQ(DiscoX::readDatos(dir.path(), c), Status::OtherVersion);
    EXPECT_EQ(c.NodeCount, 4);  // counts untouched
    EXPECT_EQ(c.DataVersion, "Vanto 3.0");
}

// A change of several files whose journal is on disk is finished by the next
// reader; a journal that is not one is refused and moves nothing.
TEST(Datos, ReadingFinishesAChangeCutShort) {
    test::TempDir dir;
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n1\r\n0\r\n");
    dir.write("INCOG.RES", "old\r\n");
    std::filesystem::create_directory(dir / ".vanto-nuevo-7");
    dir.write(".vanto-nuevo-7/DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n1\r\n");
    dir.write(".vanto-nuevo-7/BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1\r\n");
    dir.write(CommitJournalName,
              "VANTO-DIARIO 1\r\n.vanto-nuevo-7\r\nM DATOS.DAT\r\nM "
              "BARRAS.DAT\r\nB INCOG.RES\r\nFIN\r\n");
    const std::string journal = dir.read(CommitJournalName);
    std::filesystem::rename(dir / ".vanto-nuevo-7/DATOS.DAT", dir / "DATOS.DAT");  // moved already
    StructureCounts c;
    ASSERT_EQ(DiscoX::readDatos(dir.path(), c), Status::Read);
    EXPECT_EQ(c.NodeCount, 2);
    EXPECT_EQ(dir.read("BARRAS.DAT"), "1,2,1,0,0,0,0,0,1,1\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "INCOG.RES"));
    EXPECT_FALSE(std::filesystem::exists(dir / CommitJournalName));
    EXPECT_FALSE(std::filesystem::exists(dir / ".vanto-nuevo-7"));

    dir.write(CommitJournalName, journal.substr(0, journal.size() - 5));  // no "FIN"
    EXPECT_THROW(DiscoX::readDatos(dir.path(), c), FileError);
    dir.write(CommitJournalName, "VANTO-DIARIO 1\r\n../fuera\r\nB DATOS.DAT\r\nFIN\r\n");
    EXPECT_THROW(DiscoX::readDatos(dir.path(), c), FileError);
    EXPECT_TRUE(std::filesystem::exists(dir / "DATOS.DAT"));
}

TEST(Datos, MissingIsQuietAndDamagedThrows) {
    test::TempDir dir;
    StructureCounts c;
    c.NodeCount = 7;
    EXPECT_EQ(DiscoX::readDatos(dir.path(), c), Status::Missing);
    EXPECT_EQ(c.NodeCount, 7);
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n4\r\n");
    EXPECT_THROW(DiscoX::readDatos(dir.path(), c), FileError);
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\ncuatro\r\n5\r\n");
    const auto e = test::thrown<FileError>([&] { DiscoX::readDatos(dir.path(), c); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind(), FileError::Kind::Damaged);
    EXPECT_EQ(e->detail(), "se esperaba un número (línea 2)");
}

TEST(Types, PatternsNamesAndRoundTrip) {
    test::TempDir dir;
    BarTypes<float> t;
    t.count = 3;
    t.values = Table<float>(3, TypeFieldCount);
    t.names = {"", "IPE-200", "Año-Ñandú-viga-larga", "Zapata"};
    const float ipe[] = {0, 28.5f, 1940, 142, 6.67f, 2100000, 0.3f, 2600, 7850, 0.012f};
    const float big[] = {0, 6000, 1234567.25f, 20345052, 10, 500, 0.05f, 2, 1800, 0.01f};
    const float edge[] = {0, 5000, 1, 1, 1, 300000, 0.2f, 250, 2500, 0.011f};
    for (int f = 1; f <= TypeFieldCount; ++f)
        t.values(1, f) = ipe[f], t.values(2, f) = big[f], t.values(3, f) = edge[f];
    DiscoX::writeTypes(dir.path(), t);
    EXPECT_EQ(
        dir.read("TIPOS.DAT"),
        "ACm2..InerZcm4.InerYcm4.MTorsCm4.MYKg/cm2..mu.TLKg/cm2.PEKg/m3.CdTerm.Nombre(b·h)...\r\n"
        "3\r\n"
        "  28.5    1940.0     142.0       6.7 2100000 0.30  2600  7850  0.012 "
        "\"IPE-200--------\"\r\n"
        "  6000   1234567  20345052        10     500 0.05     2  1800  0.010 "
        "\"Año-Ñandú-viga-\"\r\n"
        "5000.0       1.0       1.0       1.0  300000 0.20   250  2500  0.011 "
        "\"Zapata---------\"\r\n");

    const auto back = DiscoX::readTypes<double>(dir.path());
    ASSERT_EQ(back.count, 3);
    EXPECT_EQ(back.names[1], "IPE-200--------");
    EXPECT_EQ(back.names[2], "Año-Ñandú-viga-");  // characters, not bytes
    EXPECT_DOUBLE_EQ(back.values(1, A), 28.5);
    EXPECT_DOUBLE_EQ(back.values(1, MTors), 6.7);  // written to 0.1 cm⁴
    EXPECT_DOUBLE_EQ(back.values(1, Mu), 0.3);
    EXPECT_DOUBLE_EQ(back.values(2, InerZ), 1234567);
    EXPECT_DOUBLE_EQ(back.values(3, CdTerm), 0.011);
}

TEST(Types, OldFilesInWindows1252AndAnyHeaderAreRead) {
    test::TempDir dir;
    dir.write("TIPOS.DAT",
              " cabecera cualquiera\r\n 1 \r\n  10.0 1 2 3 2100000 0.30 2600 7850 0.012 "
              "\"Secci\xF3n-------\"\r\n");
    const auto t = DiscoX::readTypes<float>(dir.path());
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.names[1], "Sección-------");
}

TEST(Types, ACountThatIsNotANumberOrAMissingNameIsDamaged) {
    test::TempDir dir;
    dir.write("TIPOS.DAT", "cabecera\r\ndos\r\n");
    EXPECT_THROW(DiscoX::readTypes<float>(dir.path()), FileError);
    dir.write("TIPOS.DAT", "cabecera\r\n2\r\n1 2 3 4 5 6 7 8 9 \"a\"\r\n1 2 3 4 5 6 7 8 9\r\n");
    EXPECT_THROW(DiscoX::readTypes<float>(dir.path()), FileError);
}

TEST(Notes, FullStopAndLineBreaks) {
    test::TempDir dir;
    EXPECT_EQ(DiscoX::readNotes(dir.path()), std::nullopt);
    dir.write("NOTAS.DAT", "Primera línea.\r\nSegunda línea");
    EXPECT_EQ(DiscoX::readNotes(dir.path()), "Primera línea.\r\nSegunda línea.");
    dir.write("NOTAS.DAT", "");
    EXPECT_EQ(DiscoX::readNotes(dir.path()), ".");
    DiscoX::writeNotes(dir.path(), "Nave\nde dos vanos.");
    EXPECT_EQ(dir.read("NOTAS.DAT"), "Nave\r\nde dos vanos.\r\n");
    EXPECT_EQ(DiscoX::readNotes(dir.path()), "Nave\r\nde dos vanos.");
}

TEST(Results, QuietAndFatalFilesAndTheirLayouts) {
    test::TempDir dir;
    EXPECT_EQ(DiscoX::readNodeResults<double>(dir.path(), DiscoX::NodeResult::Displacements, 2),
              std::nullopt);
    EXPECT_EQ(DiscoX::readEndForces(dir.path(), 1), std::nullopt);
    EXPECT_THROW(DiscoX::readNodeResults<double>(dir.path(), DiscoX::NodeResult::Unbalanced, 2),
                 FileError);

    std::vector<double> d(13);
    for (int i = 1; i <= 12; ++i)
        d[i] = i / 8.0;
    DiscoX::writeNodeResults(dir.path(), DiscoX::NodeResult::Displacements, d, 2);
    EXPECT_EQ(dir.read("INCOG.RES").substr(0, 15), "0.125\r\n0.25\r\n0.");
    const auto table = DiscoX::readDisplacements<double>(dir.path(), 2);
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)(2, 1), 7 / 8.0);

    Table<double> f(1, 12);
    f(1, 1) = -1.0 / 3.0;
    f(1, 12) = 5;
    DiscoX::writeEndForces(dir.path(), f, 1);
    const auto back = DiscoX::readEndForces(dir.path(), 1);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)(1, 1), float(-1.0 / 3.0));
    EXPECT_EQ((*back)(1, 12), 5);
    EXPECT_EQ(dir.read("ESFUERZO.RES").substr(0, 21), "-0.3333333333333333\r\n");
}

TEST(Settings, SixLinesAndTheOptionalSixth) {
    test::TempDir dir;
    Session s;
    s.settingsDirectory = dir.path();
    EXPECT_EQ(DiscoX::readSettings(s), Status::Missing);

    s.settings = {"/", "/home/obras", "Nave", "/home/obras/-Nave", "", 2};
    DiscoX::writeSettings(s);
    EXPECT_EQ(dir.read("NOMBRE.DAT"),
              "\"/\"\r\n\"/home/obras\"\r\n\"Nave\"\r\n\"/home/obras/-Nave\"\r\n\"\"\r\n2\r\n");

    Session fresh;
    fresh.settingsDirectory = dir.path();
    ASSERT_EQ(DiscoX::readSettings(fresh), Status::Read);

    // The window state is taken only on the first read of a run.
    dir.write("NOMBRE.DAT", "\"/\",\"/w\",\"A\",\"/w/-A\",\"x\",1\r\n");
    ASSERT_EQ(DiscoX::readSettings(fresh), Status::Read);
    EXPECT_EQ(fresh.settings.StructureName, "A");
    EXPECT_EQ(fresh.settings.ChildWindowState, 2);

    dir.write("NOMBRE.DAT", "\"/\"\r\n\"/w\"\r\n\"A\"\r\n\"/w/-A\"\r\n\"\"\r\n");
    Session noSixth;
    noSixth.settingsDirectory = dir.path();
    noSixth.settings.ChildWindowState = 1;
    ASSERT_EQ(DiscoX::readSettings(noSixth), Status::Read);
    EXPECT_EQ(noSixth.settings.ChildWindowState, 0);

    dir.write("NOMBRE.DAT", "\"\"\r\n\"/w\"\r\n");
    EXPECT_EQ(DiscoX::readSettings(noSixth), Status::Missing);

    DiscoX::deleteSettings(noSixth);
    EXPECT_FALSE(std::filesystem::exists(dir / "NOMBRE.DAT"));
}

TEST(Writing, AFailedWriteIsReportedAndLeavesTheOldFile) {
    test::TempDir dir;
    const auto e = test::thrown<FileError>([&] { DiscoX::writeDatos(dir / "no-existe", 1, 1); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind(), FileError::Kind::WriteFailed);
    EXPECT_EQ(e->message().rfind("No se pudo escribir el fichero: ", 0), 0u);
}

}  // namespace
}  // namespace vanto
