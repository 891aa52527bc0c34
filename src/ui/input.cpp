#include "ui/input.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "ui/qt_surface.h"

namespace vanto::ui {

namespace {

unsigned buttonsOf(Qt::MouseButtons buttons) {
    unsigned out = Button::None;
    if (buttons & Qt::LeftButton) out |= Button::Left;
    if (buttons & Qt::RightButton) out |= Button::Right;
    if (buttons & Qt::MiddleButton) out |= Button::Middle;
    return out;
}

unsigned modifiersOf(Qt::KeyboardModifiers modifiers) {
    unsigned out = Modifier::None;
    if (modifiers & Qt::ShiftModifier) out |= Modifier::Shift;
    if (modifiers & Qt::ControlModifier) out |= Modifier::Control;
    if (modifiers & Qt::AltModifier) out |= Modifier::Alt;
    return out;
}

PointerEvent::Kind kindOf(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return PointerEvent::Kind::Press;
        case QEvent::MouseButtonRelease:
            return PointerEvent::Kind::Release;
        default:
            return PointerEvent::Kind::Move;
    }
}

KeyEvent::Key keyOf(int key) {
    using K = KeyEvent::Key;
    switch (key) {
        case Qt::Key_Escape:
            return K::Escape;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return K::Enter;
        case Qt::Key_Tab:
            return K::Tab;
        case Qt::Key_Backspace:
            return K::Backspace;
        case Qt::Key_Delete:
            return K::Delete;
        case Qt::Key_Left:
            return K::Left;
        case Qt::Key_Right:
            return K::Right;
        case Qt::Key_Up:
            return K::Up;
        case Qt::Key_Down:
            return K::Down;
        case Qt::Key_Home:
            return K::Home;
        case Qt::Key_End:
            return K::End;
        case Qt::Key_PageUp:
            return K::PageUp;
        case Qt::Key_PageDown:
            return K::PageDown;
        default:
            return K::Other;
    }
}

}  // namespace

PointerEvent pointerEvent(const QMouseEvent& event, const QtSurface& surface) {
    const QPointF at = surface.toUser(event.position());
    PointerEvent out;
    out.kind = kindOf(event.type());
    out.x = at.x();
    out.y = at.y();
    out.button = buttonsOf(event.button());
    out.buttons = buttonsOf(event.buttons());
    out.modifiers = modifiersOf(event.modifiers());
    return out;
}

PointerEvent pointerEvent(const QWheelEvent& event, const QtSurface& surface) {
    const QPointF at = surface.toUser(event.position());
    PointerEvent out;
    out.kind = PointerEvent::Kind::Wheel;
    out.x = at.x();
    out.y = at.y();
    out.buttons = buttonsOf(event.buttons());
    out.modifiers = modifiersOf(event.modifiers());
    // Qt counts eighths of a degree; a notch is 15°.
    out.wheel = event.angleDelta().y() / 120.0;
    return out;
}

KeyEvent keyEvent(const QKeyEvent& event) {
    KeyEvent out;
    out.key = keyOf(event.key());
    out.text = event.text().toStdString();
    out.modifiers = modifiersOf(event.modifiers());
    return out;
}

}  // namespace vanto::ui
