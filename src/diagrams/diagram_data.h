#pragma once
// The results of a calculation as the diagram window, its printing and the
// results DXF draw them: one record per bar, loaded once, and the geometry of
// the diagrams and the deformed shape in model space.
//
// Conventions: metres, t and m·t; S is the diagram scale, metres of drawing
// per tonne, per m·t or per centimetre of displacement. A bar always runs from
// its lower-numbered node i (P1) to the other one j (P2), as the calculation
// takes it; its fixities stay with their ends of the bar record. Every value
// along a bar comes from analysis::diagramValues, so the drawings and
// DIAGRAMA.RES cannot drift apart.

#include <array>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/bar_diagram.h"
#include "model/geometry.h"
#include "model/helpers.h"
#include "model/load_cases.h"

namespace vanto::diagrams {

// Shown instead of the diagrams when the structure has no results yet.
inline constexpr const char* NotCalculatedText = "Antes debe efectuar un cálculo de la estructura";
// Followed by the code ("H04") of a case or combination the structure lacks.
inline constexpr const char* UnknownSetText = "La estructura no tiene la hipótesis o combinación ";

// A refusal with the program's own Spanish message, ready to show.
class DiagramError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A diagram kind: its code, the caption and colour of its check box, its DXF
// layer, and the side its 3D diagram is drawn on (−1: minus local y, +1: plus
// local z, 0: the deformed shape).
struct DiagramKind {
    char code;
    const char* caption;
    Colour colour;
    const char* layer;
    int side;
};
inline constexpr std::array<DiagramKind, 7> DiagramKinds{{
    {'X', "Axil", rgb(0, 0, 192), "AxilX", -1},
    {'Y', "Cortante Y", rgb(0, 128, 0), "CortY", -1},
    {'Z', "Cortante Z", rgb(128, 128, 0), "CortZ", +1},
    {'T', "Torsor", rgb(128, 128, 255), "TorsX", +1},
    {'F', "Flector Y", rgb(0, 255, 255), "FlectY", +1},
    {'M', "Flector Z", rgb(128, 255, 128), "FlectZ", -1},
    {'D', "Deformada x100   (cm.)", rgb(255, 255, 0), "Deformada", 0},
}};
// The kind of a code from "XYZTFMD"; throws std::invalid_argument otherwise.
const DiagramKind& diagramKind(char code);

// One calculated bar.
struct DiagramBar {
    int i = 0, j = 0;                // nodes, i < j
    Vec3 p1{}, p2{};                 // their positions
    std::array<Vec3, 3> axes{};      // local x, y, z in global components
    analysis::BarDiagramInput in{};  // length, loads, stiffness, end forces, displacements
    // The set's bar loads (vertical, along local y and z), t/m.
    std::array<double, 3> loads{};
};

// The largest (upper) and smallest (lower) value of each force kind, in the
// order "XYZTFM", at x = i·L/10 (i = 0..10) of one bar, over the envelope's
// result sets.
struct BarEnvelope {
    std::array<std::array<double, 11>, 6> upper{}, lower{};
};

struct DiagramData {
    int nodeCount = 0;
    int barCount = 0;
    std::vector<Vec3> nodes;                           // 1..nodeCount, m
    std::vector<std::array<double, 6>> nodeLoads;      // 1..nodeCount, the set's, global
    std::vector<std::array<double, 6>> restraints;     // 1..nodeCount, FreeMarker when free
    std::vector<std::array<double, 6>> displacements;  // 1..nodeCount, m and rad, global
    std::vector<DiagramBar> bars;                      // 1..barCount
    double maxBarLength = 0;                           // MaxBarLength
    // The envelope's values, one per bar from 1; empty for a case or a
    // combination. An envelope carries no loads and no deformed shape.
    std::vector<BarEnvelope> envelope;
    bool isEnvelope() const { return !envelope.empty(); }
};

// Everything the diagram window loads from `dir` for one case or combination
// (case 1 by default): the structure with that set's loads, and its INCOG and
// ESFUERZO files. Throws DiagramError (NotCalculatedText) without INCOG.RES or
// the set's INCOG, (UnknownSetText) for a set the structure lacks, FileError
// for missing or damaged files, analysis::CalculationError for data the
// calculation could not have accepted (bars edited since).
DiagramData loadDiagramData(const std::filesystem::path& dir, const ResultSet& set = {});

// What the diagrams show: a case or combination, or the envelope.
inline constexpr const char* EnvelopeChoice = "envolvente";
struct ShownSet {
    ResultSet set;
    bool envelope = false;
    // "H01", "C02", "envolvente".
    std::string code() const { return envelope ? EnvelopeChoice : set.code(); }
};
// "Hkk", "Ccc" (any letter case) or "envolvente"; nullopt otherwise.
std::optional<ShownSet> parseShownSet(std::string_view text);

// The envelope over the combinations (over the cases when there is none), on
// case 1's structure without loads. Throws as loadDiagramData.
DiagramData loadEnvelopeData(const std::filesystem::path& dir);
DiagramData loadShownSet(const std::filesystem::path& dir, const ShownSet& shown);

// v(x) of a kind other than "D" from the values at a point.
double diagramValue(const analysis::DiagramValues& v, char code);

// The two outlines of the envelope; a case or combination has the upper one.
enum class Bound { Upper, Lower };
// v(x) of force kind `code` at x = i·L/10, i = 0..10, of bar `b`.
std::array<double, 11> barValues(const DiagramData& data, int b, char code,
                                 Bound bound = Bound::Upper);

// Points of a 3D diagram: P1, the eleven points x = i·L/10 offset by S·v(x)
// along the kind's side, P2: a closed outline from the axis and back.
std::array<Vec3, 13> diagramOutline(const DiagramBar& bar, char code, double S);
std::array<Vec3, 13> diagramOutline(const DiagramBar& bar, char code,
                                    const std::array<double, 11>& values, double S);

// Deflections in local y and z at x = i·L/10, i = 0..9, and of node j at
// i = 10: the translation of node i plus the bending and chord terms, m.
struct Deflections {
    std::array<double, 11> y{}, z{};
};
Deflections deflections(const DiagramBar& bar);

// The deformed shape at an amplification of 100·S: eleven points, the last
// being node j displaced.
std::array<Vec3, 11> deformedShape(const DiagramData& data, const DiagramBar& bar, double S);

}  // namespace vanto::diagrams
