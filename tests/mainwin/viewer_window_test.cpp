// The 3D viewer window: its controls reach the figure, "Encuadrar" brings a
// turned and enlarged figure back inside, a drag turns as the buttons do, the
// wheel zooms, a resize forgets the turns, and closing writes visor.dat.

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include "mainwin/viewer_window.h"
#include "ui/qt_surface.h"
#include "window_support.h"

using namespace vanto;
using test::Fixture;
using test::mouse;
using test::pixelsOf;

namespace {

// Yellow pixels within `band` of the picture's edge.
int yellowNearTheEdge(const QImage& image, int band) {
    const QRect inner = image.rect().adjusted(band, band, -band, -band);
    return pixelsOf(image, qRgb(255, 255, 0)) - pixelsOf(image.copy(inner), qRgb(255, 255, 0));
}

// A viewer shown over the fixture's structure, keeping visor.dat beside it.
struct Viewer {
    explicit Viewer(Fixture& f) : w(settingsBeside(f)) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    static ui::AppContext& settingsBeside(Fixture& f) {
        f.context.session().settingsDirectory = f.dir.path();
        return f.context;
    }
    Visor3D w;
};

}  // namespace

class ViewerWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void controlsReachTheFigureAndAResizeForgetsTheTurns() {
        Fixture f;
        Viewer v(f);
        Visor3D& w = v.w;
        QCOMPARE(w.windowTitle(),
                 QString::fromStdString(" Visor 3D  [" + f.dir.path().string() + "]"));
        QVERIFY(w.Amplitud->isChecked() && !w.Conica3D->isChecked() && !w.Vertipos->isChecked());

        const QImage start = w.Dib->image();
        QTest::mouseClick(w.Giro[2], Qt::LeftButton);
        QCOMPARE(w.visor().state().turn[1], 15.0f * viewer::Visor::Pi / 180);
        QVERIFY(w.Dib->image() != start);

        QCOMPARE(pixelsOf(w.Dib->image(), qRgb(255, 0, 0)), 0);
        test::click(w.Conica3D);
        QVERIFY(pixelsOf(w.Dib->image(), qRgb(255, 0, 0)) > 20);
        QVERIFY(pixelsOf(w.Dib->image(), qRgb(0, 0, 255)) > 20);

        // With the small step a "-" on the distance would make it zero: refused.
        test::click(w.Amplitud);
        const QImage turned = w.Dib->image();
        QTest::mouseClick(w.DistObs[2], Qt::LeftButton);
        QCOMPARE(w.Dib->image(), turned);
        QTest::mouseClick(w.Angulo[2], Qt::LeftButton);
        QCOMPARE(w.visor().state().F, 2 * w.visor().state().D);

        w.resize(w.width() + 40, w.height());
        QTRY_COMPARE(w.visor().state().turn[1], 0.0f);
        QCOMPARE(w.visor().state().F, w.visor().state().D);
    }

    void encuadrarBringsTheTurnedFigureBackInside() {
        Fixture f;
        Viewer v(f);
        Visor3D& w = v.w;
        // Turned, brought nearer and moved 4.5 m right: cut by the picture.
        QTest::mouseClick(w.Giro[2], Qt::LeftButton);
        for (QPushButton* b : {w.DistObs[2], w.Desp[1], w.Desp[1], w.Desp[1]})
            QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(yellowNearTheEdge(w.Dib->image(), 1) > 0);
        const auto turn = w.visor().state().turn;
        QTest::mouseClick(w.Encuadrar, Qt::LeftButton);
        QCOMPARE(yellowNearTheEdge(w.Dib->image(), w.Dib->image().height() / 10), 0);
        QCOMPARE(w.visor().state().turn, turn);
    }

    void aDragTurnsAsTheOneDegreeButtonsAndTheWheelZooms() {
        Fixture f;
        Viewer byMouse(f), byButtons(f);
        Visor3D& m = byMouse.w;
        mouse(m.Dib, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
        for (int x = 110; x <= 140; x += 10)
            mouse(m.Dib, QEvent::MouseMove, {x, 100}, Qt::NoButton, Qt::LeftButton);
        mouse(m.Dib, QEvent::MouseButtonRelease, {140, 100}, Qt::LeftButton, Qt::NoButton);
        const double twips = m.Dib->qtSurface().toUser(QPointF(40, 0)).x();
        const int degrees = int(twips / viewer::Visor::DragPerDegree);
        QVERIFY(degrees > 0);
        test::click(byButtons.w.Amplitud);
        for (int i = 0; i < degrees; ++i)
            QTest::mouseClick(byButtons.w.Giro[2], Qt::LeftButton);
        QCOMPARE(m.Dib->image(), byButtons.w.Dib->image());

        const float D = m.visor().state().D;
        QWheelEvent wheel(QPointF(50, 50), m.Dib->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m.Dib, &wheel);
        QCOMPARE(m.visor().state().D, D * (1 - 1.0f / 15));
    }

    // A file that cannot be written is reported; the window closes all the same.
    void closingWritesTheColoursAndABadFileStartsAtZero() {
        const struct {
            const char* file;  // nullptr: none; "": none, and its directory cannot be written
            int red, blue;     // the scroll bars on opening
        } cases[] = {
            {nullptr, 0, 0}, {"-40 \r\n 100 \r\n", -40, 100}, {"rojo\r\n", 0, 0}, {"", 0, 0}};
        for (const auto& c : cases) {
            Fixture f;
            const bool writable = !c.file || *c.file;
            if (c.file && writable) f.dir.write("visor.dat", c.file);
            Viewer v(f);
            QCOMPARE(v.w.VScrollR->value(), c.red);
            QCOMPARE(v.w.VScrollB->value(), c.blue);
            v.w.VScrollR->setValue(255);
            v.w.VScrollB->setValue(-16);
            QCOMPARE(v.w.ShapeR->palette().color(QPalette::Window), QColor(0, 0, 0));
            QCOMPARE(v.w.ShapeB->palette().color(QPalette::Window), QColor(16, 16, 255));
            if (!writable) f.context.session().settingsDirectory = f.dir / "no-existe";
            QVERIFY(test::finishesOnce(v.w, [&] { v.w.close(); }));
            if (writable)
                QCOMPARE(f.dir.read("visor.dat"), std::string(" 255 \r\n-16 \r\n"));
            else
                QCOMPARE(f.context.recorded().texts(),
                         std::vector<std::string>{"No se pudo escribir el fichero: " +
                                                  (f.dir / "no-existe" / "visor.dat").string()});
        }
    }
};

QTEST_MAIN(ViewerWindowTest)
#include "viewer_window_test.moc"
