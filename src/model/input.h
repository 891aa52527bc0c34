#pragma once
// Pointer and key events as the logic sees them, whatever the window system.
// The windows translate their toolkit's events once (src/ui/input.h) and hand
// these over; tests build them directly.
//
// Positions are in the surface's current units (model/surface.h): twips from
// the top left unless the surface has a user scale.

#include <string>

namespace vanto {

// Mouse buttons and keyboard modifiers are bit sets.
namespace Button {
inline constexpr unsigned None = 0, Left = 1, Right = 2, Middle = 4;
}
namespace Modifier {
inline constexpr unsigned None = 0, Shift = 1, Control = 2, Alt = 4;
}

struct PointerEvent {
    enum class Kind { Press, Move, Release, Wheel };
    Kind kind = Kind::Move;
    double x = 0, y = 0;
    unsigned button = Button::None;   // the one pressed or released
    unsigned buttons = Button::None;  // those held after the event
    unsigned modifiers = Modifier::None;
    // Wheel turn in notches (15° each), positive away from the user.
    double wheel = 0;

    bool held(unsigned b) const { return (buttons & b) != 0; }
    bool shift() const { return (modifiers & Modifier::Shift) != 0; }
};

struct KeyEvent {
    // The keys the logic tells apart; any other key is Other, with its text.
    enum class Key {
        Other,
        Escape,
        Enter,
        Tab,
        Backspace,
        Delete,
        Left,
        Right,
        Up,
        Down,
        Home,
        End,
        PageUp,
        PageDown
    };
    Key key = Key::Other;
    std::string text;  // UTF-8, empty for keys that type nothing
    unsigned modifiers = Modifier::None;
};

}  // namespace vanto
