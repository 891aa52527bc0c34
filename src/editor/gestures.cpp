#include "editor/gestures.h"

#include <algorithm>
#include <utility>

#include "editor/editor.h"

namespace vanto::editor {

void Gestures::press(const PointerEvent& e) {
    pressed_ = Button::None;
    dragStart_ = 0;
    // A refused text keeps its field: the press does nothing else.
    if (!editor_.takeOverEdits()) return;
    float x = float(e.x), y = float(e.y);
    pressed_ = e.button;
    const bool left = e.button == Button::Left;
    if (left && zoom_.active()) zoom_.press(x, y);
    if (left && !editor_.multiple() && !zoom_.active()) {
        if (editor_.mode() == Mode::Nodes)
            editor_.BuscaPunto(x, y);
        else
            editor_.BuscaBarra(x, y);
    }
    // A right drag starts from the node's own place.
    if (e.button == Button::Right) dragStart_ = editor_.PuntoCercano(x, y);
    drag_.start(x, y);
}

void Gestures::move(const PointerEvent& e) {
    const bool box =
        pressed_ == Button::Left && e.held(Button::Left) && (editor_.multiple() || zoom_.active());
    const bool line = pressed_ == Button::Right && e.held(Button::Right) && dragStart_ != 0;
    if (!box && !line) return;
    if (zoom_.active() && box) zoom_.move(float(e.x), float(e.y));
    drag_.move(float(e.x), float(e.y));
    editor_.drawMarks();
}

void Gestures::release(const PointerEvent& e) {
    const unsigned button = e.button;
    if (button != pressed_) return;
    pressed_ = Button::None;
    if (button == Button::Right) {
        drag_.stop();
        if (dragStart_ == 0) return;
        float x = float(e.x), y = float(e.y);
        const int a = std::exchange(dragStart_, 0);
        const int b = editor_.PuntoCercano(x, y);
        const auto place = b ? std::nullopt : editor_.newNodePlace(a, x, y, e.shift());
        // A place on the grid where a node already is means that node.
        const int there = place ? editor_.nodeAt(*place) : 0;
        if (there) return editor_.PonQuitaBarra(a, there);
        editor_.PonQuitaBarra(a, b, place);
        return;
    }
    if (button != Button::Left) return;
    if (zoom_.active()) {
        const auto window =
            zoom_.release(float(e.x), float(e.y), editor_.screen().view(),
                          float(editor_.dib().scaleWidth()), float(editor_.dib().scaleHeight()));
        editor_.zoomnum(1, window[0], window[1], window[2]);
        return;
    }
    if (editor_.multiple()) releaseBox(float(e.x), float(e.y));
}

// Toggles the items strictly inside the box; a box narrower than the pick
// tolerance is widened to it either side of the release point.
void Gestures::releaseBox(float x2, float y2) {
    const float tolerance = Selection::Tolerance;
    float x1 = drag_.from().u, y1 = drag_.from().v;
    drag_.stop();
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < tolerance) x1 = x2 - tolerance, x2 = x2 + tolerance;
    if (y2 - y1 < tolerance) y1 = y2 - tolerance, y2 = y2 + tolerance;
    editor_.toggleInside(x1, y1, x2, y2);
}

void Gestures::drawFigure(Surface& overlay) const {
    if (zoom_.active()) {
        view::drawBand(overlay, zoom_.drag(), palette16(view::ZoomWindowTool::ColourIndex));
        return;
    }
    if (!drag_.to()) return;
    if (pressed_ == Button::Left && editor_.multiple()) {
        view::drawBand(overlay, drag_, SelectionColour);
        return;
    }
    if (pressed_ != Button::Right || dragStart_ == 0) return;
    overlay.setForeground(SelectionColour);
    overlay.line(drag_.from().u, drag_.from().v, drag_.to()->u, drag_.to()->v);
}

}  // namespace vanto::editor
