#pragma once
// Load cases and their combinations.
//
// Case 1 is the structure's own loads: CARGAS.DAT, the load fields of
// BARRAS.DAT and the prescribed displacements of COACCION.DAT. Cases 2..N
// carry node loads and bar loads only; prescribed displacements belong to
// case 1. A combination is the sum of the cases, each times its factor; the
// analysis being linear, its results are the same factored sum of theirs.
//
// Files, all optional; without them a structure has one case, "Hipótesis 1":
//   HIPOTESI.DAT   N (1..99), then N quoted names
//   CARGAS.Hkk     node loads of case k = 2..N, in CARGAS.DAT's layout
//   CARGABAR.Hkk   bar loads of case k, one line per bar: vertical load,
//                  loads along local y and z (t/m), temperature change (°C)
//   COMBINA.DAT    M (0..99), then per combination a line with its quoted
//                  name and a line with its N factors
// kk is the case number in two digits (02..99). The results of case k ≥ 2 and
// of combination c go to INCOG, ESFUERZO, DESEQUIL and DIAGRAMA with the
// extension Hkk or Ccc; those of case 1 keep the extension RES.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/arrays.h"
#include "model/structure.h"

namespace vanto {

inline constexpr int MaxLoadCases = 99;
inline constexpr int MaxCombinations = 99;
// The name of case 1 when HIPOTESI.DAT does not give one.
inline constexpr const char* FirstCaseName = "Hipótesis 1";

// Columns 1..4 of a case's bar-load table hold these bar fields.
inline constexpr int CaseBarFieldCount = 4;
inline constexpr BarField CaseBarFields[CaseBarFieldCount] = {VerticalLoad, TransverseLoadY,
                                                              TransverseLoadZ, TemperatureChange};

// The loads of one case k ≥ 2.
template <class Real>
struct LoadCase {
    std::string name;
    Table<Real> nodeLoads;  // (node, 1..6), as CARGAS.DAT
    Table<float> barLoads;  // (bar, 1..4), the fields CaseBarFields
};

struct Combination {
    std::string name;
    std::vector<double> factors;  // factors[k − 1] multiplies case k
};

// The cases of a structure beyond its own loads, and the combinations. Tables
// may have more rows than the counts, as the structure's own tables do.
template <class Real>
struct LoadCases {
    std::string firstName = FirstCaseName;
    std::vector<LoadCase<Real>> more;  // cases 2..N: more[k − 2]
    std::vector<Combination> combinations;

    int count() const { return 1 + int(more.size()); }
    const std::string& name(int k) const { return k == 1 ? firstName : more[k - 2].name; }
    LoadCase<Real>& loadCase(int k) { return more[std::size_t(k - 2)]; }
    const LoadCase<Real>& loadCase(int k) const { return more[std::size_t(k - 2)]; }
    // One case named as by default and no combination: nothing to store.
    bool plain() const {
        return more.empty() && combinations.empty() && firstName == FirstCaseName;
    }

    // Appends an unloaded case with rows for the given counts; every
    // combination takes it with factor 0. Returns its number.
    int addCase(std::string name, int nodeCount, int barCount);
    // Removes case k ≥ 2 and its factor from every combination.
    void removeCase(int k);

    // Rows of every case 2..N. selectNodes: node p of the result is old node
    // oldOf[p] (p = 1..oldOf.size() − 1; oldOf[0] unused), so one call
    // renumbers, reorders or drops nodes; selectBars the same for bars.
    void selectNodes(const std::vector<int>& oldOf);
    void selectBars(const std::vector<int>& oldOf);
    // Deletes the rows of node n (bar b): the later rows, up to the count,
    // move up one.
    void removeNode(int n, int nodeCount);
    void removeBar(int b, int barCount);
    // Zero rows for node n (bar b), growing the tables when they are full.
    void addNode(int n);
    void addBar(int b);
    // Room for this many nodes and bars without growing again.
    void reserve(int nodes, int bars);
};

// "1.35·H01 + 1.5·H02": the cases a combination takes, with their factors
// as shortest texts with `separator` for the point; "0" when it takes none.
std::string combinationFormula(const Combination& c, char separator = '.');

// Whose results a result file holds: a load case or a combination, 1..99.
struct ResultSet {
    enum class Kind { Case, Combination };
    Kind kind = Kind::Case;
    int number = 1;

    // "RES" for case 1, "Hkk" for case k ≥ 2, "Ccc" for combination c.
    std::string extension() const;
    // "H01".."H99" or "C01".."C99".
    std::string code() const;
    bool operator==(const ResultSet&) const = default;
};
// A code as code() writes it, in any letter case ("h2" too); nullopt otherwise.
std::optional<ResultSet> parseResultSet(std::string_view code);

// The result sets of a calculation: every case, then every combination.
template <class Real>
std::vector<ResultSet> resultSets(const LoadCases<Real>& cases);

// The point-by-point envelope of the combinations (of the cases when there is
// no combination), written when there is more than one case or a combination.
inline constexpr const char* EnvelopeFileName = "ENVOLVEN.RES";

// Names, in any letter case: the load-case files (HIPOTESI.DAT, COMBINA.DAT,
// CARGAS.Hkk, CARGABAR.Hkk) and the result files of any case or combination
// (INCOG, ESFUERZO, DESEQUIL, DIAGRAMA with RES, Hkk or Ccc, and ENVOLVEN.RES).
bool isLoadCaseFile(std::string_view name);
bool isResultFile(std::string_view name);

}  // namespace vanto
