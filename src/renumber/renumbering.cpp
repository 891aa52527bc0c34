#include "renumber/renumbering.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "model/files.h"
#include "model/helpers.h"
#include "model/structure.h"
#include "model/textfile.h"

namespace vanto::renumber {

namespace fs = std::filesystem;

const char* const StaleResultFiles[8] = {"INCOG.RES",    "ESFUERZO.RES", "DESEQUIL.RES",
                                         "DIAGRAMA.RES", "listado.txt",  "Resultad.res",
                                         "matriz.lsc",   "matriz.tri"};

StructureData LeeDatos(const fs::path& dir) {
    StructureCounts counts;
    switch (DiscoX::readDatos(dir, counts)) {
        case DiscoX::Status::Missing:
            throw FileError(FileError::Kind::Missing, findFile(dir, "DATOS.DAT"));
        case DiscoX::Status::OtherVersion:
            throw RenumberError("Estructura no compatible con la versión actual del programa");
        case DiscoX::Status::Read:
            break;
    }
    StructureData data(counts);
    data.read(dir, part::Bars);
    // A bar naming a node that does not exist would be numbered nowhere.
    for (int b = 1; b <= data.barCount; ++b) {
        for (int f : {Origin, End}) {
            const int n = itemNumber(data.bars(b, f));
            if (n < 1 || n > data.nodeCount)
                throw FileError(FileError::Kind::Damaged, findFile(dir, "BARRAS.DAT"),
                                "la barra " + std::to_string(b) + " une el nudo " +
                                    writtenValue(data.bars(b, f)) + ", que no existe (línea " +
                                    std::to_string(b) + ")");
        }
    }
    data.read(dir, part::Coordinates | part::Restraints | part::Loads | part::Cases);
    return data;
}

std::variant<StartNode, std::string> parseStartNode(const std::string& text, int nodeCount) {
    if (nodeCount < 1) return std::string("La estructura no tiene nudos.");
    std::string s = text;
    const auto first = s.find_first_not_of(" \t");
    const auto last = s.find_last_not_of(" \t");
    s = first == std::string::npos ? "" : s.substr(first, last - first + 1);
    // Either separator: the user's locale decides which one is typed.
    if (const auto comma = s.find(','); comma != std::string::npos) s[comma] = '.';
    const char* begin = s.data() + (!s.empty() && s[0] == '+' ? 1 : 0);
    double v = 0;
    const auto res = std::from_chars(begin, s.data() + s.size(), v);
    if (s.empty() || res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v))
        return "El nudo de partida «" + text + "» no es un número.";
    const double rounded = std::round(v);  // halves away from zero
    if (rounded < 1) return std::string("El nudo de partida debe ser 1 o mayor.");
    if (rounded > nodeCount) return StartNode{nodeCount, true};
    return StartNode{int(rounded), false};
}

Renumbering::Renumbering(StructureData data) : data_(std::move(data)) {
    const int n = data_.nodeCount;
    const int b = data_.barCount;
    // Neighbour lists in bar order: node u meets its neighbours in the order of
    // its bars in the bar list, which is the order the numbering takes them.
    std::vector<int> degree(std::size_t(n) + 2, 0);
    for (int i = 1; i <= b; ++i) {
        for (int f : {Origin, End}) {
            const int node = itemNumber(data_.bars(i, f));
            if (node < 1 || node > n) throw std::invalid_argument("bar node outside the structure");
            ++degree[node];
        }
    }
    offsets_.assign(std::size_t(n) + 2, 0);
    for (int u = 1; u <= n; ++u)
        offsets_[u + 1] = offsets_[u] + degree[u];
    adjacency_.assign(std::size_t(offsets_[n + 1]), 0);
    std::vector<int> fill(offsets_.begin(), offsets_.end());
    int maxDiff = 0;
    for (int i = 1; i <= b; ++i) {
        const int o = itemNumber(data_.bars(i, Origin));
        const int e = itemNumber(data_.bars(i, End));
        adjacency_[fill[o]++] = e;
        adjacency_[fill[e]++] = o;
        maxDiff = std::max(maxDiff, std::abs(o - e));
    }
    initialWidth_ = bestWidth_ = 6 * (maxDiff + 1);
    bestStart_ = 0;

    stamp_.assign(std::size_t(n) + 1, 0);
    number_.assign(std::size_t(n) + 1, 0);
    queue_.assign(std::size_t(n) + 1, 0);

    untouched_ = 0;
    int firstTouched = 0;
    for (int u = 1; u <= n; ++u) {
        if (!touched(u))
            ++untouched_;
        else if (!firstTouched)
            firstTouched = u;
    }
    // The bars hang together when one numbering reaches every touched node.
    connected_ = true;
    if (firstTouched) {
        const auto numbering = renumeracion(firstTouched);
        connected_ = numbering.has_value();
    }
}

