#pragma once
// The stages of the matrix calculation, on data held in memory.
//
// Degrees of freedom are numbered 1..DofCount (6·(node−1)+k). The band matrix
// stores the upper triangle of the symmetric stiffness matrix row by row:
// position p (1..HB) of row r is K(r, r + p − 1), position 1 the diagonal.
// Each row is contiguous in memory. D holds a restraint per degree of freedom
// (1234 free, otherwise the prescribed value, m or rad) and, after the solver,
// every displacement. F is the right-hand side (t, m·t).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <array>
#include <limits>

#include "analysis/bar_diagram.h"
#include "analysis/calculation.h"
#include "analysis/element.h"
#include "analysis/loads.h"
#include "model/structure.h"
#include "model/structure_data.h"

namespace vanto::analysis {

// Reads the structure of `dir` (DATOS, TIPOS, BARRAS, COORDENA, COACCION,
// CARGAS and the load cases) in 64 bits. Throws CalculationError for a missing DATOS.DAT or
// another version, FileError for any other missing or damaged file.
StructureData loadStructure(const std::filesystem::path& dir);

// Refuses data the calculation cannot work with: node or type numbers out of
// range, zero-length bars, types without area or Young's modulus.
void validate(const StructureData& s);

// A table of six values per node, (node, k), flat by degree of freedom:
// element 6·(node−1)+k, element 0 unused.
std::vector<double> byDof(const Table<double>& values, int nodeCount);

// Releases memory mapped for a band matrix.
struct MappedDeleter {
    std::size_t bytes = 0;
    void operator()(double* p) const;
};

class BandMatrix {
  public:
    BandMatrix() = default;
    // n rows of hb positions, all zero. Throws std::bad_alloc.
    BandMatrix(int n, int hb);

    int size() const { return n_; }
    int halfBandwidth() const { return hb_; }
    bool empty() const { return !data_; }
    // Row r (1..n): element p − 1 is position p, that is K(r, r + p − 1).
    double* row(int r) { return data_.get() + std::size_t(r - 1) * stride_; }
    const double* row(int r) const { return data_.get() + std::size_t(r - 1) * stride_; }
    // K(r, c) for any r, c: the symmetric partner inside the band, 0 outside.
    double at(int r, int c) const;
    void release() {
        data_.reset();
        n_ = 0;
    }
    // Bytes held.
    std::size_t bytes() const { return data_ ? std::size_t(n_) * stride_ * sizeof(double) : 0; }

  private:
    int n_ = 0;
    int hb_ = 0;
    std::size_t stride_ = 0;
    std::unique_ptr<double[], MappedDeleter> data_;
};

// Adds every bar's stiffness into K and its equivalent nodal loads into F, then
// moves non-zero prescribed displacements to F. Returns false when stopped.
bool Ensambla(const StructureData& s, BandMatrix& K, std::vector<double>& F,
              const std::vector<double>& D, CalcObserver& observer);

// The finishing-time estimate of the elimination.
class FinishEstimate {
  public:
    FinishEstimate(const Clock& clock, int dofCount) : clock_(clock), dofCount_(dofCount) {}
    void start() { start_ = clock_.secondsSinceMidnight(); }
    // The estimated time of day the elimination ends after `rowsDone` rows, "h:mm".
    std::string at(int rowsDone) const;

