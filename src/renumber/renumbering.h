#pragma once
// Bandwidth renumbering: a breadth-first numbering of the nodes from a start
// node, tried from one node or from every node, and the rewrite of the
// structure files with the best numbering found.
//
// Half band width HB = 6 · (largest |Origin − End| over the bars + 1), as the
// calculation sizes its band matrix. A trial numbering gives the start node
// number 1 and then numbers, position by position, the neighbours of each
// numbered node in the order its bars have in the bar list (no sorting by
// degree). Nodes that no bar touches cannot be reached that way; they keep
// their old order after all the reached ones, so a save never loses a node.
//
// The study keeps the best start across studies: only a strictly smaller HB
// replaces it, so ties keep the earlier start.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "model/arrays.h"
#include "model/platform.h"
#include "model/structure_data.h"

namespace vanto::renumber {

// What the renumbering reads and writes back: bars, coordinates, restraints
// and loads. Restraints and loads are kept in 64 bits, as typed.
using StructureData = BasicStructure<double>;

// A structure the renumbering refuses, with the message to show (Spanish).
class RenumberError : public std::runtime_error {
  public:
    explicit RenumberError(const std::string& message) : std::runtime_error(message) {}
};

// LeeDatos: DATOS.DAT, BARRAS.DAT, COORDENA.DAT, COACCION.DAT, CARGAS.DAT and
// the load cases of `dir`. Throws FileError for a missing or damaged file (a bar naming a node
// that does not exist is damage) and RenumberError for another version.
StructureData LeeDatos(const std::filesystem::path& dir);

// The message of a structure whose bars do not all hang together.
inline constexpr const char* NotConnectedMessage =
    "Esta estructura no se puede renumerar\n\n"
    "(no están todas las barras interconectadas entre si)";

// Comment texts shown after a study.
inline constexpr const char* ImprovedText =
    " Se encontró una mejoría del ancho de banda en el nudo ";
inline constexpr const char* NewWidthText = "  El nuevo ancho de banda sería ";
inline constexpr const char* NotImprovedText = " No mejoró el ancho de banda";
inline constexpr const char* CannotImproveText = " y resulta imposible que mejore";

// One trial numbering. order[p] is the old number of the node with new number
// p; newNumber[n] the new number of old node n (both 1-based, index 0 unused).
struct Numbering {
    std::vector<int> order;
    std::vector<int> newNumber;
    int reached = 0;  // nodes numbered from the start; the rest are untouched nodes
    int width = 0;    // HB of this numbering
};

// The start node typed in `nudonumero`: rounded to the nearest integer and
// brought down to nodeCount when larger (`clamped`; the box shows it then).
struct StartNode {
    int node = 0;
    bool clamped = false;
};
// A start node, or the message refusing the text.
std::variant<StartNode, std::string> parseStartNode(const std::string& text, int nodeCount);

enum class StudyOutcome {
    Finished,
    Stopped,       // the progress sink asked to stop; the bests found so far stay
    NotConnected,  // NotConnectedMessage; nothing may be saved
};

struct StudyResult {
    StudyOutcome outcome = StudyOutcome::Finished;
    std::string comment;  // for `Comentarios`; empty when not connected
};

// Stage reported to the progress sink: trials done of trials asked.
inline constexpr int StageTrials = 1;

class Renumbering {
  public:
    // Throws std::invalid_argument when a bar names a node outside 1..nodeCount.
    explicit Renumbering(StructureData data);

    const StructureData& data() const { return data_; }
    int InitialWidth() const { return initialWidth_; }
    int BestWidth() const { return bestWidth_; }
    int BestStart() const { return bestStart_; }  // 0 until a start improves
    // True when every bar can be reached from every node that a bar touches.
    bool connected() const { return connected_; }
    // Nodes that no bar touches.
    int untouchedNodes() const { return untouched_; }

    // renumeracion: the numbering from `start` (1..nodeCount); nullopt when some
    // bar cannot be reached from it (also when no bar touches `start`).
    std::optional<Numbering> renumeracion(int start) const;

    // A study from one start node (1..nodeCount).
    StudyResult studyFrom(int start, Progress* progress = nullptr);
    // A study from every node in turn. Nodes that no bar touches start nothing
    // and are passed over.
    StudyResult studyAll(Progress* progress = nullptr);

    // Whether the best numbering beats the one on disk (`GrabaSale` enabled).
    bool canSave() const { return bestStart_ != 0 && bestWidth_ < initialWidth_; }

    // GrabaDatos: rewrites BARRAS.DAT, COORDENA.DAT, COACCION.DAT, CARGAS.DAT
    // and every case's CARGAS.Hkk and CARGABAR.Hkk of `dir` with the best
    // numbering (all are written beside their targets before any replaces its
    // file), then deletes the result files,
    // whose numbering no longer holds. Returns the names of the
    // deleted files. Afterwards this object holds the renumbered structure as
    // its starting point. Throws FileError when a file cannot be written and
    // std::logic_error when !canSave().
    std::vector<std::string> GrabaDatos(const std::filesystem::path& dir);

    // The structure with the nodes renumbered: node p of the result is node
    // order[p], in every load case; a bar whose new origin number exceeds its
    // new end number has them exchanged. A bar whose lower-numbered node
    // changes is turned round so that nothing physical changes: its fixities
    // change fields, its angle a becomes −a, and its loads along local z (y
    // for a vertical bar) change sign in every case.
    StructureData renumbered(const Numbering& numbering) const;

  private:
    // HB of the numbering from `start`, or 0 as soon as it is known to be no
    // smaller than `bound` (0: no bound). The bars must hang together.
    int trialWidth(int start, int bound);
    bool touched(int node) const { return offsets_[node + 1] > offsets_[node]; }
    void considerStart(int start, int width);
    std::string comment(bool complete) const;

    StructureData data_;
    // Neighbours of every node in bar order: adjacency_[offsets_[n] .. offsets_[n+1]).
    std::vector<int> offsets_;
    std::vector<int> adjacency_;
    bool connected_ = true;
    int untouched_ = 0;
    int initialWidth_ = 6;
    int bestWidth_ = 6;
    int bestStart_ = 0;
    // Scratch of the trials, reused so that a trial allocates nothing.
    std::vector<int> stamp_;
    std::vector<int> number_;
    std::vector<int> queue_;
    int trialStamp_ = 0;
};

// The texts of BARRAS.DAT, COORDENA.DAT, COACCION.DAT and CARGAS.DAT for a
// structure: one bar, one coordinate (32 bits) or one node's six values per
// line, CR LF line ends; and of CARGAS.Hkk (one value per line) and
// CARGABAR.Hkk (one bar per line), k = 2...
struct FileTexts {
    std::string bars, coordinates, restraints, loads;
    std::vector<std::string> caseLoads, caseBarLoads;
};
FileTexts fileTexts(const StructureData& data);

// Result files that a renumbering leaves stale, deleted after a save, besides
// the results of every case and combination (model/load_cases.h).
extern const char* const StaleResultFiles[8];

}  // namespace vanto::renumber
