#include "model/names.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/tempdir.h"

namespace vanto {
namespace {

namespace fs = std::filesystem;

const std::string Slash = "El nombre de una estructura no puede contener el carácter \"/\".";
const std::string Quote = "El nombre de una estructura no puede contener comillas (\").";

TEST(StructureNames, TrimmedOfBlanksAndRefusedWithASeparator) {
    const std::pair<std::string, std::string> trims[] = {
        {"  Nave  ", "Nave"}, {"\tNave 2\r\n", "Nave 2"},         {"\u00a0Año\u3000", "Año"},
        {"   ", ""},          {"Pórtico \"A\"", "Pórtico \"A\""},
    };
    for (const auto& [typed, name] : trims)
        EXPECT_EQ(trimmedName(typed), name) << typed;

    const std::pair<std::string, std::string> refusals[] = {
        {"Nave", ""},        {"Pórtico \"A\"", Quote}, {"-Nave", ""},
        {"../fuera", Slash}, {"a/b", Slash},           {std::string("a\0b", 3), Slash},
    };
    for (const auto& [name, why] : refusals)
        EXPECT_EQ(nameRefusal(name), why) << name;
}

// A work directory with -Nave (data and results), -Puente (holding a
// directory of the user's) and an empty -Copia.
struct Work {
    Work() {
        for (const char* d : {"-Nave", "-Puente/fotos", "-Copia"})
            fs::create_directories(dir / d);
        dir.write("-Nave/DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n1\r\n");
        dir.write("-Nave/INCOG.RES", "0\r\n");
        // Load cases and their results travel with the copy.
        dir.write("-Nave/HIPOTESI.DAT", "2\r\n\"G\"\r\n\"Q\"\r\n");
        dir.write("-Nave/CARGAS.H02", "1\r\n");
        dir.write("-Nave/INCOG.C01", "2\r\n");
        dir.write("-Puente/DATOS.DAT", "x");
    }
    test::TempDir dir;
};

TEST(StructureChanges, DoWhatTheyReportAndNothingWhenRefused) {
    using Run = std::function<StructureChange(const fs::path&)>;
    struct Case {
        const char* what;
        Run run;
        std::string message;  // "@" stands for the work directory
        bool changed;
        std::string created;
        std::function<bool(const fs::path&)> disk;
    };
    auto empty = [](const fs::path& p) { return fs::is_directory(p) && fs::is_empty(p); };
    const Case cases[] = {
        {"new", [](auto& w) { return createStructure(w, "  Vieja "); }, "", true, "Vieja",
         [&](auto& w) { return empty(w / "-Vieja"); }},
        {"new, blank", [](auto& w) { return createStructure(w, " "); },
         "Escriba el nombre de la nueva estructura.", false, "",
         [](auto& w) { return !fs::exists(w / "-"); }},
        {"new, existing", [](auto& w) { return createStructure(w, "Nave"); },
         "Ese trabajo ya existe en el directorio actual", false, "",
         [](auto& w) { return fs::exists(w / "-Nave" / "INCOG.RES"); }},
        {"new, separator", [](auto& w) { return createStructure(w, "../fuera"); }, Slash, false, "",
         [](auto& w) { return !fs::exists(w.parent_path() / "fuera"); }},
        {"new, no work directory", [](auto& w) { return createStructure(w / "no", "Nave"); },
         "No se pudo crear el directorio: @/no/-Nave", false, "",
         [](auto& w) { return !fs::exists(w / "no"); }},
        {"copy", [](auto& w) { return copyStructure(w, "Nave", " Nave 2"); }, "", true, "Nave 2",
         [](auto& w) { return test::snapshot(w / "-Nave 2") == test::snapshot(w / "-Nave"); }},
        {"copy leaves directories out", [](auto& w) { return copyStructure(w, "Puente", "P2"); },
         "", true, "P2", [](auto& w) { return !fs::exists(w / "-P2" / "fotos"); }},
        {"copy, no source", [](auto& w) { return copyStructure(w, "", "Nave 2"); },
         "Seleccione en la lista, o escriba, la estructura que desea copiar.", false, "",
         [](auto& w) { return !fs::exists(w / "-Nave 2"); }},
        {"copy, missing source", [](auto& w) { return copyStructure(w, "Fantasma", "F2"); },
         "No encuentro la estructura a copiar en el directorio actual", false, "",
         [](auto& w) { return !fs::exists(w / "-F2"); }},
        {"copy, existing copy", [](auto& w) { return copyStructure(w, "Nave", "Copia"); },
         "El nombre de la copia ya existe en el directorio actual, debe borrarla primero.", false,
         "", [&](auto& w) { return empty(w / "-Copia"); }},
        {"copy, separator", [](auto& w) { return copyStructure(w, "Nave", "a/b"); }, Slash, false,
         "", [](auto& w) { return !fs::exists(w / "-a"); }},
        {"delete", [](auto& w) { return deleteStructure(w, "Nave "); }, "", true, "",
         [](auto& w) { return !fs::exists(w / "-Nave"); }},
        {"delete, missing", [](auto& w) { return deleteStructure(w, "Fantasma"); },
         "Este trabajo no existe: @/-Fantasma", false, "",
         [](auto& w) { return fs::exists(w / "-Nave"); }},
        {"delete, nothing named", [](auto& w) { return deleteStructure(w, ""); },
         "Este trabajo no existe: @/-", false, "", [](auto& w) { return fs::exists(w / "-Nave"); }},
        {"delete, holding a directory", [](auto& w) { return deleteStructure(w, "Puente"); },
         "No se puede borrar la estructura: contiene otros directorios.\n@/-Puente", false, "",
         [](auto& w) { return fs::exists(w / "-Puente" / "DATOS.DAT"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Work work;
        const fs::path& w = work.dir.path();
        const StructureChange r = c.run(w);
        std::string message = c.message;
        if (const auto at = message.find('@'); at != std::string::npos)
            message.replace(at, 1, w.string());
        EXPECT_EQ(r.message, message);
        EXPECT_EQ(r.changed, c.changed);
        EXPECT_EQ(r.created, c.created);
        EXPECT_TRUE(c.disk(w));
    }
}

}  // namespace
}  // namespace vanto