std::optional<Numbering> Renumbering::renumeracion(int start) const {
    const int n = data_.nodeCount;
    if (start < 1 || start > n) return std::nullopt;
    if (data_.barCount > 0 && !touched(start)) return std::nullopt;
    Numbering r;
    r.order.assign(std::size_t(n) + 1, 0);
    r.newNumber.assign(std::size_t(n) + 1, 0);
    r.order[1] = start;
    r.newNumber[start] = 1;
    int count = 1;
    int maxDiff = 0;
    for (int p = 1; p <= count; ++p) {
        const int u = r.order[p];
        for (int k = offsets_[u]; k < offsets_[u + 1]; ++k) {
            const int m = adjacency_[k];
            if (!r.newNumber[m]) {
                r.order[++count] = m;
                r.newNumber[m] = count;
            }
            maxDiff = std::max(maxDiff, std::abs(r.newNumber[m] - p));
        }
    }
    r.reached = count;
    // Every bar was met from its numbered end; a bar with no numbered end was not.
    if (count < n - untouched_) return std::nullopt;
    for (int u = 1; u <= n; ++u)
        if (!r.newNumber[u]) {
            r.order[++count] = u;
            r.newNumber[u] = count;
        }
    r.width = 6 * (maxDiff + 1);
    return r;
}

int Renumbering::trialWidth(int start, int bound) {
    if (trialStamp_ == INT_MAX) {
        std::fill(stamp_.begin(), stamp_.end(), 0);
        trialStamp_ = 0;
    }
    const int mark = ++trialStamp_;
    // The trial can only matter while 6 · (maxDiff + 1) < bound.
    const int limit = bound > 0 ? bound / 6 - 1 : INT_MAX;
    int* const number = number_.data();
    int* const stamp = stamp_.data();
    int* const queue = queue_.data();
    const int* const adjacency = adjacency_.data();
    queue[1] = start;
    stamp[start] = mark;
    number[start] = 1;
    int count = 1;
    int maxDiff = 0;
    for (int p = 1; p <= count; ++p) {
        const int u = queue[p];
        const int end = offsets_[u + 1];
        for (int k = offsets_[u]; k < end; ++k) {
            const int m = adjacency[k];
            int d;
            if (stamp[m] != mark) {
                stamp[m] = mark;
                number[m] = ++count;
                queue[count] = m;
                d = count - p;
            } else {
                d = std::abs(number[m] - p);
            }
            if (d > maxDiff) {
                maxDiff = d;
                if (maxDiff >= limit) return 0;
            }
        }
    }
    return 6 * (maxDiff + 1);
}

void Renumbering::considerStart(int start, int width) {
    if (width > 0 && width < bestWidth_) {
        bestWidth_ = width;
        bestStart_ = start;
    }
}

std::string Renumbering::comment(bool complete) const {
    if (bestWidth_ < initialWidth_)
        return ImprovedText + std::to_string(bestStart_) + NewWidthText +
               std::to_string(bestWidth_);
    std::string text = NotImprovedText;
    if (complete) text += CannotImproveText;
    return text;
}

StudyResult Renumbering::studyFrom(int start, Progress* progress) {
    if (start < 1 || start > data_.nodeCount)
        throw std::logic_error("start node outside the structure");
    if (progress) progress->report(StageTrials, 0, 1);
    if (data_.barCount > 0 && (!connected_ || !touched(start)))
        return {StudyOutcome::NotConnected, {}};
    considerStart(start, trialWidth(start, 0));
    if (progress) progress->report(StageTrials, 1, 1);
    return {StudyOutcome::Finished, comment(false)};
}

