#pragma once
// The rules of the node, bar and type panels: the texts they show, with their
// display patterns and the locale's decimal separator, and what a typed text
// does. Each commit is one undo step, applied to the current item or, with
// the multiple selection on, to every selected one. A text that is not a
// number, or a fixity outside 0..1, is refused with a message that names the
// field, and nothing changes. Also the typing rules of single fields.

#include <optional>
#include <string>
#include <vector>

#include "editor/history.h"
#include "editor/selection.h"

namespace vanto::editor {

// The three value groups of the node panel: coordinates (1..3), loads and
// restraints (1..6).
enum class NodeGroup { Coordinates, Loads, Restraints };

// The fields' captions, by group and component (index 0 unused); messages
// name the fields by them.
inline constexpr const char* CoordinateCaptions[4] = {"", "Coord.X (m)", "Coord.Y", "Coord.Z"};
inline constexpr const char* LoadCaptions[7] = {
    "", "Carga X (t.)", "Carga Y", "Carga Z", "Mto. X (m·t)", "Mto. Y", "Mto. Z"};
inline constexpr const char* RestraintCaptions[7] = {
    "", "Despl.X (m)", "Despl.Y", "Despl.Z", "Giro X(rad)", "Giro Y", "Giro Z"};
inline constexpr const char* BarCaptions[BarFieldCount + 1] = {"",
                                                               "Nudo origen",
                                                               "Nudo final",
                                                               "Tipo",
                                                               "Ángulo (grad.)",
                                                               "Carga V.(t/m)",
                                                               "Carga Ort. Y",
                                                               "Carga Ort. Z",
                                                               "Var.Temp. ºC",
                                                               "Empotr.Origen",
                                                               "Empotr. Extremo"};
inline constexpr const char* TypeCaptions[TypeFieldCount + 1] = {"",
                                                                 "Area (cm2)",
                                                                 "Inercia Z (cm4)",
                                                                 "Inercia Y",
                                                                 "M.Torsión",
                                                                 "M.Young(k/cm2)",
                                                                 "Coef. Poisson",
                                                                 "T.Adm . (kg/m2)",
                                                                 "P.Espe. (kg/m3)",
                                                                 "Coef. dilatación"};
const char* nodeCaption(NodeGroup group, int k);

// Why a typed text is refused, in the user's words; empty when it is taken.
using Refusal = std::string;

class PanelRules {
  public:
    PanelRules(EditHistory& history, const Selection& selection)
        : history_(history), selection_(selection) {}

    // Empty for an item that does not exist.
    std::string nodeText(int node, NodeGroup group, int k) const;
    std::string barText(int bar, int field) const;
    std::string typeText(int type, int field) const;

    // Field commits: an empty text changes nothing; "LIBRE" (any case,
    // trailing blanks) frees a restraint; a node number must be whole, a
    // fixity within 0..1; other texts must be numbers ("," or "." as the
    // decimal separator).
    Refusal commitNode(NodeGroup group, int k, const std::string& text);
    Refusal commitBar(int field, const std::string& text);
    // The bar type at list position `index` (0-based).
    void chooseType(int index);
    // A type's value (an empty text stores 0) and name.
    Refusal commitType(int type, int field, const std::string& text);
    void commitTypeName(int type, const std::string& text);
    // "No existe el nudo n" when field Origin or End of `bar` names a node the
    // structure does not have; empty otherwise.
    std::string missingNode(int bar, int field) const;
    // "Acero" and "Hormigón": fields 5..9 of a type, one step.
    void setMaterial(int type, bool steel);

    // The load case whose node and bar loads the panels show and edit.
    int loadCase() const { return loadCase_; }
    void setLoadCase(int k);
    // Load cases and combinations, one step each: a new unloaded case (its
    // number returned), a name, a case removed with its factors; the
    // combinations as a whole. Names keep to one line.
    int addCase(const std::string& name);
    void renameCase(int k, const std::string& name);
    void removeCase(int k);
    void setCombinations(std::vector<Combination> combinations);

  private:
    void commitValues(Mode m, Tab table, int k, float value);

    EditHistory& history_;
    const Selection& selection_;
    int loadCase_ = 1;
};

// Cuts a type name to 15 characters and shows each blank as "·"; `cursor`
// (characters) is kept on the same character.
std::string typeNameAsTyped(const std::string& text, int& cursor);
// The number a typed text holds: blanks around it, a sign, digits with "," or
// "." as the decimal separator, an exponent; nullopt for anything else.
std::optional<double> typedNumber(const std::string& text);
// Double-click on a restraint field: "0" for "LIBRE", "Libre" otherwise.
std::string toggledRestraint(const std::string& text);
bool isLibre(const std::string& text);

}  // namespace vanto::editor
