#include "reports/listing_import.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/files.h"
#include "model/helpers.h"
#include "model/structure.h"
#include "model/structure_data.h"
#include "model/textfile.h"

namespace vanto::reports {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(int line, const std::string& what) {
    throw ListingImportError("Línea " + std::to_string(line) + " del listado: " + what, line);
}

std::string inQuotes(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

// A word the listing writes as a number: sign, digits, decimal point or comma,
// fraction, exponent, and nothing else.
bool isNumberWord(std::string_view w) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < w.size() && w[i] >= '0' && w[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < w.size() && (w[i] == '.' || w[i] == ',')) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < w.size() && (w[i] == 'E' || w[i] == 'e' || w[i] == 'D' || w[i] == 'd')) {
        ++i;
        if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == w.size();
}

// Blanks, tabs and form feeds only: the end of a list of rows.
bool isEmptyLine(std::string_view line) {
    return line.find_first_not_of(" \t\r\f\v") == std::string_view::npos;
}

bool sameLetters(std::string_view word, std::string_view upper) {
    if (word.size() != upper.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != upper[i]) return false;
    }
    return true;
}

int wordCount(std::string_view line) {
    int n = 0;
    while (!NthWord(n + 1, line).empty())
        ++n;
    return n;
}

// One line of the listing with its number, read word by word.
struct Row {
    int line;
    std::string text;

    std::string word(int n) const { return NthWord(n, text); }

    // Word n as a 32-bit value; `what` names it in messages.
    float number(int n, const std::string& what) const {
        const float f = float(wide(n, what));
        if (!std::isfinite(f)) fail(line, inQuotes(word(n)) + " está fuera de rango.");
        return f;
    }
    // Word n with every digit it has, as the combinations' factors keep them.
    double wide(int n, const std::string& what) const {
        std::string w = word(n);
        if (w.empty()) fail(line, "falta un valor: " + what + ".");
        if (!isNumberWord(w)) fail(line, inQuotes(w) + " no es un número (" + what + ").");
        const double v = ParseNumber(w);
        if (!std::isfinite(v)) fail(line, inQuotes(word(n)) + " está fuera de rango.");
        return v;
    }

    // Word n as a whole number, such as a node or bar number.
    int whole(int n, const std::string& what) const {
        const float v = number(n, what);
        if (v != std::trunc(v) || std::abs(v) > 1.0e9f)
            fail(line, inQuotes(word(n)) + " no es un número entero (" + what + ").");
        return int(v);
    }

    // Refuses words beyond the last one the row should have.
    void expectWords(int count, const std::string& what) const {
        if (wordCount(text) > count)
            fail(line, "sobran palabras en la fila " + what + ": se esperaban " +
                           std::to_string(count) + " y hay " + std::to_string(wordCount(text)) +
                           ".");
    }
};

class ListingLines {
  public:
    explicit ListingLines(const std::string& text) : lines_(splitLines(text)) {}

    bool atEnd() const { return next_ >= lines_.size(); }
    std::size_t size() const { return lines_.size(); }
    // Number (from 1) of the next line, or of the line after the last.
    int nextNumber() const { return int(next_) + 1; }
    const std::string& peek() const { return lines_[next_]; }

    // The next line; `context` says what was being read when the file ends.
    Row take(const std::string& context) {
        if (atEnd())
            throw ListingImportError("El listado termina (línea " + std::to_string(lines_.size()) +
                                         ") antes de " + context + ".",
                                     int(lines_.size()));
        const int line = nextNumber();
        return Row{line, lines_[next_++]};
    }

    // Moves past the line whose first word is `word`, then skips `skip` lines.
    void findSection(std::string_view word, std::string_view title, int skip) {
        while (!atEnd() && NthWord(1, lines_[next_]) != word)
            ++next_;
        if (atEnd())
            throw ListingImportError(
                "El listado no tiene la sección " + inQuotes(title) +
                    ": se ha buscado hasta el final del fichero" +
                    (lines_.empty() ? std::string(".")
                                    : " (línea " + std::to_string(lines_.size()) + ")."),
                int(lines_.size()));
        ++next_;
        for (int i = 0; i < skip; ++i)
            take("el comienzo de la sección " + inQuotes(title));
    }

    // Whether a line at or after the next one has `word` as its first word.
    bool hasSection(std::string_view word) const {
        for (std::size_t i = next_; i < lines_.size(); ++i)
            if (NthWord(1, lines_[i]) == word) return true;
        return false;
    }
    // The title line just passed by findSection, skipping `skip` more lines.
    const std::string& titleBefore(int skip) const { return lines_[next_ - 1 - skip]; }

