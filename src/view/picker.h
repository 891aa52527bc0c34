#pragma once
// Picking on a surface, for nodes, bars and diagram bars: the first item
// within a tolerance of a point, and picking with cycling through the items
// that lie on top of each other.
//
// Items are numbered from 1; positions[i] is item i's place on the surface
// (index 0 unused), in the surface's units. An item is within reach when it
// lies strictly within the tolerance on both axes.

#include <span>

#include "view/projection.h"

namespace vanto::view {

// The first item after `after` within `tolerance` of (x, y); 0 when none.
int firstWithin(std::span<const ScreenPoint> positions, float x, float y, float tolerance,
                int after = 0);

// Repeated presses on one spot (within the tolerance of the last press, both
// axes, ends included) step through the items within reach in increasing
// number; a press elsewhere starts again from item 1.
class CyclingPicker {
  public:
    // What presses on the spot do once the items within reach are used up:
    // pick nothing until a press elsewhere (Stay), or start again (Restart).
    enum class AfterLast { Stay, Restart };

    CyclingPicker(float tolerance, AfterLast afterLast)
        : tolerance_(tolerance), afterLast_(afterLast) {}

    // The item picked by a press at (x, y), 0 for none.
    int press(float x, float y, std::span<const ScreenPoint> positions);
    int current() const { return current_; }
    // Nothing picked; the next press starts from item 1.
    void forget() { current_ = cursor_ = 0; }

  private:
    float tolerance_;
    AfterLast afterLast_;
    int current_ = 0;
    // Where the next press on the same spot goes on from.
    int cursor_ = 0;
    long lastX_ = 0, lastY_ = 0;
};

}  // namespace vanto::view
