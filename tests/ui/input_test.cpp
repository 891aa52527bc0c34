// Qt's events translated into the logic's plain events: position in the
// surface's units, buttons, modifiers, wheel notches and keys.

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest>

#include "ui/input.h"
#include "ui/qt_surface.h"

using namespace vanto;

class InputTest : public QObject {
    Q_OBJECT
  private slots:
    void pointerEventsInTheSurfaceUnits() {
        QImage image(200, 100, QImage::Format_RGB32);
        ui::QtSurface surface;
        surface.attach(&image, QSizeF(200, 100), 96);
        surface.setScale(-10, 5, 20, 10);  // 10 pixels a unit
        const QPointF at(50, 30);
        QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::RightButton,
                          Qt::RightButton | Qt::LeftButton, Qt::ShiftModifier);
        PointerEvent e = ui::pointerEvent(press, surface);
        QVERIFY(e.kind == PointerEvent::Kind::Press);
        QCOMPARE(e.x, -5.0);
        QCOMPARE(e.y, 8.0);
        QCOMPARE(e.button, Button::Right);
        QCOMPARE(e.buttons, Button::Right | Button::Left);
        QVERIFY(e.shift() && e.held(Button::Left));

        QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::MiddleButton, Qt::NoButton,
                            Qt::ControlModifier | Qt::AltModifier);
        e = ui::pointerEvent(release, surface);
        QVERIFY(e.kind == PointerEvent::Kind::Release);
        QCOMPARE(e.button, Button::Middle);
        QCOMPARE(e.buttons, Button::None);
        QCOMPARE(e.modifiers, Modifier::Control | Modifier::Alt);

        // Two notches towards the user.
        QWheelEvent wheel(at, at, {}, QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        e = ui::pointerEvent(wheel, surface);
        QVERIFY(e.kind == PointerEvent::Kind::Wheel);
        QCOMPARE(e.wheel, -2.0);
        QCOMPARE(e.x, -5.0);
        surface.detach();
    }

    void keys() {
        const struct {
            int qt;
            KeyEvent::Key key;
            QString text;
        } cases[] = {{Qt::Key_Escape, KeyEvent::Key::Escape, "\x1b"},
                     {Qt::Key_Enter, KeyEvent::Key::Enter, "\r"},
                     {Qt::Key_Delete, KeyEvent::Key::Delete, ""},
                     {Qt::Key_PageDown, KeyEvent::Key::PageDown, ""},
                     {Qt::Key_N, KeyEvent::Key::Other, QStringLiteral("ñ")}};
        for (const auto& c : cases) {
            QKeyEvent event(QEvent::KeyPress, c.qt, Qt::ShiftModifier, c.text);
            const KeyEvent k = ui::keyEvent(event);
            QVERIFY(k.key == c.key);
            QCOMPARE(k.text, c.text.toStdString());
            QCOMPARE(k.modifiers, Modifier::Shift);
        }
    }
};

QTEST_MAIN(InputTest)
#include "input_test.moc"
