#pragma once
// What the editor has picked: the mode (node or bar panel), the current node
// and bar, each with its own cycling picker, and, with the multiple selection
// on, the nodes and bars selected to be edited together.

#include <span>
#include <vector>

#include "view/picker.h"

namespace vanto::editor {

enum class Mode { Nodes, Bars };

class Selection {
  public:
    // Pick tolerance, drawing units.
    static constexpr float Tolerance = 65;

    Mode mode() const { return mode_; }
    void setMode(Mode mode) { mode_ = mode; }
    bool multiple() const { return multiple_; }
    // On: every flag is cleared. Either way the current item of the mode is
    // dropped.
    void setMultiple(bool on);

    int current(Mode m) const { return picker(m).current(); }
    // The next item of mode m at (x, y) (BuscaPunto, BuscaBarra); 0 for none.
    int pick(Mode m, float x, float y, std::span<const view::ScreenPoint> positions) {
        return picker(m).press(x, y, positions);
    }
    void forget(Mode m) { picker(m).forget(); }

    bool selected(Mode m, int item) const;
    void toggle(Mode m, int item);
    // The items a typed value goes to: the selected ones with the multiple
    // selection on, else the current one; none beyond `count`.
    std::vector<int> targets(Mode m, int count) const;

    // After an undo: items beyond the counts are no longer there.
    void keepWithin(int nodeCount, int barCount);
    // Bar k was removed: the later bars move down.
    void barRemoved(int k);

  private:
    view::CyclingPicker& picker(Mode m) { return m == Mode::Nodes ? nodes_ : bars_; }
    const view::CyclingPicker& picker(Mode m) const { return m == Mode::Nodes ? nodes_ : bars_; }
    std::vector<char>& flags(Mode m) { return m == Mode::Nodes ? nodeFlags_ : barFlags_; }
    const std::vector<char>& flags(Mode m) const {
        return m == Mode::Nodes ? nodeFlags_ : barFlags_;
    }

    Mode mode_ = Mode::Nodes;
    bool multiple_ = false;
    view::CyclingPicker nodes_{Tolerance, view::CyclingPicker::AfterLast::Stay};
    view::CyclingPicker bars_{Tolerance, view::CyclingPicker::AfterLast::Stay};
    std::vector<char> nodeFlags_, barFlags_;
};

}  // namespace vanto::editor
