#include "exchange/dxf_import.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

#include "exchange/fields.h"
#include "exchange/replacement.h"
#include "model/files.h"
#include "model/structure.h"
#include "model/structure_data.h"
#include "model/textfile.h"

namespace vanto::exchange {

namespace fs = std::filesystem;

namespace {

// Node numbers are held in 32-bit fields: beyond 2^24 they lose units.
constexpr std::size_t MaxNodes = 16777216;

// Cells are a hair wider than the tolerance so that rounding in the division
// can never put two coincident points two cells apart.
constexpr double CellsPerUnit = 1.0 / (DxfTolerance * (1.0 + 1e-6));

std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

std::int64_t cellCoordinate(float v) {
    constexpr std::int64_t limit = 4'000'000'000'000'000'000;
    const double c = std::floor(double(v) * CellsPerUnit);
    if (std::fabs(c) < double(limit)) return std::int64_t(c);
    // So far out, neighbouring floats lie billions of tolerances apart and
    // only equal values coincide: each value gets a cell of its own, numbered
    // beyond the limit by its bits (which grow with the magnitude), so that
    // far points never crowd into one cell.
    const auto bits = std::int64_t(std::bit_cast<std::uint32_t>(std::fabs(v)));
    return v < 0 ? -(limit + bits) : limit + bits;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool equalsUpper(std::string_view value, std::string_view name) {
    if (value.size() != name.size()) return false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != name[i]) return false;
    }
    return true;
}

// The text of a DXF as (group code, value) pairs, one item per line.
class PairReader {
  public:
    PairReader(std::string_view text, const std::string& label) : text_(text), label_(label) {}

    // The next pair; false at the end of the text.
    bool next() {
        std::string_view codeLine;
        if (!nextLine(codeLine)) return false;
        codeLine_ = line_;
        const std::string_view c = trim(codeLine);
        int code = 0;
        const auto res = std::from_chars(c.data(), c.data() + c.size(), code);
        if (c.empty() || res.ec != std::errc() || res.ptr != c.data() + c.size() || code < -32768 ||
            code > 32767)
            fail(codeLine_, "se esperaba un código de grupo y hay «" +
                                std::string(c.substr(0, 40)) +
                                "»; no parece un fichero DXF de texto.");
        code_ = code;
        std::string_view valueLine;
        if (!nextLine(valueLine))
            fail(codeLine_, "el fichero termina antes de tiempo: falta el valor del código " +
                                std::to_string(code) + ".");
        value_ = trim(valueLine);
        return true;
    }
    int code() const { return code_; }
    std::string_view value() const { return value_; }
    int line() const { return line_; }  // line of the value

    float coordinate() const {
        const auto v = parseNumber(value_);
        if (!v || std::fabs(*v) > double(std::numeric_limits<float>::max()))
            fail(line_, "la coordenada del código " + std::to_string(code_) +
                            " no es un número válido: «" + std::string(value_.substr(0, 40)) +
                            "».");
        return float(*v);
    }

    [[noreturn]] void fail(int line, const std::string& text) const {
        throw ExchangeError(label_ + ", línea " + std::to_string(line) + ": " + text, line);
    }

  private:
    bool nextLine(std::string_view& out) {
        if (pos_ >= text_.size()) return false;
        // CR LF, LF and a lone CR all end a line.
        std::size_t end = text_.find_first_of("\r\n", pos_);
        if (end == std::string_view::npos) end = text_.size();
        out = text_.substr(pos_, end - pos_);
        pos_ = end + (text_.substr(end, 2) == "\r\n" ? 2 : 1);
        ++line_;
        return true;
    }

    std::string_view text_;
    const std::string& label_;
    std::size_t pos_ = 0;
    int line_ = 0;
    int codeLine_ = 0;
    int code_ = 0;
    std::string_view value_;
};

}  // namespace

NodeIndex::Cell NodeIndex::cellOf(const Point& p) const {
    return {cellCoordinate(p.x), cellCoordinate(p.y), cellCoordinate(p.z)};
}

std::size_t NodeIndex::slotOf(const Cell& c) const {
    const std::uint64_t h = mix(std::uint64_t(c.x) * 0x9E3779B97F4A7C15ULL ^
                                mix(std::uint64_t(c.y) + 0x632BE59BD9B4E019ULL) ^
                                mix(std::uint64_t(c.z) * 0xD6E8FEB86659FD93ULL + 1));
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = std::size_t(h) & mask;
    while (slots_[i].head != -1 && !(slots_[i].cell == c))
        i = (i + 1) & mask;
    return i;
}

void NodeIndex::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 1024 : old.size() * 2, Slot{});
    for (const Slot& s : old)
        if (s.head != -1) slots_[slotOf(s.cell)] = s;
}

