#pragma once
// The pointer on the editor's drawing: a left press picks the node or bar
// there, or, with the multiple selection on, starts a selection box; in the
// "Ventana" mode a left drag marks the zoom window; a right drag from a node
// to another adds or removes the bar between them, and into empty space adds
// a node too: in a plane view where the button is released, on the grid
// (with Shift, and in the oblique views, at the fixed offset). The figure
// that follows the pointer is drawn on the overlay.

#include "model/input.h"
#include "model/surface.h"
#include "view/zoom_window.h"

namespace vanto::editor {

class Editor;

class Gestures {
  public:
    explicit Gestures(Editor& editor) : editor_(editor) {}

    void press(const PointerEvent& e);
    void move(const PointerEvent& e);
    void release(const PointerEvent& e);

    bool zoomWindowMode() const { return zoom_.active(); }
    void setZoomWindowMode(bool on) { zoom_.setActive(on); }

    // The selection box, zoom window or bar line following the pointer.
    void drawFigure(Surface& overlay) const;

  private:
    void releaseBox(float x2, float y2);

    Editor& editor_;
    unsigned pressed_ = Button::None;
    view::Drag drag_;
    int dragStart_ = 0;  // the node a right drag began on
    view::ZoomWindowTool zoom_{view::SmallWindows::Widen};
};

}  // namespace vanto::editor
