#include "model/load_cases.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

#include "model/helpers.h"

namespace vanto {

namespace {

// Rows for item `n`, doubling so that adding one item at a time stays cheap.
template <class T>
void growFor(Table<T>& t, int n, int cols) {
    if (t.empty()) t = Table<T>(0, cols);
    if (n > t.maxRow()) t.resizeRows(std::max(n, 2 * t.maxRow()));
}

template <class T>
Table<T> selectRows(const Table<T>& t, const std::vector<int>& oldOf) {
    const int rows = int(oldOf.size()) - 1;
    Table<T> out(std::max(rows, 0), t.maxCol());
    for (int p = 1; p <= rows; ++p)
        std::copy(t.row(oldOf[p]), t.row(oldOf[p]) + t.maxCol() + 1, out.row(p));
    return out;
}

template <class T>
void removeRow(Table<T>& t, int r, int count) {
    for (int i = r; i < count; ++i)
        std::copy(t.row(i + 1), t.row(i + 1) + t.maxCol() + 1, t.row(i));
    std::fill(t.row(count), t.row(count) + t.maxCol() + 1, T{});
}

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// "Hkk", "Ccc" (two digits) with the given letter.
bool isNumberedExtension(std::string_view ext, char letter) {
    return ext.size() == 3 && ext[0] == letter &&
           std::isdigit(static_cast<unsigned char>(ext[1])) &&
           std::isdigit(static_cast<unsigned char>(ext[2]));
}

}  // namespace

template <class Real>
int LoadCases<Real>::addCase(std::string name, int nodeCount, int barCount) {
    LoadCase<Real> c{std::move(name), Table<Real>(nodeCount, 6),
                     Table<float>(barCount, CaseBarFieldCount)};
    more.push_back(std::move(c));
    for (Combination& comb : combinations)
        comb.factors.resize(std::size_t(count()), 0.0);
    return count();
}

template <class Real>
void LoadCases<Real>::removeCase(int k) {
    // Case 1 is the structure's own tables.
    if (k < 2 || k > count()) throw std::out_of_range("no such load case to remove");
    more.erase(more.begin() + (k - 2));
    for (Combination& comb : combinations)
        if (std::size_t(k) <= comb.factors.size())
            comb.factors.erase(comb.factors.begin() + (k - 1));
}

template <class Real>
void LoadCases<Real>::selectNodes(const std::vector<int>& oldOf) {
    for (LoadCase<Real>& c : more)
        c.nodeLoads = selectRows(c.nodeLoads, oldOf);
}

template <class Real>
void LoadCases<Real>::selectBars(const std::vector<int>& oldOf) {
    for (LoadCase<Real>& c : more)
        c.barLoads = selectRows(c.barLoads, oldOf);
}

template <class Real>
void LoadCases<Real>::removeNode(int n, int nodeCount) {
    for (LoadCase<Real>& c : more)
        removeRow(c.nodeLoads, n, nodeCount);
}

template <class Real>
void LoadCases<Real>::removeBar(int b, int barCount) {
    for (LoadCase<Real>& c : more)
        removeRow(c.barLoads, b, barCount);
}

template <class Real>
void LoadCases<Real>::addNode(int n) {
    for (LoadCase<Real>& c : more) {
        growFor(c.nodeLoads, n, 6);
        std::fill(c.nodeLoads.row(n), c.nodeLoads.row(n) + 7, Real(0));
    }
}

template <class Real>
void LoadCases<Real>::addBar(int b) {
    for (LoadCase<Real>& c : more) {
        growFor(c.barLoads, b, CaseBarFieldCount);
        std::fill(c.barLoads.row(b), c.barLoads.row(b) + CaseBarFieldCount + 1, 0.0f);
    }
}

template <class Real>
void LoadCases<Real>::reserve(int nodes, int bars) {
    for (LoadCase<Real>& c : more) {
        if (nodes > c.nodeLoads.maxRow()) c.nodeLoads.resizeRows(nodes);
        if (bars > c.barLoads.maxRow()) c.barLoads.resizeRows(bars);
    }
}

template struct LoadCases<float>;
template struct LoadCases<double>;

std::string combinationFormula(const Combination& c, char separator) {
    std::string out;
    for (std::size_t k = 0; k < c.factors.size(); ++k) {
        const double f = c.factors[k];
        if (f == 0) continue;
        if (!out.empty()) out += f < 0 ? " - " : " + ";
        out += writtenValue(out.empty() ? f : std::abs(f)) + "·" +
               ResultSet{ResultSet::Kind::Case, int(k) + 1}.code();
    }
    for (char& ch : out)
        if (ch == '.') ch = separator;
    return out.empty() ? "0" : out;
}

std::string ResultSet::extension() const {
    if (kind == Kind::Case && number == 1) return "RES";
    return code();
}

std::string ResultSet::code() const {
    const std::string digits = std::to_string(number);
    return std::string(1, kind == Kind::Case ? 'H' : 'C') + (number < 10 ? "0" : "") + digits;
}

std::optional<ResultSet> parseResultSet(std::string_view code) {
    if (code.size() < 2 || code.size() > 3) return std::nullopt;
    const char letter = char(std::toupper(static_cast<unsigned char>(code[0])));
    if (letter != 'H' && letter != 'C') return std::nullopt;
    int n = 0;
    for (char c : code.substr(1)) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        n = 10 * n + (c - '0');
    }
    if (n < 1 || n > 99) return std::nullopt;
    return ResultSet{letter == 'H' ? ResultSet::Kind::Case : ResultSet::Kind::Combination, n};
}

template <class Real>
std::vector<ResultSet> resultSets(const LoadCases<Real>& cases) {
    std::vector<ResultSet> sets;
    for (int k = 1; k <= cases.count(); ++k)
        sets.push_back({ResultSet::Kind::Case, k});
    for (int c = 1; c <= int(cases.combinations.size()); ++c)
        sets.push_back({ResultSet::Kind::Combination, c});
    return sets;
}
template std::vector<ResultSet> resultSets(const LoadCases<float>&);
template std::vector<ResultSet> resultSets(const LoadCases<double>&);

bool isLoadCaseFile(std::string_view name) {
    const std::string u = upper(name);
    if (u == "HIPOTESI.DAT" || u == "COMBINA.DAT") return true;
    const auto dot = u.find('.');
    if (dot == std::string::npos) return false;
    const std::string stem = u.substr(0, dot);
    return (stem == "CARGAS" || stem == "CARGABAR") &&
           isNumberedExtension(std::string_view(u).substr(dot + 1), 'H');
}

bool isResultFile(std::string_view name) {
    const std::string u = upper(name);
    if (u == EnvelopeFileName) return true;
    const auto dot = u.find('.');
    if (dot == std::string::npos) return false;
    const std::string stem = u.substr(0, dot);
    const std::string_view ext = std::string_view(u).substr(dot + 1);
    if (stem != "INCOG" && stem != "ESFUERZO" && stem != "DESEQUIL" && stem != "DIAGRAMA")
        return false;
    return ext == "RES" || isNumberedExtension(ext, 'H') || isNumberedExtension(ext, 'C');
}

}  // namespace vanto