StudyResult Renumbering::studyAll(Progress* progress) {
    const int n = data_.nodeCount;
    if (data_.barCount > 0 && !connected_) return {StudyOutcome::NotConnected, {}};
    if (progress) progress->report(StageTrials, 0, n);
    for (int start = 1; start <= n; ++start) {
        // A node no bar touches reaches no bar; without bars every start gives 6.
        if (touched(start)) considerStart(start, trialWidth(start, bestWidth_));
        if (progress) {
            progress->report(StageTrials, start, n);
            if (start < n && progress->stopRequested())
                return {StudyOutcome::Stopped, comment(false)};
        }
    }
    return {StudyOutcome::Finished, comment(true)};
}

namespace {

// Bar b of `s`, whose local x has turned round with its node order: the
// fixity at each physical end stays (EmpOR is taken at the lower-numbered
// node), and with its angle a taken as −a the section keeps its place while
// one local axis turns round too: z for a bar that is not vertical, y for a
// vertical one (whose y0 follows x). The loads along that axis change sign,
// in every case. `xyz` holds the coordinates of its nodes o and e.
void turnRound(StructureData& s, int b, const Table<double>& xyz, int o, int e) {
    float* bar = s.bars.row(b);
    std::swap(bar[EmpOR], bar[EmpEX]);
    bar[Angle] = 0.0f - bar[Angle];
    double d[3], length = 0;
    for (int a = 0; a < 3; ++a) {
        d[a] = xyz(e, a + 1) - xyz(o, a + 1);
        length += d[a] * d[a];
    }
    const bool vertical = std::abs(d[2]) >= 0.999999 * std::sqrt(length);
    const BarField turned = vertical ? TransverseLoadY : TransverseLoadZ;
    bar[turned] = 0.0f - bar[turned];
    for (int k = 2; k <= s.cases.count(); ++k) {
        float& q = s.cases.loadCase(k).barLoads(b, turned - VerticalLoad + 1);
        q = 0.0f - q;
    }
}

}  // namespace

StructureData Renumbering::renumbered(const Numbering& numbering) const {
    const int n = data_.nodeCount;
    StructureData out;
    out.nodeCount = n;
    out.barCount = data_.barCount;
    out.bars = data_.bars;
    out.cases = data_.cases;
    for (int b = 1; b <= data_.barCount; ++b) {
        const int o = itemNumber(data_.bars(b, Origin)), e = itemNumber(data_.bars(b, End));
        int i = numbering.newNumber[o];
        int j = numbering.newNumber[e];
        if (i > j) std::swap(i, j);
        out.bars(b, Origin) = float(i);
        out.bars(b, End) = float(j);
        // The bar's local x runs from its lower-numbered node: when that node
        // changes, the bar is turned round so that nothing physical changes.
        if ((o < e) != (numbering.newNumber[o] < numbering.newNumber[e]))
            turnRound(out, b, data_.coordinates, o, e);
    }
    out.coordinates = Table<double>(n, 3);
    out.restraints = Table<double>(n, 6);
    out.loads = Table<double>(n, 6);
    for (int p = 1; p <= n; ++p) {
        const int old = numbering.order[p];
        for (int axis = 1; axis <= 3; ++axis)
            out.coordinates(p, axis) = data_.coordinates(old, axis);
        for (int k = 1; k <= 6; ++k) {
            out.restraints(p, k) = data_.restraints(old, k);
            out.loads(p, k) = data_.loads(old, k);
        }
    }
    out.cases.selectNodes(numbering.order);
    out.held = data_.held;
    return out;
}

