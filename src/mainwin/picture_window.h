#pragma once
// Pieces the windows built around a picture share: the picture beside a
// scrolling column of controls, the four zoom buttons, buttons with a name and
// a hint, guarded connections, and the window state the session remembers.

#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/context.h"
#include "ui/qt_surface.h"

namespace vanto {

// Connects `signal` of `sender` to the window's member `handler`, or to a
// lambda, run guarded (ui/context.h).
template <class S, class Signal, class W, class R, class... A>
void wire(S* sender, Signal signal, W* window, R (W::*handler)(A...)) {
    QObject::connect(sender, signal, window, ui::slot(window->context(), window, handler));
}
template <class S, class Signal, class W, class F>
void wire(S* sender, Signal signal, W* window, F handler) {
    QObject::connect(sender, signal, window, ui::slot(window->context(), std::move(handler)));
}

QPushButton* namedButton(QWidget* parent, const char* name, const char* caption,
                         const char* hint = nullptr);

// A black picture `Dib` taking the room on the left of `window`, and a column
// on the right that scrolls when the window is too low for its controls.
struct PictureAndColumn {
    ui::PictureBox* picture;
    QScrollArea* scroll;
    QWidget* side;
    QVBoxLayout* column;
};
PictureAndColumn pictureAndColumn(QWidget* window, int spacing);

// The frame "Zoom": "Redibuja", "Previo", "Ventana" and the green "Ventana"
// shown while a zoom window is being drawn.
struct ZoomButtons {
    QPushButton* redraw;
    QPushButton* previous;
    QPushButton* window;
    QPushButton* drawing;
};
ZoomButtons addZoomButtons(QWidget* side, QVBoxLayout* column);

// `ChildWindowState`: 0 normal (four fifths of the screen), 1 minimized,
// 2 maximized.
void applyWindowState(QWidget& window, float state);
float windowStateOf(const QWidget& window);

}  // namespace vanto
