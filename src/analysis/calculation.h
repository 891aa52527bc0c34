#pragma once
// The whole matrix calculation of one structure directory: load the data,
// assemble and factorize once, solve every load case, end forces, diagrams,
// result files and the listings.
//
// Result files written, in this order, each replacing the old one:
//   matriz.lsc (optional), matriz.tri (optional) of case 1;
//   per case, then per combination: INCOG, ESFUERZO, DESEQUIL, DIAGRAMA with
//   the extension RES (case 1), Hkk (case k) or Ccc (combination c);
//   ENVOLVEN.RES when there are several cases or a combination;
//   listado.txt, Resultad.res.
// Result files of cases and combinations the structure no longer has are
// removed once the equations are solved. When the calculation stops early
// (mechanism, error, stop), the files of the stages that did not run keep
// their earlier contents.

#include <filesystem>
#include <stdexcept>
#include <string>

#include "model/platform.h"

namespace vanto::analysis {

// Stages reported to the progress sink, one per row of the calculation window.
enum CalcStage : int {
    StageAssembly = 1,          // "Ensamblando la barra nº:", current bar of BarCount
    StageReduction = 2,         // "Reduciendo la fila nº:", current row of DofCount
    StageBackSubstitution = 3,  // "Calculando incógnita nº:", unknowns done of DofCount
    StageEndForces = 4,         // "Esfuerzo en la barra nº:", current bar of BarCount
    StageDiagrams = 5,          // "Diagrama de la barra nº:", current bar of BarCount
    StageListing = 6,           // "Generando listado ..." (reported once, 0 of 1)
    // The result set whose end forces and diagrams follow: case or
    // combination i of cases + combinations, reported before each.
    StageCases = 7,
    StageEnvelope = 8,  // "Envolvente de la barra nº:", current bar of BarCount
};

// The equations are solved by a sparse Cholesky factorization in an ordering
// of its own, unless a dump of the band is asked for: then by the band Gauss
// elimination in the user's numbering, whose memory grows with the band. The
// dumps show the equations of case 1.
struct CalcOptions {
    bool writeMatrix = false;        // matriz.lsc: the equations as assembled
    bool writeTriangulated = false;  // matriz.tri: the equations after elimination
};

// Progress and stop flag of the calculation, plus the finishing-time estimate.
class CalcObserver : public Progress {
  public:
    // The estimated time of day the elimination ends, "h:mm".
    virtual void finishTime(const std::string& /*hoursMinutes*/) {}
    // A warning to show before the calculation goes on (a large band).
    virtual void warning(const std::string& /*text*/) {}
};

// The band path's memory: the band matrix of `dofCount` rows of
// `halfBandwidth` positions, in bytes.
double bandBytes(int dofCount, int halfBandwidth);

// Above this the band path warns before it starts.
inline constexpr double BandWarningBytes = 500e6;

// What the band path says of a band of `bytes` when the machine can give
// `available` bytes: nothing, a warning, or a refusal.
enum class BandVerdict { Fine, Warn, Refuse };
BandVerdict judgeBand(double bytes, double available);

// The memory the machine can give now, in bytes (available memory and swap).
double availableMemory();

// A calculation refused or interrupted by the data. The message is the
// program's own Spanish text, ready to show.
class CalculationError : public std::runtime_error {
  public:
    enum class Kind {
        NoData,         // the structure has no DATOS.DAT yet
        OtherVersion,   // DATOS.DAT belongs to another version
        Mechanism,      // zero pivot: node() and dof() name it
        UndefinedType,  // a bar refers to a type TIPOS.DAT does not hold
        BadNode,        // a bar refers to a node that does not exist
        ZeroLength,     // a bar whose two nodes coincide
        ZeroArea,       // a type with area not above 0
        ZeroModulus,    // a type with Young's modulus not above 0
        NotFinite,      // the results are not finite numbers
        BadFixity,      // a bar's fixity coefficient outside 0..1
        BandTooLarge,   // the band matrix would not fit in memory
    };
    CalculationError(Kind kind, std::string message, int node = 0, int dof = 0)
        : std::runtime_error(message), kind_(kind), node_(node), dof_(dof) {}
    Kind kind() const { return kind_; }
    int node() const { return node_; }
    int dof() const { return dof_; }

  private:
    Kind kind_;
    int node_;
    int dof_;
};

enum class CalcOutcome { Completed, Stopped };

// Runs the calculation on `dir`. Returns Stopped when the observer asked to
// stop (no further file is written then). Throws CalculationError for the data
// faults above and FileError (model/files.h) for missing or damaged files.
CalcOutcome runCalculation(const std::filesystem::path& dir, const CalcOptions& options,
                           CalcObserver& observer, const Clock& clock);

}  // namespace vanto::analysis
