#include "model/files.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <system_error>

#include "model/helpers.h"
#include "model/textfile.h"

namespace vanto {

namespace fs = std::filesystem;

FileError::FileError(Kind kind, fs::path path, std::string detail)
    : std::runtime_error(path.string()),
      kind_(kind),
      path_(std::move(path)),
      detail_(std::move(detail)) {}

std::string FileError::message() const {
    switch (kind_) {
        case Kind::Missing:
            return "No existe el fichero: " + path_.string();
        case Kind::Damaged:
            return "Error en rutina DiscoX.\n"
                   "La estructura a la que intentaba acceder debe tener corrompido algún fichero.\n"
                   "Intente solucionarlo y arranque de nuevo el programa.";
        case Kind::WriteFailed:
            return "No se pudo escribir el fichero: " + path_.string();
    }
    return {};
}

namespace {

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

[[noreturn]] void damaged(const fs::path& path, const std::string& what, int line) {
    throw FileError(FileError::Kind::Damaged, path,
                    what + (line > 0 ? " (línea " + std::to_string(line) + ")" : ""));
}

// The decoded text of a file; nullopt for a quiet missing file.
std::optional<std::string> load(const fs::path& dir, std::string_view name, bool fatal) {
    const fs::path path = findFile(dir, name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        if (fatal) throw FileError(FileError::Kind::Missing, path);
        return std::nullopt;
    }
    auto text = readTextFile(path);
    if (!text) throw FileError(FileError::Kind::Damaged, path, "no se puede leer");
    return text;
}

// Value i of the `count` numbers a file must hold; the first that is missing,
// not a number or out of range is reported.
template <class T>
T readValue(ValueReader& in, const fs::path& path, std::size_t count, std::size_t i) {
    const auto v = in.number();
    if (!v) {
        if (in.atEnd())
            damaged(path,
                    "faltan valores: se esperaban " + std::to_string(count) + " y hay " +
                        std::to_string(i),
                    0);
        damaged(path, "se esperaba un número", in.lineNumber());
    }
    // A value beyond the target's range would turn into infinity.
    if (std::fabs(*v) > double(std::numeric_limits<T>::max()))
        damaged(path, "número fuera de rango", in.lineNumber());
    return T(*v);
}

// Reads `count` numbers from a reader.
template <class T>
void readInto(ValueReader& in, const fs::path& path, std::size_t count, T* out) {
    for (std::size_t i = 0; i < count; ++i)
        out[i] = readValue<T>(in, path, count, i);
}

// What is left after the values the counts call for means the file does not
// fit them: a decimal comma ("6,5") reads as two values and shifts the rest.
void checkEnd(ValueReader& in, const fs::path& path) {
    if (!in.atEnd())
        damaged(path, "hay más valores de los que indican los números de nudos y barras",
                in.lineNumber());
}

// Data files hold exactly `count` numbers; result files at least that many.
enum class Extra { Refused, Ignored };

template <class T>
std::vector<T> readNumbers(const fs::path& dir, std::string_view name, std::size_t count,
                           Extra extra) {
    const fs::path path = findFile(dir, name);
    ValueReader in(*load(dir, name, true));
    // Every value takes at least one character: a count beyond what the text
    // can hold runs out of values before anything of its size is allocated.
    std::vector<T> values;
    values.reserve(std::min(count, in.size()));
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(readValue<T>(in, path, count, i));
    if (extra == Extra::Refused) checkEnd(in, path);
    return values;
}

void write(const fs::path& dir, std::string_view name, const TextWriter& w) {
    replaceFile(dir, name, w.content());
}

const char* nodeFileName(DiscoX::NodeFile f) {
    return f == DiscoX::NodeFile::Loads ? "CARGAS.DAT" : "COACCION.DAT";
}
const char* resultFileName(DiscoX::NodeResult f) {
    return f == DiscoX::NodeResult::Displacements ? "INCOG.RES" : "DESEQUIL.RES";
}

void checkCount(const fs::path& dir, std::string_view name, long long n) {
    if (n < 0) damaged(findFile(dir, name), "número de elementos negativo", 0);
}

// A text in quotes, a quote inside doubled, so that it reads back whatever
// it holds.
std::string quotedText(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace

fs::path findFile(const fs::path& dir, std::string_view name) {
    std::error_code ec;
    const fs::path exact = dir / std::string(name);
    if (fs::exists(exact, ec)) return exact;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (sameNameIgnoringCase(entry, name)) return it->path();
    }
    return exact;
}

bool fileExists(const fs::path& dir, std::string_view name) {
    std::error_code ec;
    return fs::is_regular_file(findFile(dir, name), ec);
}

void replaceFile(const fs::path& dir, std::string_view name, std::string_view content) {
    const fs::path target = dir / std::string(name);
    const fs::path existing = findFile(dir, name);
    try {
        writeFileAtomically(target, content);
    } catch (const std::system_error& e) {
        throw FileError(FileError::Kind::WriteFailed, target, e.code().message());
    }
    if (existing != target) {
        std::error_code ec;
        fs::remove(existing, ec);
    }
}

namespace DiscoX {

Status readDatos(const fs::path& dir, StructureCounts& counts) {
    const auto text = load(dir, "DATOS.DAT", false);
    if (!text) return Status::Missing;
    const fs::path path = findFile(dir, "DATOS.DAT");
    ValueReader in(*text);
    const auto version = in.text();
    if (!version) damaged(path, "falta la versión", 1);
    counts.DataVersion = *version;
    if (firstCharacters(*version, 7) != firstCharacters(VersionText, 7))
        return Status::OtherVersion;
    double n[2];
    readInto(in, path, 2, n);
    if (n[0] < 0 || n[1] < 0 || n[0] > 1e8 || n[1] > 1e8 || n[0] != int(n[0]) || n[1] != int(n[1]))
        damaged(path, "número de nudos o barras no válido", 0);
    counts.NodeCount = int(n[0]);
    counts.BarCount = int(n[1]);
    counts.DofCount = 6 * counts.NodeCount;
    return Status::Read;
}

void writeDatos(const fs::path& dir, int nodeCount, int barCount) {
    TextWriter w;
    w.line(quotedText(VersionText)).line(std::to_string(nodeCount)).line(std::to_string(barCount));
    write(dir, "DATOS.DAT", w);
}

template <class T>
Table<T> readCoordinates(const fs::path& dir, int nodeCount) {
    checkCount(dir, "COORDENA.DAT", nodeCount);
    const auto flat =
        readNumbers<T>(dir, "COORDENA.DAT", 3 * std::size_t(nodeCount), Extra::Refused);
    Table<T> xyz(nodeCount, 3);
    for (int axis = 1; axis <= 3; ++axis)
        for (int n = 1; n <= nodeCount; ++n)
            xyz(n, axis) = flat[std::size_t(axis - 1) * nodeCount + n - 1];
    return xyz;
}
template Table<float> readCoordinates<float>(const fs::path&, int);
template Table<double> readCoordinates<double>(const fs::path&, int);

void writeCoordinates(const fs::path& dir, const Table<float>& xyz, int nodeCount) {
    TextWriter w;
    w.reserve(std::size_t(nodeCount) * 3 * 10);
    for (int axis = 1; axis <= 3; ++axis)
        for (int n = 1; n <= nodeCount; ++n)
            w.line(writtenValue(xyz(n, axis)));
    write(dir, "COORDENA.DAT", w);
}

Table<float> readBars(const fs::path& dir, int barCount) {
    checkCount(dir, "BARRAS.DAT", barCount);
    const auto flat = readNumbers<float>(dir, "BARRAS.DAT", BarFieldCount * std::size_t(barCount),
                                         Extra::Refused);
    Table<float> bars(barCount, BarFieldCount);
    for (int b = 1; b <= barCount; ++b)
        for (int f = 1; f <= BarFieldCount; ++f)
            bars(b, f) = flat[std::size_t(b - 1) * BarFieldCount + f - 1];
    return bars;
}

void writeBars(const fs::path& dir, const Table<float>& bars, int barCount) {
    TextWriter w;
    w.reserve(std::size_t(barCount) * 32);
    for (int b = 1; b <= barCount; ++b) {
        std::string l;
        for (int f = 1; f <= BarFieldCount; ++f) {
            if (f > 1) l += ',';
            l += writtenValue(bars(b, f));
        }
        w.line(l);
    }
    write(dir, "BARRAS.DAT", w);
}

template <class T>
Table<T> readNodeValues(const fs::path& dir, NodeFile file, int nodeCount) {
    checkCount(dir, nodeFileName(file), nodeCount);
    const auto flat =
        readNumbers<T>(dir, nodeFileName(file), 6 * std::size_t(nodeCount), Extra::Refused);
    Table<T> t(nodeCount, 6);
    for (int n = 1; n <= nodeCount; ++n)
        for (int k = 1; k <= 6; ++k)
            t(n, k) = flat[std::size_t(n - 1) * 6 + k - 1];
    return t;
}
template Table<float> readNodeValues<float>(const fs::path&, NodeFile, int);
template Table<double> readNodeValues<double>(const fs::path&, NodeFile, int);

template <class T>
std::vector<T> readNodeValuesFlat(const fs::path& dir, NodeFile file, int nodeCount) {
    checkCount(dir, nodeFileName(file), nodeCount);
    const auto flat =
        readNumbers<T>(dir, nodeFileName(file), 6 * std::size_t(nodeCount), Extra::Refused);
    std::vector<T> out(6 * std::size_t(nodeCount) + 1);
    std::copy(flat.begin(), flat.end(), out.begin() + 1);
    return out;
}
template std::vector<float> readNodeValuesFlat<float>(const fs::path&, NodeFile, int);
template std::vector<double> readNodeValuesFlat<double>(const fs::path&, NodeFile, int);

void writeNodeValues(const fs::path& dir, NodeFile file, const Table<float>& values,
                     int nodeCount) {
    TextWriter w;
    w.reserve(std::size_t(nodeCount) * 6 * 6);
    for (int n = 1; n <= nodeCount; ++n)
        for (int k = 1; k <= 6; ++k)
            w.line(writtenValue(values(n, k)));
    write(dir, nodeFileName(file), w);
}

std::string typeLine(const float* v, std::string_view name) {
    const bool big = v[A] > 5000;
    static constexpr const char* small[] = {"",          "###0.0",  "######0.0", "######0.0",
                                            "######0.0", "######0", "0.00",      "####0",
                                            "####0 ",    "0.000"};
    static constexpr const char* large[] = {"",          "#####0",  "########0", "########0",
                                            "########0", "######0", "0.00",      "####0",
                                            "####0 ",    "0.000"};
    std::string l;
    for (int f = 1; f <= TypeFieldCount; ++f) {
        if (f > 1) l += ' ';
        l += FormatPadded(v[f], big ? large[f] : small[f]);
    }
    l += ' ';
    l += quotedText(firstCharacters(std::string(name) + "---------------", TypeNameLength));
    return l;
}

template <class T>
BarTypes<T> readTypes(const fs::path& dir) {
    const fs::path path = findFile(dir, "TIPOS.DAT");
    ValueReader in(*load(dir, "TIPOS.DAT", true));
    in.skipLine();
    double count = 0;
    readInto(in, path, 1, &count);
    if (count < 0 || count > 32767 || count != int(count))
        damaged(path, "número de tipos no válido", 2);
    BarTypes<T> types;
    types.count = int(count);
    types.values = Table<T>(types.count, TypeFieldCount);
    types.names.assign(std::size_t(types.count) + 1, std::string());
    for (int t = 1; t <= types.count; ++t) {
        readInto(in, path, TypeFieldCount, types.values.row(t) + 1);
        const auto name = in.text();
        if (!name) damaged(path, "falta el nombre del tipo " + std::to_string(t), in.lineNumber());
        types.names[t] = *name;
    }
    if (!in.atEnd()) damaged(path, "hay más tipos de los que indica su número", in.lineNumber());
    return types;
}
template BarTypes<float> readTypes<float>(const fs::path&);
template BarTypes<double> readTypes<double>(const fs::path&);

void writeTypes(const fs::path& dir, const BarTypes<float>& types) {
    TextWriter w;
    w.line(TypesHeader).line(std::to_string(types.count));
    for (int t = 1; t <= types.count; ++t)
        w.line(typeLine(types.values.row(t), types.names[t]));
    write(dir, "TIPOS.DAT", w);
}

std::optional<std::string> readNotes(const fs::path& dir) {
    const auto text = load(dir, "NOTAS.DAT", false);
    if (!text) return std::nullopt;
    std::string joined;
    const auto lines = splitLines(*text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) joined += "\r\n";
        joined += lines[i];
    }
    if (joined.empty() || joined.back() != '.') joined += '.';
    return joined;
}

void writeNotes(const fs::path& dir, std::string_view text) {
    // Line breaks as typed, whatever their form, become CR LF.
    const auto lines = splitLines(text);
    TextWriter w;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) w.text("\r\n");
        w.text(lines[i]);
    }
    if (!text.empty() && text.back() == '\n') w.text("\r\n");
    w.line();
    write(dir, "NOTAS.DAT", w);
}

