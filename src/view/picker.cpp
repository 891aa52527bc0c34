#include "view/picker.h"

#include <cmath>

namespace vanto::view {

int firstWithin(std::span<const ScreenPoint> positions, float x, float y, float tolerance,
                int after) {
    for (std::size_t i = std::size_t(after) + 1; i < positions.size(); ++i)
        if (std::abs(x - positions[i].u) < tolerance && std::abs(y - positions[i].v) < tolerance)
            return int(i);
    return 0;
}

int CyclingPicker::press(float x, float y, std::span<const ScreenPoint> positions) {
    const bool sameSpot =
        std::abs(x - float(lastX_)) <= tolerance_ && std::abs(y - float(lastY_)) <= tolerance_;
    if (!sameSpot) cursor_ = 0;
    lastX_ = std::lround(x), lastY_ = std::lround(y);
    current_ = firstWithin(positions, x, y, tolerance_, cursor_);
    if (current_ != 0)
        cursor_ = current_;
    else
        cursor_ = afterLast_ == AfterLast::Stay ? int(positions.size()) - 1 : 0;
    return current_;
}

}  // namespace vanto::view
