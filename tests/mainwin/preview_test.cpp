// The main window's preview: projection and fit, depth shading, turning the
// view with the mouse, and what it makes of structures it cannot draw.

#include <QtTest>
#include <cmath>

#include "analysis/element.h"
#include "mainwin/preview.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/recording.h"

using namespace vanto;

namespace {

constexpr double Step = 2.0 / 180.0 * 3.141593;

// Looking along +X with Z up on the screen: screen x is Y, screen y is Z.
void lookAlongX(Preview& p) {
    p.setView({1, 0, 0}, -90);
}

bool near(double a, double b, double tol = 1e-3) {
    return std::abs(a - b) <= tol;
}

}  // namespace

class PreviewTest : public QObject {
    Q_OBJECT
  private slots:
    void fillsNinetyPercentOfTheLimitingDirectionAndCentres() {
        test::TempDir dir;
        test::Frame f;
        const int a = f.node(0, 0, 0), b = f.node(0, 10, 0), c = f.node(0, 10, 5);
        f.bar(a, b, 1);
        f.bar(b, c, 1);
        f.write(dir.path());
        Preview p;
        QCOMPARE(p.load(dir.path()), PreviewState::Drawn);
        lookAlongX(p);
        test::RecordingSurface s(3000, 2000);
        p.draw(s);
        const auto lines = s.of("line");
        QCOMPARE(lines.size(), size_t(2));
        // Width 10 m limits: 0.9 · 3000 / 10 = 270 twips per metre, centred.
        QVERIFY(near(lines[0].x1, 150) && near(lines[0].x2, 2850));
        QVERIFY(near(lines[0].y1, 1675) && near(lines[0].y2, 1675));
        QVERIFY(near(lines[1].x1, 2850) && near(lines[1].y2, 325));  // Z up
        // In a flat picture the height limits: 0.9 · 500 / 5 = 90 twips per metre.
        test::RecordingSurface flat(3000, 500);
        p.draw(flat);
        const auto t = flat.of("line");
        QVERIFY(near(t[0].x1, 1050) && near(t[0].x2, 1950));
        QVERIFY(near(t[1].y1, 475) && near(t[1].y2, 25));
        QCOMPARE(flat.calls.front().op, std::string("clear"));
    }

    void nearerBarsInFullColourFartherTowardsTheBackground() {
        test::TempDir dir;
        test::Frame f;
        // Two bars across the view, one at depth (X) 10, the other at 0.
        f.bar(f.node(10, 0, 0), f.node(10, 4, 0), 1);
        f.bar(f.node(0, 0, 2), f.node(0, 4, 2), 1);
        f.bar(f.node(5, 0, 1), f.node(5, 4, 1), 1);
        f.write(dir.path());
        Preview p;
        p.barColour = rgb(0, 0, 128);
        p.backgroundColour = rgb(255, 255, 255);
        p.load(dir.path());
        lookAlongX(p);
        test::RecordingSurface s;
        p.draw(s);
        const auto lines = s.of("line");
        QCOMPARE(lines.size(), size_t(3));
        QCOMPARE(lines[0].colour, rgb(0, 0, 128));
        // 88% of the way to white: 0.88 · 255 = 224.4, 0.12 · 128 + 224.4 = 239.76.
        QCOMPARE(lines[1].colour, rgb(224, 224, 240));
        QCOMPARE(lines[2].colour, BlendColour(0, 0, 128, 255, 255, 255, 0.44f));
    }

    void leftDragTurnsTheDirectionTwoDegreesPastTheThreshold() {
        Preview p;
        p.press(1000, 1000);
        QVERIFY(!p.dragLeft(1040, 1000));  // 40 is not past the threshold
        const auto before = p.direction();
        QVERIFY(p.dragLeft(1041, 1000));
        const auto after = p.direction();
        QCOMPARE(after[1], before[1]);
        const double a0 = std::atan2(before[0], before[2]), a1 = std::atan2(after[0], after[2]);
        QVERIFY(near(a1 - a0, Step, 1e-6));
        QVERIFY(near(std::hypot(after[0], after[2]), std::hypot(before[0], before[2]), 1e-5));
        // The stored point moved: dragging back past it turns the other way.
        QVERIFY(p.dragLeft(1000, 1000));
        QVERIFY(near(std::atan2(p.direction()[0], p.direction()[2]), a0, 1e-5));
        QCOMPARE(p.roll(), Preview::InitialRoll);  // horizontal steps keep the roll
    }