template <class T>
std::optional<std::vector<T>> readNodeResults(const fs::path& dir, NodeResult file, int nodeCount) {
    const char* name = resultFileName(file);
    checkCount(dir, name, nodeCount);
    if (file == NodeResult::Displacements && !fileExists(dir, name)) return std::nullopt;
    const auto flat = readNumbers<T>(dir, name, 6 * std::size_t(nodeCount), Extra::Ignored);
    std::vector<T> out(6 * std::size_t(nodeCount) + 1);
    std::copy(flat.begin(), flat.end(), out.begin() + 1);
    return out;
}
template std::optional<std::vector<float>> readNodeResults<float>(const fs::path&, NodeResult, int);
template std::optional<std::vector<double>> readNodeResults<double>(const fs::path&, NodeResult,
                                                                    int);

template <class T>
std::optional<Table<T>> readDisplacements(const fs::path& dir, int nodeCount) {
    const auto flat = readNodeResults<T>(dir, NodeResult::Displacements, nodeCount);
    if (!flat) return std::nullopt;
    Table<T> t(nodeCount, 6);
    for (int n = 1; n <= nodeCount; ++n)
        for (int k = 1; k <= 6; ++k)
            t(n, k) = (*flat)[std::size_t(n - 1) * 6 + k];
    return t;
}
template std::optional<Table<float>> readDisplacements<float>(const fs::path&, int);
template std::optional<Table<double>> readDisplacements<double>(const fs::path&, int);

