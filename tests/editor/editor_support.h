#pragma once
// An editor over a frame, drawing on recording surfaces, with panels that
// remember what they were asked.

#include <array>

#include "editor/editor.h"
#include "support/structures.h"
#include "ui/recording.h"

namespace vanto::editor::test {

// A node's coordinates, X, Y and Z.
inline std::array<float, 3> xyz(const Table<float>& coordinates, int n) {
    return {coordinates(n, 1), coordinates(n, 2), coordinates(n, 3)};
}

struct Panels : EditorPanels {
    void showNode(int n) override { node = n; }
    void showBar(int b) override { bar = b; }
    void enablePanel(Mode m, bool on) override { enabled[int(m)] = on; }
    bool takeOverEdits() override { return ++takeOvers, true; }
    int node = -1, bar = -1, takeOvers = 0;
    bool enabled[2] = {false, false};
};

struct Opened {
    explicit Opened(Structure s, double W = 6000, double H = 4000)
        : dib(W, H), marks(W, H), ed(std::move(s), dib, &marks, &panels) {
        ed.open();
    }
    explicit Opened(const vanto::test::Frame& f, double W = 6000, double H = 4000)
        : Opened(vanto::test::loaded(f), W, H) {}
    view::ScreenPoint node(int n) const { return ed.screen().node(n); }
    view::ScreenPoint mid(int b) const { return ed.screen().midpoint(b); }
    void click(view::ScreenPoint p, unsigned button = Button::Left) {
        ed.mouseDown({PointerEvent::Kind::Press, p.u, p.v, button, button});
        ed.mouseUp({PointerEvent::Kind::Release, p.u, p.v, button, Button::None});
    }
    void drag(view::ScreenPoint from, view::ScreenPoint to, unsigned button = Button::Left) {
        ed.mouseDown({PointerEvent::Kind::Press, from.u, from.v, button, button});
        ed.mouseMove({PointerEvent::Kind::Move, to.u, to.v, Button::None, button});
        ed.mouseUp({PointerEvent::Kind::Release, to.u, to.v, button, Button::None});
    }

    vanto::test::RecordingSurface dib, marks;
    Panels panels;
    Editor ed;
};

}  // namespace vanto::editor::test
