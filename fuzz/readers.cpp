#include "readers.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "exchange/dxf_import.h"
#include "exchange/exchange.h"
#include "exchange/frames.h"
#include "model/files.h"
#include "model/platform.h"
#include "model/structure_data.h"
#include "reports/listing_import.h"

namespace vanto::fuzz {

namespace fs = std::filesystem;

namespace {

// One scratch directory per process, removed at exit.
const fs::path& scratch() {
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "vanto-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch directory");
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(scratch(), ec);
        });
        return fs::path(pattern);
    }();
    return dir;
}

// A fresh directory for one input.
fs::path emptyDirectory(const char* name) {
    const fs::path dir = scratch() / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    return dir;
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The NUL-separated files of an input, written under `names`; a file the
// input leaves out is not written.
fs::path writeFiles(const char* reader, std::string_view input,
                    std::initializer_list<const char*> names) {
    const fs::path dir = scratch() / reader;
    fs::create_directories(dir);
    bool more = true;
    for (const char* name : names) {
        std::error_code ec;
        fs::remove(dir / name, ec);
        if (!more) continue;
        const auto nul = input.find('\0');
        writeFile(dir / name, input.substr(0, nul));
        more = nul != std::string_view::npos;
        if (more) input.remove_prefix(nul + 1);
    }
    return dir;
}

template <class F>
void allowingFileErrors(F&& body) {
    try {
        body();
    } catch (const FileError&) {
    }
}

template <class F>
void allowingExchangeErrors(F&& body) {
    try {
        body();
    } catch (const exchange::ExchangeError&) {
    }
}

void structurePart(const char* reader, const char* file, Parts part, std::string_view input) {
    const fs::path dir = writeFiles(reader, input, {"DATOS.DAT", file});
    allowingFileErrors([&] {
        loadStructure<double>(dir, part);
        loadStructure<float>(dir, part);
    });
}

void datos(std::string_view input) {
    const fs::path dir = writeFiles("datos", input, {"DATOS.DAT"});
    allowingFileErrors([&] {
        StructureCounts counts;
        DiscoX::readDatos(dir, counts);
    });
}

void coordena(std::string_view input) {
    structurePart("coordena", "COORDENA.DAT", part::Coordinates, input);
}
void barras(std::string_view input) {
    structurePart("barras", "BARRAS.DAT", part::Bars, input);
}
void cargas(std::string_view input) {
    structurePart("cargas", "CARGAS.DAT", part::Loads, input);
}
void coaccion(std::string_view input) {
    structurePart("coaccion", "COACCION.DAT", part::Restraints, input);
}

void tipos(std::string_view input) {
    const fs::path dir = writeFiles("tipos", input, {"TIPOS.DAT"});
    BarTypes<float> types;
    try {
        types = DiscoX::readTypes<float>(dir);
    } catch (const FileError&) {
        return;
    }
    // Whatever was read is written so that it reads back, names unchanged.
    DiscoX::writeTypes(dir, types);
    const BarTypes<float> again = DiscoX::readTypes<float>(dir);
    DiscoX::writeTypes(dir, again);
    if (again.count != types.count || DiscoX::readTypes<float>(dir).names != again.names)
        throw std::logic_error("TIPOS.DAT does not read back");
}

// NOMBRE.DAT: what is read is written and must read back unchanged.
void nombre(std::string_view input) {
    Session session;
    session.settingsDirectory = writeFiles("nombre", input, {"NOMBRE.DAT"});
    try {
        if (DiscoX::readSettings(session) != DiscoX::Status::Read) return;
    } catch (const FileError&) {
        return;
    }
    DiscoX::writeSettings(session);
    Session again;
    again.settingsDirectory = session.settingsDirectory;
    const SessionSettings& a = session.settings;
    const SessionSettings& b = again.settings;
    if (DiscoX::readSettings(again) != DiscoX::Status::Read || b.Drive != a.Drive ||
        b.WorkDirectory != a.WorkDirectory || b.StructureName != a.StructureName ||
        b.StructureDirectory != a.StructureDirectory || b.SpareText != a.SpareText ||
        b.ChildWindowState != a.ChildWindowState)
        throw std::logic_error("NOMBRE.DAT does not read back");
}

void results(std::string_view input) {
    const fs::path dir =
        writeFiles("results", input, {"DATOS.DAT", "INCOG.RES", "ESFUERZO.RES", "DESEQUIL.RES"});
    allowingFileErrors([&] {
        StructureCounts counts;
        if (DiscoX::readDatos(dir, counts) != DiscoX::Status::Read) return;
        DiscoX::readDisplacements<double>(dir, counts.NodeCount);
        DiscoX::readEndForces(dir, counts.BarCount);
        DiscoX::readNodeResults<float>(dir, DiscoX::NodeResult::Unbalanced, counts.NodeCount);
    });
}

// A name as the load-case writer puts it on its one line.
std::string oneLine(std::string name) {
    for (char& c : name)
        if (c == '\r' || c == '\n') c = ' ';
    return name;
}

// The load-case files: what is read is written and must read back.
void cases(std::string_view input) {
    const fs::path dir = writeFiles(
        "cases", input, {"DATOS.DAT", "HIPOTESI.DAT", "CARGAS.H02", "CARGABAR.H02", "COMBINA.DAT"});
    StructureCounts counts;
    LoadCases<float> read;
    try {
        if (DiscoX::readDatos(dir, counts) != DiscoX::Status::Read) return;
        read = DiscoX::readLoadCases<float>(dir, counts.NodeCount, counts.BarCount);
    } catch (const FileError&) {
        return;
    }
    DiscoX::writeLoadCases(dir, read, counts.NodeCount, counts.BarCount);
    const LoadCases<float> again =
        DiscoX::readLoadCases<float>(dir, counts.NodeCount, counts.BarCount);
    bool same =
        again.count() == read.count() && again.combinations.size() == read.combinations.size();
    for (int k = 1; same && k <= read.count(); ++k)
        same = again.name(k) == oneLine(read.name(k)) &&
               (k == 1 || again.loadCase(k).nodeLoads == read.loadCase(k).nodeLoads);
    for (std::size_t c = 0; same && c < read.combinations.size(); ++c)
        same = again.combinations[c].name == oneLine(read.combinations[c].name) &&
               again.combinations[c].factors == read.combinations[c].factors;
    if (!same) throw std::logic_error("the load-case files do not read back");
}

void dxf(std::string_view input) {
    allowingExchangeErrors([&] {
        const auto lines = exchange::readDxfLines(input, "fuzz.dxf");
        if (2 * lines.size() <= 16777216) exchange::buildDxfGeometry(lines, nullptr);
    });
}

void listing(std::string_view input) {
    const fs::path dir = emptyDirectory("listing");
    fs::create_directory(dir / "-F");
    writeFile(dir / "listado.txt", input);
    NoProgress progress;
    try {
        reports::listin(dir / "-F", dir / "listado.txt", progress);
    } catch (const reports::ListingImportError&) {
    }
}

template <exchange::FrameFile (*read)(std::string_view, const std::string&)>
void frame(std::string_view input) {
    allowingExchangeErrors([&] {
        const exchange::FrameFile f = read(input, "fuzz");
        exchange::frameTypes(f, "fuzz");
    });
}

}  // namespace

#ifdef VANTO_FUZZ_RTF
void rtf(std::string_view input);  // rtf_reader.cpp
#endif

std::span<const Reader> readers() {
    static const Reader table[] = {
        {"datos", datos},
        {"coordena", coordena},
        {"barras", barras},
        {"cargas", cargas},
        {"coaccion", coaccion},
        {"tipos", tipos},
        {"nombre", nombre},
        {"results", results},
        {"cases", cases},
        {"dxf", dxf},
        {"listing", listing},
        {"frame-single", frame<exchange::readSingleCaseFrameFile>},
        {"frame-four", frame<exchange::readFourCaseFrameFile>},
#ifdef VANTO_FUZZ_RTF
        {"rtf", rtf},
#endif
    };
    return table;
}

const Reader* findReader(std::string_view name) {
    for (const Reader& r : readers())
        if (name == r.name) return &r;
    return nullptr;
}

}  // namespace vanto::fuzz