    void verticalDragTurnsTheOtherPairAndRecomputesTheRoll() {
        Preview p;
        p.press(0, 0);
        const auto before = p.direction();
        QVERIFY(p.dragLeft(0, 100));  // downwards
        const auto after = p.direction();
        QCOMPARE(after[0], before[0]);
        const double a0 = std::atan2(before[1], before[2]), a1 = std::atan2(after[1], after[2]);
        QVERIFY(near(a1 - a0, -Step, 1e-6));
        QVERIFY(std::isfinite(p.roll()));
        QVERIFY(p.roll() != Preview::InitialRoll);
        // Many steps all the way round never give a broken view.
        test::TempDir dir;
        test::portal().write(dir.path());
        p.load(dir.path());
        for (int i = 0; i < 200; ++i) {
            QVERIFY(p.dragLeft(0, (i + 2) * 100.0));
            QVERIFY(std::isfinite(p.roll()));
        }
        test::RecordingSurface s;
        p.draw(s);
        for (const auto& l : s.of("line"))
            QVERIFY(std::isfinite(l.x1) && std::isfinite(l.y1) && std::isfinite(l.x2));
    }

    void rightDragTurnsTheRollAboutOneDegreePerOnePointSevenMoves() {
        Preview p;
        const float r0 = p.roll();
        QVERIFY(!p.dragRight());
        QVERIFY(!p.dragRight());
        QVERIFY(!p.dragRight());
        QVERIFY(p.dragRight());  // the counter passed 2
        QCOMPARE(p.roll(), r0 + 1);
        int changes = 1;
        for (int i = 0; i < 166; ++i)
            changes += p.dragRight();
        // 170 moves: about 100 degrees.
        QVERIFY2(changes >= 98 && changes <= 101, qPrintable(QString::number(changes)));
        QCOMPARE(p.roll(), r0 + float(changes));
    }

    void anotherStructureStartsFromTheInitialView() {
        test::TempDir a, b;
        test::portal().write(a.path());
        test::portal().write(b.path());
        Preview p;
        p.load(a.path());
        p.press(0, 0);
        p.dragLeft(100, 100);
        p.load(a.path());  // the same structure keeps its view
        QVERIFY(p.direction() != Preview::InitialDirection);
        p.load(b.path());
        QCOMPARE(p.direction(), Preview::InitialDirection);
        QCOMPARE(p.roll(), Preview::InitialRoll);
    }

    void statesOfStructuresThatCannotBeDrawn() {
        test::TempDir empty;
        Preview p;
        QCOMPARE(p.load(empty.path()), PreviewState::NoData);
        test::RecordingSurface s;
        p.draw(s);
        QVERIFY(s.of("line").empty());

        test::TempDir old;
        test::portal().write(old.path());
        old.write("DATOS.DAT", "\"Otro programa 1.0\"\r\n4\r\n3\r\n");
        QCOMPARE(p.load(old.path()), PreviewState::OtherVersion);

        // A bar naming a node that does not exist is left out, not drawn.
        test::TempDir odd;
        test::Frame f = test::portal();
        f.bar(1, 99, 1);
        f.write(odd.path());
        QCOMPARE(p.load(odd.path()), PreviewState::Drawn);
        p.draw(s);
        QCOMPARE(s.of("line").size(), size_t(3));

        test::TempDir broken;
        test::portal().write(broken.path());
        broken.write("BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1\r\n2,x\r\n");
        QVERIFY_THROWS_EXCEPTION(FileError, p.load(broken.path()));
    }
};

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
