// The diagram window: a ticked kind is drawn, a click on a bar shows its
// detail, a click zooms in zoom-window mode, "Crea DXF..." answered "Sí"
// writes both drawings, printing reaches the printer.

#include <QCoreApplication>
#include <QtTest>
#include <cmath>

#include "analysis/calculation.h"
#include "mainwin/diagram_window.h"
#include "window_support.h"

using namespace vanto;
using test::Fixture;

namespace {

class Quiet : public analysis::CalcObserver {
  public:
    void report(int, long long, long long) override {}
};

void calculate(Fixture& f) {
    Quiet observer;
    test::FixedClock clock;
    analysis::runCalculation(f.dir.path(), {}, observer, clock);
    // capas.dxf is built beside the executables, tests included.
    f.context.session().programDirectory = QCoreApplication::applicationDirPath().toStdString();
}

int pixelsOf(ui::PictureBox* box, Colour c) {
    const QImage image = box->image();
    const QRgb wanted = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF);
    return n;
}

QPoint midpointOf(DiagramWindow& w, int bar) {
    const auto m = w.picture()->midpoints()[std::size_t(bar)];
    return w.Dib->qtSurface().toDevice(m[0], m[1]).toPoint();
}

}  // namespace

class DiagramWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void aTickedKindIsDrawnAndAClickShowsTheBar() {
        Fixture f;
        calculate(f);
        DiagramWindow w(f.context);
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const Colour moment = diagrams::diagramKind('M').colour;
        QCOMPARE(pixelsOf(w.Dib, moment), 0);
        test::click(w.Ver[5]);
        QVERIFY(pixelsOf(w.Dib, moment) > 50);

        QCOMPARE(w.currentBar(), 0);
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, midpointOf(w, 2));
        QCOMPARE(w.currentBar(), 2);
        QVERIFY(pixelsOf(w.DgBr, moment) > 20);
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, midpointOf(w, 2));
        QCOMPARE(w.currentBar(), 0);  // no other bar there
    }

    // A click without dragging in zoom-window mode zooms on a widened window
    // and leaves the mode; "Previo" goes back.
    void aClickInZoomWindowModeZoomsAndPrevioReturns() {
        Fixture f;
        calculate(f);
        DiagramWindow w(f.context);
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const float esc = w.picture()->screen().view.esc;
        w.ZoomV1->click();
        QVERIFY(w.ZoomV2->isVisible() && !w.ZoomV1->isVisible());
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, midpointOf(w, 2));
        const float zoomed = w.picture()->screen().view.esc;
        QVERIFY(std::isfinite(zoomed) && zoomed > esc);
        QVERIFY(w.ZoomV1->isVisible() && !w.ZoomV2->isVisible());
        QCOMPARE(w.currentBar(), 0);  // no pick in zoom-window mode
        w.ZoomP->click();
        QCOMPARE(w.picture()->screen().view.esc, esc);
    }

    void creaDxfAnsweredYesWritesBothDrawings() {
        Fixture f;
        calculate(f);
        DiagramWindow w(f.context);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        f.context.recorded().answer = MessageAnswer::No;
        w.aDXF->click();
        QVERIFY(!std::filesystem::exists(f.dir / "Resul-3D.dxf"));
        f.context.recorded().answer = MessageAnswer::Yes;
        w.aDXF->click();
        const auto& asked = f.context.recorded().shown.back();
        QCOMPARE(asked.title, std::string("Resultados a DXF..."));
        QVERIFY(asked.text.find("en estos momentos  1.00 ud. dibujo= 1t") != std::string::npos);
        QCOMPARE(f.context.recorded().shown.size(), std::size_t(2));  // no failure shown
        QVERIFY(std::filesystem::file_size(f.dir / "Resul-3D.dxf") > 1000);
        QVERIFY(std::filesystem::file_size(f.dir / "Resul-2D.dxf") > 1000);
    }

    void printingReachesThePrinter() {
        Fixture f;
        calculate(f);
        DiagramWindow w(f.context);
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Print2D->click();  // no bar picked: nothing
        QVERIFY(f.context.printedTo.empty());
        w.Print3D->click();
        QCOMPARE(f.context.printedTo.size(), std::size_t(1));
        const auto& page = f.context.printer.pages.at(0);
        QCOMPARE(std::count_if(page.begin(), page.end(),
                               [](const test::DrawCall& c) {
                                   return c.op == "line" && c.colour == diagrams::BarColour;
                               }),
                 3);
        QCOMPARE(page.back().text, f.context.session().settings.StructureDirectory);

        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, midpointOf(w, 1));
        w.Print2D->click();
        QCOMPARE(f.context.printedTo.size(), std::size_t(2));
        QVERIFY(!f.context.printer.pages.at(0).empty());
    }
};

QTEST_MAIN(DiagramWindowTest)
#include "diagram_window_test.moc"
