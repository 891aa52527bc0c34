#include "model/files.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <system_error>

#include "model/file_commit.h"
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
const char* resultStem(DiscoX::NodeResult f) {
    return f == DiscoX::NodeResult::Displacements ? "INCOG" : "DESEQUIL";
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
    replaceFile(dir, name, std::vector<std::string_view>{content});
}

void replaceFile(const fs::path& dir, std::string_view name,
                 const std::vector<std::string_view>& pieces) {
    const fs::path target = dir / std::string(name);
    const fs::path existing = findFile(dir, name);
    try {
        writeFileAtomically(target, pieces);
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
    // A save cut short after it was decided is completed before anyone reads.
    finishInterruptedCommit(dir);
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

}  // namespace DiscoX

namespace {

// A file of `width` values per item for `count` items, as (item, 1..width).
template <class T>
Table<T> readItemTable(const fs::path& dir, std::string_view name, int count, int width) {
    checkCount(dir, name, count);
    const auto flat = readNumbers<T>(dir, name, std::size_t(width) * count, Extra::Refused);
    Table<T> t(count, width);
    for (int n = 1; n <= count; ++n)
        for (int k = 1; k <= width; ++k)
            t(n, k) = flat[std::size_t(n - 1) * width + k - 1];
    return t;
}

// Six values per node, one per line.
void writeNodeTable(const fs::path& dir, std::string_view name, const Table<float>& values,
                    int nodeCount) {
    TextWriter w;
    w.reserve(std::size_t(nodeCount) * 6 * 6);
    for (int n = 1; n <= nodeCount; ++n)
        for (int k = 1; k <= 6; ++k)
            w.line(writtenValue(values(n, k)));
    write(dir, name, w);
}

}  // namespace

namespace DiscoX {

template <class T>
Table<T> readNodeValues(const fs::path& dir, NodeFile file, int nodeCount) {
    return readItemTable<T>(dir, nodeFileName(file), nodeCount, 6);
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
    writeNodeTable(dir, nodeFileName(file), values, nodeCount);
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

std::string resultFileName(std::string_view stem, const ResultSet& set) {
    return std::string(stem) + "." + set.extension();
}

template <class T>
std::optional<std::vector<T>> readNodeResults(const fs::path& dir, NodeResult file, int nodeCount,
                                              const ResultSet& set) {
    const std::string name = resultFileName(resultStem(file), set);
    checkCount(dir, name, nodeCount);
    if (file == NodeResult::Displacements && !fileExists(dir, name)) return std::nullopt;
    const auto flat = readNumbers<T>(dir, name, 6 * std::size_t(nodeCount), Extra::Ignored);
    std::vector<T> out(6 * std::size_t(nodeCount) + 1);
    std::copy(flat.begin(), flat.end(), out.begin() + 1);
    return out;
}
template std::optional<std::vector<float>> readNodeResults<float>(const fs::path&, NodeResult, int,
                                                                  const ResultSet&);
template std::optional<std::vector<double>> readNodeResults<double>(const fs::path&, NodeResult,
                                                                    int, const ResultSet&);

template <class T>
std::optional<Table<T>> readDisplacements(const fs::path& dir, int nodeCount,
                                          const ResultSet& set) {
    const auto flat = readNodeResults<T>(dir, NodeResult::Displacements, nodeCount, set);
    if (!flat) return std::nullopt;
    Table<T> t(nodeCount, 6);
    for (int n = 1; n <= nodeCount; ++n)
        for (int k = 1; k <= 6; ++k)
            t(n, k) = (*flat)[std::size_t(n - 1) * 6 + k];
    return t;
}
template std::optional<Table<float>> readDisplacements<float>(const fs::path&, int,
                                                              const ResultSet&);
template std::optional<Table<double>> readDisplacements<double>(const fs::path&, int,
                                                                const ResultSet&);

void writeNodeResults(const fs::path& dir, NodeResult file, const std::vector<double>& values,
                      int nodeCount, const ResultSet& set) {
    std::string text;
    text.reserve(std::size_t(nodeCount) * 6 * 24);
    for (std::size_t i = 1; i <= 6 * std::size_t(nodeCount); ++i) {
        appendWrittenValue(text, values[i]);
        text += "\r\n";
    }
    replaceFile(dir, resultFileName(resultStem(file), set), text);
}

std::optional<Table<float>> readEndForces(const fs::path& dir, int barCount, const ResultSet& set) {
    const std::string name = resultFileName("ESFUERZO", set);
    checkCount(dir, name, barCount);
    if (!fileExists(dir, name)) return std::nullopt;
    const auto flat = readNumbers<float>(dir, name, 12 * std::size_t(barCount), Extra::Ignored);
    Table<float> t(barCount, 12);
    for (int b = 1; b <= barCount; ++b)
        for (int k = 1; k <= 12; ++k)
            t(b, k) = flat[std::size_t(b - 1) * 12 + k - 1];
    return t;
}

void writeEndForces(const fs::path& dir, const Table<double>& forces, int barCount,
                    const ResultSet& set) {
    std::string text;
    text.reserve(std::size_t(barCount) * 12 * 24);
    for (int b = 1; b <= barCount; ++b)
        for (int k = 1; k <= 12; ++k) {
            appendWrittenValue(text, forces(b, k));
            text += "\r\n";
        }
    replaceFile(dir, resultFileName("ESFUERZO", set), text);
}

std::string caseFileName(std::string_view stem, int k) {
    return std::string(stem) + "." + ResultSet{ResultSet::Kind::Case, k}.code();
}

}  // namespace DiscoX

namespace {

// A whole number from `min` to `max` as the first value of `in`; `what`
// names it in the message.
int readBoundedCount(ValueReader& in, const fs::path& path, int min, int max,
                     const std::string& what) {
    const int line = in.lineNumber();
    const auto v = in.number();
    if (!v || *v != std::trunc(*v))
        damaged(path, "se esperaba el número de " + what + ", un número entero", line);
    if (*v > max)
        damaged(path,
                "hay " + writtenValue(*v) + " " + what + "; como mucho puede haber " +
                    std::to_string(max),
                line);
    if (*v < min)
        damaged(path,
                "el número de " + what + " debe estar entre " + std::to_string(min) + " y " +
                    std::to_string(max),
                line);
    return int(*v);
}

// HIPOTESI.DAT: the names of the cases.
std::vector<std::string> readCaseNames(const fs::path& dir, const std::string& text) {
    const fs::path path = findFile(dir, "HIPOTESI.DAT");
    ValueReader in(text);
    const int n = readBoundedCount(in, path, 1, MaxLoadCases, "hipótesis");
    std::vector<std::string> names;
    for (int k = 1; k <= n; ++k) {
        if (in.atEnd())
            damaged(path, "falta el nombre de la hipótesis " + std::to_string(k), in.lineNumber());
        names.push_back(*in.text());
    }
    if (!in.atEnd())
        damaged(path, "hay más nombres de los que indica el número de hipótesis", in.lineNumber());
    return names;
}

// The non-blank lines of a text with their numbers (from 1).
std::vector<std::pair<int, std::string>> filledLines(const std::string& text) {
    std::vector<std::pair<int, std::string>> out;
    const auto lines = splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find_first_not_of(" \t") != std::string::npos)
            out.emplace_back(int(i) + 1, lines[i]);
    return out;
}

// COMBINA.DAT: per combination a line with its name, a line with one factor
// per case.
std::vector<Combination> readCombinations(const fs::path& dir, const std::string& text,
                                          int caseCount) {
    const fs::path path = findFile(dir, "COMBINA.DAT");
    const auto lines = filledLines(text);
    if (lines.empty()) damaged(path, "falta el número de combinaciones", 1);
    ValueReader first(lines[0].second);
    const int m = readBoundedCount(first, path, 0, MaxCombinations, "combinaciones");
    if (!first.atEnd())
        damaged(path, "sobran valores tras el número de combinaciones", lines[0].first);
    if (lines.size() < 1 + 2 * std::size_t(m)) {
        const int c = int(lines.size()) / 2;
        damaged(path, "falta la combinación " + std::to_string(c + 1) + " de " + std::to_string(m),
                lines.back().first + 1);
    }
    if (lines.size() > 1 + 2 * std::size_t(m))
        damaged(path, "hay más líneas de las que piden " + std::to_string(m) + " combinaciones",
                lines[1 + 2 * std::size_t(m)].first);
    std::vector<Combination> out(static_cast<std::size_t>(m));
    for (int c = 1; c <= m; ++c) {
        const auto& [nameLine, nameText] = lines[std::size_t(2 * c - 1)];
        ValueReader name(nameText);
        out[c - 1].name = name.text().value_or("");
        if (!name.atEnd())
            damaged(path,
                    "el nombre de la combinación " + std::to_string(c) +
                        " debe ir solo en su línea, entre comillas",
                    nameLine);
        const auto& [line, factorsText] = lines[std::size_t(2 * c)];
        ValueReader factors(factorsText);
        while (!factors.atEnd()) {
            const auto v = factors.number();
            if (!v) damaged(path, "se esperaba un coeficiente, un número", line);
            out[c - 1].factors.push_back(*v);
        }
        if (int(out[c - 1].factors.size()) != caseCount)
            damaged(path,
                    "la combinación " + std::to_string(c) + " tiene " +
                        std::to_string(out[c - 1].factors.size()) +
                        " coeficientes y debe tener uno por hipótesis, " +
                        std::to_string(caseCount),
                    line);
    }
    return out;
}

// A name on one line: line breaks become blanks.
std::string oneLine(std::string name) {
    for (char& c : name)
        if (c == '\r' || c == '\n') c = ' ';
    return name;
}

}  // namespace

namespace DiscoX {

template <class T>
LoadCases<T> readLoadCases(const fs::path& dir, int nodeCount, int barCount) {
    LoadCases<T> cases;
    if (const auto text = load(dir, "HIPOTESI.DAT", false)) {
        const auto names = readCaseNames(dir, *text);
        cases.firstName = names[0];
        for (int k = 2; k <= int(names.size()); ++k)
            cases.more.push_back({names[std::size_t(k - 1)],
                                  readItemTable<T>(dir, caseFileName("CARGAS", k), nodeCount, 6),
                                  readItemTable<float>(dir, caseFileName("CARGABAR", k), barCount,
                                                       CaseBarFieldCount)});
    }
    if (const auto text = load(dir, "COMBINA.DAT", false))
        cases.combinations = readCombinations(dir, *text, cases.count());
    return cases;
}
template LoadCases<float> readLoadCases<float>(const fs::path&, int, int);
template LoadCases<double> readLoadCases<double>(const fs::path&, int, int);

void writeLoadCases(const fs::path& dir, const LoadCases<float>& cases, int nodeCount,
                    int barCount) {
    std::vector<std::string> written;
    auto writeFile = [&](const std::string& name, const TextWriter& w) {
        write(dir, name, w);
        written.push_back(name);
    };
    if (cases.count() > 1 || cases.firstName != FirstCaseName) {
        TextWriter w;
        w.line(std::to_string(cases.count()));
        for (int k = 1; k <= cases.count(); ++k)
            w.line(quotedText(oneLine(cases.name(k))));
        writeFile("HIPOTESI.DAT", w);
    }
    for (int k = 2; k <= cases.count(); ++k) {
        const LoadCase<float>& c = cases.loadCase(k);
        writeNodeTable(dir, caseFileName("CARGAS", k), c.nodeLoads, nodeCount);
        written.push_back(caseFileName("CARGAS", k));
        TextWriter w;
        w.reserve(std::size_t(barCount) * 12);
        for (int b = 1; b <= barCount; ++b) {
            std::string l;
            for (int f = 1; f <= CaseBarFieldCount; ++f) {
                if (f > 1) l += ',';
                l += writtenValue(c.barLoads(b, f));
            }
            w.line(l);
        }
        writeFile(caseFileName("CARGABAR", k), w);
    }
    if (!cases.combinations.empty()) {
        TextWriter w;
        w.line(std::to_string(cases.combinations.size()));
        for (const Combination& c : cases.combinations) {
            w.line(quotedText(oneLine(c.name)));
            std::string l;
            for (std::size_t k = 0; k < c.factors.size(); ++k)
                l += (k ? "," : "") + writtenValue(c.factors[k]);
            w.line(l);
        }
        writeFile("COMBINA.DAT", w);
    }
    // Files of cases and combinations that no longer exist.
    std::error_code ec;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (isLoadCaseFile(name) &&
            std::find(written.begin(), written.end(), name) == written.end())
            stale.push_back(it->path());
    }
    for (const fs::path& p : stale)
        if (!fs::remove(p, ec) && ec)
            throw FileError(FileError::Kind::WriteFailed, p, ec.message());
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
