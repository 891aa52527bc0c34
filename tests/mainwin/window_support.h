#pragma once
// What the window tests share: a structure directory current in a test
// context, typing into a box, clicking a list, and closing a window while its
// work runs.

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <functional>
#include <optional>

#include "mainwin/busy_window.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/recording.h"

namespace vanto::test {

struct Fixture {
    explicit Fixture(const std::optional<Frame>& frame = portal()) {
        if (frame) frame->write(dir.path());
        context.session().settings.StructureDirectory = dir.path().string();
    }
    TempDir dir;
    TestContext context;
};

inline void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The texts of a list's items, in order.
inline QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

inline void clickItem(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.first()).center());
}

// Whether `action` finishes the window `w`, once.
inline bool finishesOnce(ui::ModuleWindow& w, const std::function<void()>& action) {
    QSignalSpy finished(&w, &ui::ModuleWindow::finished);
    action();
    return finished.count() == 1;
}

// The pixels of `image` in `colour`.
inline int pixelsOf(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

// A mouse event of `type` at `at` with the buttons `held` down, as the window
// system sends it (a move carries its buttons, unlike QTest's).
inline void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                  Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Clicks a check box or option on its box, not on its caption.
inline void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

// Closed from a timer as soon as the work shows, the window must finish once,
// after the work returned, promptly and without a further message.
// `start` clicks what begins the work; `locked` must be off while it runs;
// `ready` tells when the work has reached the stage to interrupt.
inline void closeWhileBusy(
    BusyWindow& w, TestContext& context, const std::function<void()>& start,
    std::initializer_list<QWidget*> locked,
    const std::function<bool()>& ready = [] { return true; },
    std::chrono::milliseconds within = std::chrono::milliseconds(500)) {
    w.show();
    QSignalSpy finished(&w, &ui::ModuleWindow::finished);
    std::chrono::steady_clock::time_point closedAt{};
    std::size_t shownAtClose = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &w, [&] {
        if (!w.running() || !w.isVisible() || !ready()) return;
        for (QWidget* c : locked)
            QVERIFY(!c->isEnabled());
        closedAt = std::chrono::steady_clock::now();
        shownAtClose = context.recorded().shown.size();
        w.close();
        QCOMPARE(finished.count(), 0);  // not while the work runs
    });
    watch.start(1);
    start();
    const auto stopped = std::chrono::steady_clock::now();
    QVERIFY(closedAt.time_since_epoch().count() > 0);
    QVERIFY(!w.isVisible());
    QCOMPARE(finished.count(), 1);
    QVERIFY(stopped - closedAt < within);
    QCOMPARE(context.recorded().shown.size(), shownAtClose);  // a stop is no failure
}

}  // namespace vanto::test
