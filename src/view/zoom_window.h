#pragma once
// The zoom window of the editor and the diagram window: a rectangle dragged
// on the surface becomes the new view, fitted without margin, through the
// zoom history of the screen view.

#include <array>
#include <optional>

#include "model/surface.h"
#include "view/screen_view.h"

namespace vanto::view {

// A drag on the surface: where it began and where the pointer is now.
class Drag {
  public:
    void start(float x, float y) { from_ = {x, y}, to_.reset(); }
    void move(float x, float y) { to_ = ScreenPoint{x, y}; }
    void stop() { to_.reset(); }
    ScreenPoint from() const { return from_; }
    // The pointer, once it has moved since the press.
    const std::optional<ScreenPoint>& to() const { return to_; }

  private:
    ScreenPoint from_;
    std::optional<ScreenPoint> to_;
};

// What becomes of a window smaller than the pick tolerance (65 units): the
// editor widens it to 20 tolerances either side of the release point; the
// diagram window keeps it, and widens it so only when it is empty.
enum class SmallWindows { Widen, WidenEmpty };

// The (hm1, hm2, esc) that shows the window with corners (x1, y1), (x2, y2)
// of `view` on a W × H surface.
std::array<float, 3> zoomWindow(const View& view, float x1, float y1, float x2, float y2, float W,
                                float H, SmallWindows small);

// zoomnum(1) to `window`, stepping back while the view is too deep for the
// surface's coordinates.
void zoomInto(ScreenView& screen, const std::array<float, 3>& window);

// The "Ventana" mode: while it is on, a left drag draws the rubber band and
// its release zooms.
class ZoomWindowTool {
  public:
    static constexpr int ColourIndex = 10;  // Palette16

    explicit ZoomWindowTool(SmallWindows small) : small_(small) {}

    bool active() const { return active_; }
    void setActive(bool on) {
        active_ = on;
        drag_.stop();
    }
    void press(float x, float y) { drag_.start(x, y); }
    void move(float x, float y) { drag_.move(x, y); }
    // The rubber band to show while the left button is held.
    const Drag& drag() const { return drag_; }

    // The view (hm1, hm2, esc) showing the window from the press to (x, y)
    // of `view` on a W × H surface, for zoomInto; the mode ends.
    std::array<float, 3> release(float x, float y, const View& view, float W, float H);

  private:
    SmallWindows small_;
    bool active_ = false;
    Drag drag_;
};

// The rubber band of a drag, if the pointer has moved: a rectangle outline.
void drawBand(Surface& overlay, const Drag& drag, Colour colour);

}  // namespace vanto::view
