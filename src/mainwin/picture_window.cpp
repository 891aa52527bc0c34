#include "mainwin/picture_window.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QScreen>

#include "ui/convert.h"

namespace vanto {

QPushButton* namedButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
    auto* b = new QPushButton(ui::qs(caption), parent);
    b->setObjectName(name);
    if (hint) b->setToolTip(ui::qs(hint));
    return b;
}

PictureAndColumn pictureAndColumn(QWidget* window, int spacing) {
    auto* top = new QHBoxLayout(window);
    top->setContentsMargins(4, 4, 4, 4);

    auto* picture = new ui::PictureBox(window);
    picture->setObjectName("Dib");
    picture->setBackgroundColour(0);
    picture->setMinimumSize(300, 240);
    picture->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    top->addWidget(picture, 1);

    auto* scroll = new QScrollArea(window);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* side = new QWidget(scroll);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(2, 0, 2, 0);
    column->setSpacing(spacing);
    scroll->setWidget(side);
    top->addWidget(scroll);
    return {picture, scroll, side, column};
}

ZoomButtons addZoomButtons(QWidget* side, QVBoxLayout* column) {
    auto* zoom = new QGroupBox(QStringLiteral("Zoom"), side);
    auto* row = new QHBoxLayout(zoom);
    row->setContentsMargins(6, 2, 6, 2);
    const ZoomButtons b{namedButton(zoom, "Redibuja", "Redibuja"),
                        namedButton(zoom, "ZoomP", "Previo"),
                        namedButton(zoom, "ZoomV1", "Ventana"),
                        namedButton(zoom, "ZoomV2", "   Ventana", "Hacer click+arrastrar")};
    b.drawing->setStyleSheet(QStringLiteral("color: rgb(0, 160, 0); font-weight: bold;"));
    b.drawing->hide();
    for (QPushButton* button : {b.redraw, b.previous, b.window, b.drawing})
        row->addWidget(button);
    column->addWidget(zoom);
    return b;
}

void applyWindowState(QWidget& window, float state) {
    // A drawing wants room: a normal window takes most of the screen.
    if (const QScreen* screen = window.screen()) {
        const QRect area = screen->availableGeometry();
        window.resize(area.width() * 4 / 5, area.height() * 4 / 5);
    }
    if (state == 2) window.setWindowState(Qt::WindowMaximized);
    if (state == 1) window.setWindowState(Qt::WindowMinimized);
}

float windowStateOf(const QWidget& window) {
    return window.isMinimized() ? 1.0f : window.isMaximized() ? 2.0f : 0.0f;
}

}  // namespace vanto
