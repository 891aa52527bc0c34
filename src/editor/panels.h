#pragma once
// The rules of the node, bar and type panels: the texts they show, with their
// display patterns and the locale's decimal separator, and what a typed text
// does. Each commit is one undo step, applied to the current item or, with
// the multiple selection on, to every selected one. Also the typing rules of
// single fields.

#include <optional>
#include <string>

#include "editor/history.h"
#include "editor/selection.h"

namespace vanto::editor {

// The three value groups of the node panel: coordinates (1..3), loads and
// restraints (1..6).
enum class NodeGroup { Coordinates, Loads, Restraints };

class PanelRules {
  public:
    PanelRules(EditHistory& history, const Selection& selection)
        : history_(history), selection_(selection) {}

    // Empty for an item that does not exist.
    std::string nodeText(int node, NodeGroup group, int k) const;
    std::string barText(int bar, int field) const;
    std::string typeText(int type, int field) const;

    // Field commits: an empty text changes nothing; "LIBRE" (any case,
    // trailing blanks) frees a restraint; other texts are read with
    // ParseNumber.
    void commitNode(NodeGroup group, int k, const std::string& text);
    void commitBar(int field, const std::string& text);
    // The bar type at list position `index` (0-based).
    void chooseType(int index);
    // A type's value (an empty text stores 0) and name.
    void commitType(int type, int field, const std::string& text);
    void commitTypeName(int type, const std::string& text);
    // "Acero" and "Hormigón": fields 5..9 of a type, one step.
    void setMaterial(int type, bool steel);

  private:
    void commitValues(Mode m, Tab table, int k, float value);

    EditHistory& history_;
    const Selection& selection_;
};

// Cuts a type name to 15 characters and shows each blank as "·"; `cursor`
// (characters) is kept on the same character.
std::string typeNameAsTyped(const std::string& text, int& cursor);
// The text a fixity field becomes while typing: "0" below 0, "1" above 1.
std::optional<std::string> clampedFixity(const std::string& text);
// Double-click on a restraint field: "0" for "LIBRE", "Libre" otherwise.
std::string toggledRestraint(const std::string& text);
bool isLibre(const std::string& text);

}  // namespace vanto::editor