int NodeIndex::findOrAdd(const Point& p) {
    if (slots_.empty()) grow();
    const Cell c = cellOf(p);
    int best = -1;
    for (std::int64_t dx = -1; dx <= 1; ++dx)
        for (std::int64_t dy = -1; dy <= 1; ++dy)
            for (std::int64_t dz = -1; dz <= 1; ++dz) {
                const Slot& s = slots_[slotOf({c.x + dx, c.y + dy, c.z + dz})];
                for (int n = s.head; n != -1; n = next_[n])
                    if ((best == -1 || n < best) && coincident(nodes_[n], p)) best = n;
            }
    if (best != -1) return best + 1;

    const int n = int(nodes_.size());
    nodes_.push_back(p);
    Slot& s = slots_[slotOf(c)];
    if (s.head == -1) {
        s.cell = c;
        ++used_;
    }
    next_.push_back(s.head);
    s.head = n;
    if (2 * used_ > slots_.size()) grow();
    return n + 1;
}

std::vector<DxfLine> readDxfLines(std::string_view text, const std::string& label) {
    std::vector<DxfLine> lines;
    PairReader in(text, label);
    Point start, end;  // kept from one entity to the next, as the drawing gives them
    bool pending = in.next();
    while (pending) {
        if (in.code() != 0) {
            pending = in.next();
            continue;
        }
        if (equalsUpper(in.value(), "EOF")) return lines;
        if (!equalsUpper(in.value(), "LINE") && !equalsUpper(in.value(), "3DLINE")) {
            pending = in.next();
            continue;
        }
        const int entityLine = in.line();
        while ((pending = in.next()) && in.code() != 0) {
            switch (in.code()) {
                case 10:
                    start.x = in.coordinate();
                    break;
                case 20:
                    start.y = in.coordinate();
                    break;
                case 30:
                    start.z = in.coordinate();
                    break;
                case 11:
                    end.x = in.coordinate();
                    break;
                case 21:
                    end.y = in.coordinate();
                    break;
                case 31:
                    end.z = in.coordinate();
                    break;
                default:
                    break;
            }
        }
        if (!pending)
            in.fail(entityLine,
                    "el fichero termina antes de tiempo dentro de esta línea del dibujo.");
        lines.push_back({start, end});
    }
    // Without its end mark a drawing with lines is likely cut short.
    if (!lines.empty())
        in.fail(in.line(), "el fichero termina sin la marca EOF; puede estar incompleto.");
    return lines;
}

std::optional<DxfGeometry> buildDxfGeometry(const std::vector<DxfLine>& lines, Progress* progress) {
    NodeIndex index;
    DxfGeometry g;
    const long long total = static_cast<long long>(lines.size());
    long long done = 0;
    for (const DxfLine& l : lines) {
        if (progress) {
            progress->report(1, ++done, total);
            if (progress->stopRequested()) return std::nullopt;
        }
        const int a = index.findOrAdd(l.start);
        const int b = index.findOrAdd(l.end);
        if (a != b) g.bars.emplace_back(std::min(a, b), std::max(a, b));
    }
    g.nodes = index.nodes();
    return g;
}

bool manyLooseBars(std::size_t nodeCount, std::size_t barCount) {
    return double(nodeCount) > 1.1 * double(barCount) + 5;
}

Summary dxfin(const fs::path& dir, const fs::path& file, Messages& messages, Progress* progress) {
    Summary summary;
    const auto text = readTextFile(file);
    if (!text) throw ExchangeError("No se puede leer el fichero: " + file.string());
    const auto lines = readDxfLines(*text, file.filename().string());
    if (lines.empty()) {
        messages.show(WarningTitle, NoLinesText, MessageIcon::Exclamation);
        return summary;
    }
    if (2 * lines.size() > MaxNodes)
        throw ExchangeError("El dibujo tiene demasiadas líneas para una estructura.");
    const auto geometry = buildDxfGeometry(lines, progress);
    if (!geometry) {
        summary.outcome = Outcome::Stopped;
        return summary;
    }
    const int nodeCount = int(geometry->nodes.size());
    const int barCount = int(geometry->bars.size());
    if (manyLooseBars(geometry->nodes.size(), geometry->bars.size()))
        messages.show(WarningTitle, LooseBarsText, MessageIcon::Exclamation);

    Structure s;
    s.reset(part::Geometry);
    s.reserve(nodeCount, barCount);
    for (const Point& p : geometry->nodes)
        s.addNode(p.x, p.y, p.z);
    for (const auto& [origin, end] : geometry->bars)
        s.addBar(float(origin), float(end));

    StructureReplacement replacement(dir, StructureReplacement::Cleanup::DataAndResults);
    s.save(replacement.stage(), part::Geometry);
    replacement.complete();
    replacement.commit(file);

    summary.outcome = Outcome::Written;
    summary.nodeCount = nodeCount;
    summary.barCount = barCount;
    return summary;
}

}  // namespace vanto::exchange