    // After the rows a count announces, the next line must not be one more row.
    void expectNoMoreRows(const std::string& items, int count) const {
        if (atEnd() || isEmptyLine(peek()) || !isNumberWord(NthWord(1, peek()))) return;
        fail(nextNumber(), "esta fila sobra: según la sección \"DATOS\", el número de " + items +
                               " es " + std::to_string(count) + ".");
    }

  private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

// A row expected at position `index` of a section: not the end of the rows.
Row takeRow(ListingLines& in, const std::string& item, int index, int count) {
    const std::string missing = "faltan " + item + ": se esperaban " + std::to_string(count) +
                                " y hay " + std::to_string(index - 1) + ".";
    if (in.atEnd())
        throw ListingImportError(
            "El listado termina (línea " + std::to_string(in.size()) + ") cuando " + missing,
            int(in.size()));
    Row row = in.take(missing);
    if (isEmptyLine(row.text) || !isNumberWord(row.word(1))) fail(row.line, missing);
    return row;
}

// The structure as the listing describes it.
struct Imported : Structure {
    std::vector<int> barLines;     // listing line of each bar, for messages
    std::vector<int> typeNumbers;  // each type's number in the listing
};

int count(const Row& row, int word, const std::string& what, int limit, std::size_t lines) {
    const int n = row.whole(word, what);
    if (n < 0) fail(row.line, what + " no puede ser negativo.");
    if (n > limit)
        fail(row.line,
             what + " (" + std::to_string(n) + ") pasa del máximo, " + std::to_string(limit) + ".");
    // Two nodes per row at most: a count beyond that cannot be complete.
    if (std::size_t(n) > 2 * lines)
        fail(row.line, what + " (" + std::to_string(n) + ") no cabe en el listado.");
    return n;
}

void readCounts(ListingLines& in, Imported& s) {
    in.findSection("DATOS", "DATOS", 1);
    const std::string context = "completar la sección \"DATOS\"";
    s.nodeCount = count(in.take(context), 4, "el número de puntos", 100000000, in.size());
    s.barCount = count(in.take(context), 4, "el número de barras", 100000000, in.size());
    s.types.count =
        count(in.take(context), 5, "el número de tipos de barras usados", 32767, in.size());
}

void readBars(ListingLines& in, Imported& s) {
    in.findSection("CARACTERISTICAS", "CARACTERISTICAS DE LAS BARRAS", 3);
    s.barLines.assign(std::size_t(s.barCount) + 1, 0);
    static const char* fieldNames[] = {"",
                                       "nudo inicial",
                                       "nudo final",
                                       "tipo",
                                       "ángulo",
                                       "carga vertical",
                                       "carga ortogonal Y",
                                       "carga ortogonal Z",
                                       "incremento de temperatura",
                                       "empotramiento en el origen",
                                       "empotramiento en el extremo"};
    for (int b = 1; b <= s.barCount; ++b) {
        const Row row = takeRow(in, "barras", b, s.barCount);
        const int number = row.whole(1, "número de barra");
        if (number != b)
            fail(row.line, "se esperaba la barra nº " + std::to_string(b) + " y figura la nº " +
                               std::to_string(number) +
                               "; las barras van numeradas en orden, sin saltos.");
        row.expectWords(1 + BarFieldCount, "de la barra nº " + std::to_string(b));
        s.barLines[b] = row.line;
        for (int f = 1; f <= BarFieldCount; ++f) {
            const std::string what =
                std::string(fieldNames[f]) + " de la barra nº " + std::to_string(b);
            if (f == Origin || f == End || f == Type) {
                const int v = row.whole(1 + f, what);
                if (f != Type && (v < 1 || v > s.nodeCount))
                    fail(row.line, "la barra nº " + std::to_string(b) + " usa el nudo " +
                                       std::to_string(v) + ", que no existe (hay " +
                                       std::to_string(s.nodeCount) + " nudos).");
                s.bars(b, f) = float(v);
            } else {
                s.bars(b, f) = row.number(1 + f, what);
            }
        }
    }
    in.expectNoMoreRows("barras", s.barCount);
}

bool readCoordinates(ListingLines& in, Imported& s, Progress& progress) {
    in.findSection("COORDENADAS", "COORDENADAS DE LOS NODOS   (en m.)", 3);
    for (int n = 1; n <= s.nodeCount; n += 2) {
        const Row row = takeRow(in, "nudos", n, s.nodeCount);
        const int inRow = n + 1 <= s.nodeCount ? 2 : 1;
        row.expectWords(4 * inRow, "de coordenadas");
        for (int i = 0; i < inRow; ++i) {
            const int node = n + i;
            const std::string name = "nudo nº " + std::to_string(node);
            const int number = row.whole(1 + 4 * i, "número del " + name);
            if (number != node)
                fail(row.line, "se esperaba el nudo nº " + std::to_string(node) +
                                   " y figura el nº " + std::to_string(number) +
                                   "; los nudos van numerados en orden, dos por fila.");
            static const char* axes[] = {"", "X", "Y", "Z"};
            for (int axis = 1; axis <= 3; ++axis)
                s.coordinates(node, axis) = row.number(
                    1 + 4 * i + axis, std::string("coordenada ") + axes[axis] + " del " + name);
            progress.report(ImportReading, node, s.nodeCount);
            if (progress.stopRequested()) return false;
        }
    }
    in.expectNoMoreRows("puntos", s.nodeCount);
    return true;
}

void readTypes(ListingLines& in, Imported& s) {
    in.findSection("TIPOS", "TIPOS DE BARRAS", 3);
    const int typeCount = s.types.count;
    s.types.values = Table<float>(typeCount, TypeFieldCount);
    s.types.names.assign(std::size_t(typeCount) + 1, std::string());
    s.typeNumbers.assign(std::size_t(typeCount) + 1, 0);
    static const char* fieldNames[] = {"",
                                       "área",
                                       "inercia Z",
                                       "inercia Y",
                                       "módulo de torsión",
                                       "módulo de elasticidad",
                                       "coeficiente de Poisson",
                                       "tensión admisible",
                                       "peso específico",
                                       "coeficiente de dilatación"};
    for (int t = 1; t <= typeCount; ++t) {
        const Row row = takeRow(in, "tipos de barras", t, typeCount);
        s.typeNumbers[t] = row.whole(1, "número de tipo");
        const std::string which = "del tipo nº " + std::to_string(s.typeNumbers[t]);
        if (wordCount(row.text) > 2 + TypeFieldCount)
            fail(row.line, "sobran palabras en la fila " + which +
                               "; el nombre del tipo no puede contener espacios.");
        const std::string name = row.word(2);
        if (name.empty()) fail(row.line, "falta el nombre " + which + ".");
        if (name.find('"') != std::string::npos)
            fail(row.line, "el nombre " + which + " no puede contener comillas.");
        s.types.names[t] = name;
        for (int f = 1; f <= TypeFieldCount; ++f) {
            const float shown = row.number(2 + f, std::string(fieldNames[f]) + " " + which);
            // The listing shows MY in t/cm² and CdTerm in mm per km and °C.
            double v = shown;
            if (f == MY) v = double(shown) * 1000;
            if (f == CdTerm) v = double(shown) / 1000;
            s.types.values(t, f) = float(v);
        }
    }
    in.expectNoMoreRows("tipos de barras usados", typeCount);
    s.held = s.held | part::Types;

    // Types take their position in the listing; the bars follow them.
    std::map<int, int> position;
    for (int t = typeCount; t >= 1; --t)
        position[s.typeNumbers[t]] = t;
    for (int b = 1; b <= s.barCount; ++b) {
        const int listed = itemNumber(s.bars(b, Type));
        const auto it = position.find(listed);
        if (it == position.end())
            fail(s.barLines[b], "la barra nº " + std::to_string(b) + " es del tipo " +
                                    std::to_string(listed) +
                                    ", que no figura en la sección \"TIPOS DE BARRAS\".");
        s.bars(b, Type) = float(it->second);
    }
}

// Rows of node values until an empty line, the end of the file or the title
// of the section that follows.
void readNodeRows(ListingLines& in, std::string_view nextWord, bool restraints,
                  Table<float>& values, int nodeCount) {
    static const char* components[][7] = {
        {"", "carga X", "carga Y", "carga Z", "momento X", "momento Y", "momento Z"},
        {"", "coacción dX", "coacción dY", "coacción dZ", "coacción gX", "coacción gY",
         "coacción gZ"}};
    while (!in.atEnd() && !isEmptyLine(in.peek()) &&
           (nextWord.empty() || NthWord(1, in.peek()) != nextWord)) {
        const Row row = in.take("");
        const int node = row.whole(1, "número de nudo");
        if (node < 1 || node > nodeCount)
            fail(row.line, "el nudo " + std::to_string(node) + " no existe (hay " +
                               std::to_string(nodeCount) + " nudos).");
        row.expectWords(7, "del nudo nº " + std::to_string(node));
        for (int k = 1; k <= 6; ++k) {
            if (restraints && sameLetters(row.word(1 + k), "LIBRE")) {
                values(node, k) = FreeMarker;
                continue;
            }
            values(node, k) = row.number(1 + k, std::string(components[restraints][k]) +
                                                    " del nudo nº " + std::to_string(node));
        }
    }
}

// A row holding a number, a quoted name (a quote inside doubled) and then
// other words: the name, and the words after it in `rest`.
std::string quotedName(const Row& row, std::string& rest) {
    const std::size_t open = row.text.find('"');
    if (open == std::string::npos) fail(row.line, "falta el nombre, entre comillas.");
    std::string name;
    std::size_t i = open + 1;
    for (;; ++i) {
        if (i >= row.text.size()) fail(row.line, "falta la comilla que cierra el nombre.");
        if (row.text[i] != '"') {
            name += row.text[i];
        } else if (i + 1 < row.text.size() && row.text[i + 1] == '"') {
            name += '"';
            ++i;
        } else {
            break;
        }
    }
    rest = row.text.substr(i + 1);
    return name;
}

// Rows of a numbered list (cases, combinations) until an empty line: row k
// must carry number k.
std::vector<Row> numberedRows(ListingLines& in, const std::string& what) {
    std::vector<Row> rows;
    while (!in.atEnd() && !isEmptyLine(in.peek())) {
        Row row = in.take("");
        const int number = row.whole(1, "número de " + what);
        if (number != int(rows.size()) + 1)
            fail(row.line, "se esperaba la " + what + " nº " + std::to_string(rows.size() + 1) +
                               " y figura la nº " + std::to_string(number) + ".");
        rows.push_back(std::move(row));
    }
    return rows;
}

// The title of a section of case k's loads must name that case.
void expectCaseTitle(const ListingLines& in, int k, std::string_view kind) {
    const std::string& title = in.titleBefore(3);
    if (NthWord(4, title) != kind || NthWord(wordCount(title), title) != std::to_string(k))
        fail(in.nextNumber() - 4, std::string("se esperaba la sección de las cargas en ") +
                                      (kind == "NUDOS" ? "los nudos" : "las barras") +
                                      " de la hipótesis " + std::to_string(k) + ".");
}

void readCaseBarLoads(ListingLines& in, Table<float>& loads, int barCount) {
    while (!in.atEnd() && !isEmptyLine(in.peek())) {
        const Row row = in.take("");
        const int bar = row.whole(1, "número de barra");
        if (bar < 1 || bar > barCount)
            fail(row.line, "la barra " + std::to_string(bar) + " no existe (hay " +
                               std::to_string(barCount) + " barras).");
        row.expectWords(1 + CaseBarFieldCount, "de la barra nº " + std::to_string(bar));
        for (int f = 1; f <= CaseBarFieldCount; ++f)
            loads(bar, f) = row.number(1 + f, "carga de la barra nº " + std::to_string(bar));
    }
}

// The cases after the first and the combinations, when the listing has them.
void readCases(ListingLines& in, Imported& s) {
    if (!in.hasSection("HIPOTESIS")) return;
    in.findSection("HIPOTESIS", "HIPOTESIS DE CARGA", 3);
    const std::vector<Row> names = numberedRows(in, "hipótesis");
    if (names.empty() || names.size() > std::size_t(MaxLoadCases))
        fail(in.nextNumber(), "debe haber de 1 a 99 hipótesis de carga.");
    std::string rest;
    s.cases.firstName = quotedName(names[0], rest);
    for (int k = 2; k <= int(names.size()); ++k) {
        s.cases.addCase(quotedName(names[std::size_t(k - 1)], rest), s.nodeCount, s.barCount);
        LoadCase<float>& c = s.cases.loadCase(k);
        in.findSection("CARGAS", "CARGAS EN LOS NUDOS  (t, m·t)  HIPOTESIS " + std::to_string(k),
                       3);
        expectCaseTitle(in, k, "NUDOS");
        readNodeRows(in, "", false, c.nodeLoads, s.nodeCount);
        in.findSection("CARGAS", "CARGAS EN LAS BARRAS  (t/m, ºC)  HIPOTESIS " + std::to_string(k),
                       3);
        expectCaseTitle(in, k, "BARRAS");
        readCaseBarLoads(in, c.barLoads, s.barCount);
    }
    if (!in.hasSection("COMBINACIONES")) return;
    in.findSection("COMBINACIONES", "COMBINACIONES", 3);
    for (const Row& row : numberedRows(in, "combinación")) {
        Combination comb{quotedName(row, rest), {}};
        const Row factors{row.line, rest};
        const int count = wordCount(rest);
        for (int k = 1; k <= count; ++k)
            comb.factors.push_back(
                factors.wide(k, "coeficiente de la hipótesis " + std::to_string(k)));
        if (count != s.cases.count())
            fail(row.line, "la combinación tiene " + std::to_string(count) +
                               " coeficientes y debe tener uno por hipótesis, " +
                               std::to_string(s.cases.count()) + ".");
        if (s.cases.combinations.size() == std::size_t(MaxCombinations))
            fail(row.line, "hay más de 99 combinaciones.");
        s.cases.combinations.push_back(std::move(comb));
    }
}

bool readListing(const std::string& text, Imported& s, Progress& progress) {
    ListingLines in(text);
    readCounts(in, s);
    s.reset(part::Geometry | part::Restraints | part::Loads | part::Cases);
    readBars(in, s);
    if (!readCoordinates(in, s, progress)) return false;
    readTypes(in, s);

    in.findSection("COACCIONES", "COACCIONES EN LOS NUDOS   (en m.)", 3);
    readNodeRows(in, "CARGAS", true, s.restraints, s.nodeCount);
    in.findSection("CARGAS", "CARGAS EN LOS NUDOS  (t, m·t)", 3);
    readNodeRows(in, "", false, s.loads, s.nodeCount);
    readCases(in, s);
    return true;
}

bool hasExtension(const fs::path& file, std::string_view upperExtension) {
    return sameLetters(file.extension().string(), upperExtension);
}

void removeOrThrow(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
    if (ec) throw FileError(FileError::Kind::WriteFailed, file, ec.message());
}

// Writes the new files beside the structure first, so that a failure to write
// them leaves the structure as it was; then replaces the old files.
void replaceStructure(const fs::path& dir, const Imported& s, Progress& progress) {
    std::random_device random;
    const fs::path stage = dir / (".listin-" + std::to_string(random()) + std::to_string(random()));
    std::error_code ec;
    fs::create_directory(stage, ec);
    if (ec) throw FileError(FileError::Kind::WriteFailed, stage, ec.message());
    try {
        s.save(stage, part::All,
               [&progress](int file, int files) { progress.report(ImportWriting, file, files); });
    } catch (...) {
        fs::remove_all(stage, ec);
        throw;
    }

    try {
        std::vector<std::string> written;
        for (const auto& entry : fs::directory_iterator(stage))
            written.push_back(entry.path().filename().string());
        // Old results first: results of the old structure must never stay
        // beside the new data.
        std::vector<fs::path> oldData;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            const fs::path& file = entry.path();
            const std::string name = file.filename().string();
            if (hasExtension(file, ".RES") || isResultFile(name)) removeOrThrow(file);
            // The description is not in the listing: it stays.
            else if ((hasExtension(file, ".DAT") && !sameLetters(name, "NOTAS.DAT")) ||
                     isLoadCaseFile(name))
                oldData.push_back(file);
        }
        for (const std::string& name : written) {
            fs::rename(stage / name, dir / name, ec);
            if (ec) throw FileError(FileError::Kind::WriteFailed, dir / name, ec.message());
        }
        // Any other data file, and other-case spellings of the names just written.
        for (const fs::path& file : oldData)
            if (std::find(written.begin(), written.end(), file.filename().string()) ==
                written.end())
                removeOrThrow(file);
    } catch (const fs::filesystem_error& e) {
        fs::remove_all(stage, ec);
        throw FileError(FileError::Kind::WriteFailed, dir, e.code().message());
    } catch (...) {
        fs::remove_all(stage, ec);
        throw;
    }
    fs::remove_all(stage, ec);
}

}  // namespace

void listin(const fs::path& dir, const fs::path& listing, Progress& progress) {
    std::error_code ec;
    if (!fs::is_regular_file(listing, ec))
        throw ListingImportError("No existe el fichero: " + listing.string());
    const auto text = readTextFile(listing);
    if (!text) throw ListingImportError("No se puede leer el fichero: " + listing.string());

    Imported structure;
    if (!readListing(*text, structure, progress)) return;
    if (progress.stopRequested()) return;
    replaceStructure(dir, structure, progress);
}

}  // namespace vanto::reports