void writeNodeResults(const fs::path& dir, NodeResult file, const std::vector<double>& values,
                      int nodeCount) {
    TextWriter w;
    w.reserve(std::size_t(nodeCount) * 6 * 24);
    for (std::size_t i = 1; i <= 6 * std::size_t(nodeCount); ++i)
        w.line(writtenValue(values[i]));
    write(dir, resultFileName(file), w);
}

std::optional<Table<float>> readEndForces(const fs::path& dir, int barCount) {
    checkCount(dir, "ESFUERZO.RES", barCount);
    if (!fileExists(dir, "ESFUERZO.RES")) return std::nullopt;
    const auto flat =
        readNumbers<float>(dir, "ESFUERZO.RES", 12 * std::size_t(barCount), Extra::Ignored);
    Table<float> t(barCount, 12);
    for (int b = 1; b <= barCount; ++b)
        for (int k = 1; k <= 12; ++k)
            t(b, k) = flat[std::size_t(b - 1) * 12 + k - 1];
    return t;
}

void writeEndForces(const fs::path& dir, const Table<double>& forces, int barCount) {
    TextWriter w;
    w.reserve(std::size_t(barCount) * 12 * 24);
    for (int b = 1; b <= barCount; ++b)
        for (int k = 1; k <= 12; ++k)
            w.line(writtenValue(forces(b, k)));
    write(dir, "ESFUERZO.RES", w);
}