FileTexts fileTexts(const StructureData& data) {
    const int n = data.nodeCount;
    TextWriter bars, coordinates, restraints, loads;
    bars.reserve(std::size_t(data.barCount) * 32);
    for (int b = 1; b <= data.barCount; ++b) {
        std::string line;
        for (int f = 1; f <= BarFieldCount; ++f) {
            if (f > 1) line += ',';
            line += writtenValue(data.bars(b, f));
        }
        bars.line(line);
    }
    coordinates.reserve(std::size_t(n) * 3 * 8);
    for (int axis = 1; axis <= 3; ++axis)
        for (int p = 1; p <= n; ++p)
            coordinates.line(writtenValue(float(data.coordinates(p, axis))));
    auto sixPerLine = [n](TextWriter& w, const Table<double>& values) {
        w.reserve(std::size_t(n) * 6 * 6);
        for (int p = 1; p <= n; ++p) {
            std::string line;
            for (int k = 1; k <= 6; ++k) {
                if (k > 1) line += ',';
                line += writtenValue(values(p, k));
            }
            w.line(line);
        }
    };
    sixPerLine(restraints, data.restraints);
    sixPerLine(loads, data.loads);
    FileTexts texts{
        bars.content(), coordinates.content(), restraints.content(), loads.content(), {}, {}};
    // The other cases' node loads as CARGAS.Hkk holds them: one value per line.
    for (int k = 2; k <= data.cases.count(); ++k) {
        TextWriter w;
        w.reserve(std::size_t(n) * 6 * 6);
        const Table<double>& caseLoads = data.cases.loadCase(k).nodeLoads;
        for (int p = 1; p <= n; ++p)
            for (int c = 1; c <= 6; ++c)
                w.line(writtenValue(caseLoads(p, c)));
        texts.caseLoads.push_back(w.content());
        // Their bar loads as CARGABAR.Hkk holds them, turned round with the bars.
        TextWriter bars;
        const Table<float>& barLoads = data.cases.loadCase(k).barLoads;
        for (int b = 1; b <= data.barCount; ++b) {
            std::string line;
            for (int f = 1; f <= CaseBarFieldCount; ++f)
                line += (f > 1 ? "," : "") + writtenValue(barLoads(b, f));
            bars.line(line);
        }
        texts.caseBarLoads.push_back(bars.content());
    }
    return texts;
}

namespace {

// Writes every file beside its target first and renames them only when all
// were written, so a full disk cannot leave bars and nodes numbered apart.
void replaceTogether(const fs::path& dir,
                     const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<fs::path> staged;
    auto discard = [&staged] {
        std::error_code ec;
        for (const auto& p : staged)
            fs::remove(p, ec);
    };
    for (const auto& [name, content] : files) {
        const fs::path temp = dir / ("." + name + ".renumera");
        try {
            writeFileAtomically(temp, content);
        } catch (const std::system_error& e) {
            discard();
            throw FileError(FileError::Kind::WriteFailed, dir / name, e.code().message());
        }
        staged.push_back(temp);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const fs::path target = dir / files[i].first;
        const fs::path existing = findFile(dir, files[i].first);
        std::error_code ec;
        fs::rename(staged[i], target, ec);
        if (ec) {
            discard();
            throw FileError(FileError::Kind::WriteFailed, target, ec.message());
        }
        if (existing != target) fs::remove(existing, ec);
    }
}

}  // namespace

std::vector<std::string> Renumbering::GrabaDatos(const fs::path& dir) {
    if (!canSave()) throw std::logic_error("no better numbering to save");
    const auto numbering = renumeracion(bestStart_);
    if (!numbering || numbering->width != bestWidth_)
        throw std::logic_error("the best numbering cannot be repeated");
    StructureData next = renumbered(*numbering);
    const FileTexts texts = fileTexts(next);
    std::vector<std::pair<std::string, std::string>> files = {{"BARRAS.DAT", texts.bars},
                                                              {"COORDENA.DAT", texts.coordinates},
                                                              {"COACCION.DAT", texts.restraints},
                                                              {"CARGAS.DAT", texts.loads}};
    for (std::size_t k = 0; k < texts.caseLoads.size(); ++k) {
        files.emplace_back(DiscoX::caseFileName("CARGAS", int(k) + 2), texts.caseLoads[k]);
        files.emplace_back(DiscoX::caseFileName("CARGABAR", int(k) + 2), texts.caseBarLoads[k]);
    }
    replaceTogether(dir, files);
    std::vector<fs::path> stale;
    for (const char* name : StaleResultFiles)
        if (fileExists(dir, name)) stale.push_back(findFile(dir, name));
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if (isResultFile(path.filename().string()) &&
            std::find(stale.begin(), stale.end(), path) == stale.end())
            stale.push_back(path);
    }
    std::vector<std::string> deleted;
    for (const fs::path& path : stale)
        if (fs::remove(path, ec)) deleted.push_back(path.filename().string());
    *this = Renumbering(std::move(next));
    return deleted;
}

}  // namespace vanto::renumber