  private:
    const Clock& clock_;
    int dofCount_;
    double start_ = 0;
};

// A pivot that is not above this share of its row's diagonal as assembled
// marks a mechanism. Rounding leaves a lost pivot at about 1e-13 of it, or
// below zero, on large unsupported lattices; a stable lattice whose beams are
// 1e6 times stiffer than its columns keeps its pivots above 5e-10 of it.
inline constexpr double PivotRatio = 1e-11;

// Throws the mechanism found at degree of freedom `dof`.
[[noreturn]] void throwMechanism(int dof);

// Solves K·d = F in place by elimination without pivoting over the free rows
// and back substitution; D's free entries receive the displacements. Throws
// CalculationError (Mechanism) on a pivot not above PivotRatio times the row's
// diagonal. Returns false when stopped.
bool Gauss(BandMatrix& K, std::vector<double>& F, std::vector<double>& D, CalcObserver& observer,
           const Clock& clock);

// The stiffness equations of the free degrees of freedom in compressed sparse
// columns, equations numbered 0.. in the user's order of the free degrees of
// freedom. Only the upper triangle is stored; each column's rows are sorted and
// end with the diagonal.
struct SparseSystem {
    int n = 0;
    std::vector<int> dof;  // equation → degree of freedom (1..DofCount)
    std::vector<int> colStart;
    std::vector<int> rowIndex;
    std::vector<double> values;
    // Right-hand sides, one column of n per load case, case 1 first: F with
    // prescribed displacements moved over.
    std::vector<double> rhs;
    int rhsCount = 1;
};

// Appends the right-hand side of another case, F by degree of freedom.
void addRightHandSide(SparseSystem& K, const std::vector<double>& F);

// Adds every bar's stiffness into K and its equivalent nodal loads into F;
// couplings with prescribed displacements go to F as they are added. Returns
// false when stopped.
bool assembleSparse(const StructureData& s, std::vector<double>& F, const std::vector<double>& D,
                    SparseSystem& K, CalcObserver& observer);

// Solves the free equations with CHOLMOD for every right-hand side: the free
// entries of D[c] receive the displacements of column c. Throws CalculationError (Mechanism) as
// Gauss does, naming the degree of freedom Gauss would name, and std::bad_alloc when memory runs
// out. Returns false when stopped; the factorization then finishes unseen.
bool solveSparse(SparseSystem&& K, std::vector<std::vector<double>>& D, CalcObserver& observer,
                 const Clock& clock);

// The twelve end forces of one bar (local axes, the six at the lower-numbered
// node first) that the displacements D alone give, and those less the
// fixed-end forces of the bar's loads.
void elasticEndForces(const LocalBlocks& k, const BarFrame& frame, const std::vector<double>& D,
                      double S[12]);
void subtractFixedEndForces(const BarLoadTerms& t, double S[12]);

// End forces of every bar (bar, 1..12) and unbalanced forces (node loads +
// equivalent loads − end forces, global) under `loads`. Returns false when
// stopped.
bool Esfuerzos(const StructureData& s, const CaseLoads& loads, const std::vector<double>& D,
               Table<double>& endForces, std::vector<double>& unbalanced, CalcObserver& observer);

// The text of DIAGRAMA.RES (or .Hkk, .Ccc). Returns false when stopped.
bool Diagramas(const StructureData& s, const CaseLoads& loads, const std::vector<double>& D,
               const Table<double>& endForces, std::string& text, CalcObserver& observer);

// The ten values DIAGRAMA.RES lists at a point, in its order: N, Vy, Vz, T,
// My, Mz (t, m·t), deflections along y relative and absolute, along z
// relative and absolute (m).
inline constexpr int ListedQuantities = 10;
using ListedValues = std::array<double, ListedQuantities>;
ListedValues listedValues(const DiagramValues& v);

// The largest and smallest value of one quantity at one point, and the index
// of the result set that gives each (the first one on a tie).
struct Extreme {
    double max = -std::numeric_limits<double>::infinity();
    double min = std::numeric_limits<double>::infinity();
    int maxBy = -1, minBy = -1;
    void take(double v, int set) {
        if (v > max) max = v, maxBy = set;
        if (v < min) min = v, minBy = set;
    }
};
using PointEnvelope = std::array<Extreme, ListedQuantities>;

// One result set for the envelope: its loads and displacements.
struct EnvelopeSource {
    CaseLoads loads;
    const std::vector<double>* D;
};

// The envelope of `sources` at the eleven points s = L/10·k of bar `bar`.
std::array<PointEnvelope, 11> barEnvelope(const StructureData& s, int bar,
                                          const std::vector<EnvelopeSource>& sources);

// ENVOLVEN.RES over `sources`, named by `codes` ("C01", "H02"): its heading
// lines, which say whether the sources are the combinations or the cases;
// the lines of bars first..last, and the extremes of the six forces along
// each of those bars (barExtremes[bar], sized for every bar). Returns false
// when stopped.
std::string envelopeHeading(bool overCombinations);
bool Envolvente(const StructureData& s, const std::vector<EnvelopeSource>& sources,
                const std::vector<std::string>& codes, int first, int last, std::string& text,
                std::vector<std::array<Extreme, 6>>& barExtremes, CalcObserver& observer);

// Solves the equations once more for the right-hand side F of another case,
// with K as Gauss left it: F is reduced as Gauss reduced its own, then D's
// free entries receive the displacements. Restrained entries of D are known.
void solveReduced(const BandMatrix& K, std::vector<double>& F, std::vector<double>& D);

// The text of matriz.lsc or matriz.tri: one line per degree of freedom.
std::string matrixDump(const BandMatrix& K, const std::vector<double>& F,
                       const std::vector<double>& D);

// Names of the degrees of freedom in the mechanism message, by k mod 6.
std::string dofName(int dof);

}  // namespace vanto::analysis