Status readSettings(Session& session) {
    const auto text = load(session.settingsDirectory, "NOMBRE.DAT", false);
    if (!text) return Status::Missing;
    const fs::path path = findFile(session.settingsDirectory, "NOMBRE.DAT");
    ValueReader in(*text);
    const auto drive = in.text();
    if (!drive || drive->empty()) return Status::Missing;
    SessionSettings s = session.settings;
    s.Drive = *drive;
    std::string* fields[] = {&s.WorkDirectory, &s.StructureName, &s.StructureDirectory,
                             &s.SpareText};
    for (std::string* f : fields) {
        const auto v = in.text();
        if (!v) damaged(path, "faltan valores", in.lineNumber());
        *f = *v;
    }
    if (!session.settingsRead) {
        s.ChildWindowState = 0;
        if (!in.atEnd()) {
            const auto v = in.number();
            if (!v || std::fabs(*v) > double(std::numeric_limits<float>::max()))
                damaged(path, "se esperaba un número", in.lineNumber());
            s.ChildWindowState = float(*v);
        }
        session.settingsRead = true;
    }
    session.settings = s;
    return Status::Read;
}

void writeSettings(const Session& session) {
    const SessionSettings& s = session.settings;
    TextWriter w;
    w.line(quotedText(s.Drive))
        .line(quotedText(s.WorkDirectory))
        .line(quotedText(s.StructureName))
        .line(quotedText(s.StructureDirectory))
        .line(quotedText(s.SpareText))
        .line(writtenValue(s.ChildWindowState));
    write(session.settingsDirectory, "NOMBRE.DAT", w);
}

void deleteSettings(const Session& session) {
    std::error_code ec;
    const fs::path path = findFile(session.settingsDirectory, "NOMBRE.DAT");
    fs::remove(path, ec);
}

}  // namespace DiscoX

}  // namespace vanto
