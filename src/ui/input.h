#pragma once
// Qt's mouse, wheel and key events as the logic's plain events
// (model/input.h), translated here once.

#include "model/input.h"

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace vanto::ui {

class QtSurface;

// The position goes into the surface's current units.
PointerEvent pointerEvent(const QMouseEvent& event, const QtSurface& surface);
PointerEvent pointerEvent(const QWheelEvent& event, const QtSurface& surface);
KeyEvent keyEvent(const QKeyEvent& event);

}  // namespace vanto::ui
