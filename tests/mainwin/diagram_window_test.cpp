// The diagram window: it opens on the moments with their values, fitted; a
// click on a bar shows its detail and a second one keeps it; "Ajustar" fits
// again; a click zooms in zoom-window mode with the band over the picture;
// the case list reaches the picture and the DXF; "Crea DXF..." answered "Sí"
// writes both drawings and says where; printing reaches the printer.

#include <QCoreApplication>
#include <QtTest>
#include <cmath>

#include "diagrams/calculated.h"
#include "diagrams/extremes.h"
#include "mainwin/diagram_window.h"
#include "support/load_cases.h"
#include "window_support.h"

using namespace vanto;

namespace {

// The portal calculated, its diagram window shown.
struct Shown : test::Fixture {
    explicit Shown(bool cases = false) : ready(calculated(*this, cases)) {
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    static bool calculated(test::Fixture& f, bool cases) {
        if (cases) test::writeThreeCases(f.dir.path(), 4, 3);
        diagrams::calculate(f.dir.path());
        // capas.dxf is built beside the executables, tests included.
        f.context.session().programDirectory = QCoreApplication::applicationDirPath().toStdString();
        return true;
    }
    QPoint midpoint(int bar) {
        const view::ScreenPoint m = w.picture()->screen().midpoint(bar);
        return w.Dib->qtSurface().toDevice(m.u, m.v).toPoint();
    }
    bool ready;
    DiagramWindow w{context};
};

int pixelsOf(const QImage& image, Colour c) {
    return test::pixelsOf(image, ui::qcolour(c).rgb());
}

}  // namespace

class DiagramWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensFittedAndAClickKeepsTheBar() {
        Shown s;
        const Colour moment = diagrams::diagramKind('M').colour;
        QVERIFY(s.w.Ver[5]->isChecked() && s.w.Valores->isChecked());
        QVERIFY(pixelsOf(s.w.Dib->image(), moment) > 50);
        const double fitted = diagrams::fittedDiagramScale(s.w.picture()->data(), "M");
        QCOMPARE(s.w.options().S, fitted);

        QCOMPARE(s.w.currentBar(), 0);
        QTest::mouseClick(s.w.Dib, Qt::LeftButton, {}, s.midpoint(2));
        QCOMPARE(s.w.currentBar(), 2);
        QVERIFY(pixelsOf(s.w.DgBr->image(), moment) > 20);
        QTest::mouseClick(s.w.Dib, Qt::LeftButton, {}, s.midpoint(2));
        QCOMPARE(s.w.currentBar(), 2);  // no other bar there: the same again

        s.w.HScDg->setValue(150);  // S = 6 times the fit
        QCOMPARE(s.w.options().S, fitted * 6);
        s.w.Ajustar->click();
        QCOMPARE(s.w.HScDg->value(), 100);
        QCOMPARE(s.w.options().S, fitted);
    }

    // The list holds the cases, the combinations and the envelope; the
    // envelope's DXF goes to its own files, named in the message.
    void theCaseListReachesThePictureAndTheDxf() {
        Shown s(true);
        QCOMPARE(s.w.Hipotesis->count(), 6);
        QCOMPARE(s.w.Hipotesis->itemText(3), QStringLiteral("C01  ELU"));
        emit s.w.Hipotesis->activated(5);
        QVERIFY(s.w.picture()->data().isEnvelope());
        s.context.recorded().answer = MessageAnswer::Yes;
        s.w.aDXF->click();
        QVERIFY(std::filesystem::exists(s.dir / "Resul-3D-envolvente.dxf"));
        QVERIFY(!std::filesystem::exists(s.dir / "Resul-3D.dxf"));
        QVERIFY(s.context.recorded().shown.back().text.find("Resul-2D-envolvente.dxf") !=
                std::string::npos);
    }

    // In zoom-window mode the band follows the pointer over the picture; a
    // click without dragging zooms on a widened window and leaves the mode;
    // "Previo" goes back.
    void theZoomWindowAndPrevio() {
        Shown s;
        const float esc = s.w.picture()->screen().view().esc;
        s.w.ZoomV1->click();
        QVERIFY(s.w.ZoomV2->isVisible() && !s.w.ZoomV1->isVisible());
        const QImage before = s.w.Dib->image();
        const int marks = pixelsOf(before, palette16(10));  // the bars' own
        QTest::mousePress(s.w.Dib, Qt::LeftButton, {}, QPoint(100, 100));
        test::mouse(s.w.Dib, QEvent::MouseMove, {300, 200}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(s.w.Dib->image(), before);
        QVERIFY(pixelsOf(s.w.Dib->shown(), palette16(10)) > marks + 500);
        s.w.ZoomV2->click();  // leaves the mode and the band
        QCOMPARE(pixelsOf(s.w.Dib->shown(), palette16(10)), marks);

        s.w.ZoomV1->click();
        QTest::mouseClick(s.w.Dib, Qt::LeftButton, {}, s.midpoint(2));
        const float zoomed = s.w.picture()->screen().view().esc;
        QVERIFY(std::isfinite(zoomed) && zoomed > esc);
        QVERIFY(s.w.ZoomV1->isVisible() && !s.w.ZoomV2->isVisible());
        QCOMPARE(s.w.currentBar(), 0);  // no pick in zoom-window mode
        s.w.ZoomP->click();
        QCOMPARE(s.w.picture()->screen().view().esc, esc);
    }

    void creaDxfAnsweredYesWritesBothDrawings() {
        Shown s;
        s.context.recorded().answer = MessageAnswer::No;
        s.w.aDXF->click();
        QVERIFY(!std::filesystem::exists(s.dir / "Resul-3D.dxf"));
        s.context.recorded().answer = MessageAnswer::Yes;
        s.w.aDXF->click();
        const auto& shown = s.context.recorded().shown;
        QCOMPARE(shown.size(), std::size_t(3));  // asked twice, told once: no failure
        QCOMPARE(shown[1].title, std::string("Resultados a DXF..."));
        QVERIFY(shown[1].text.find("¿Desea sacar el .DXF") != std::string::npos);
        const auto& told = shown[2];
        QVERIFY(told.text.find("Dibujos escritos en la carpeta " + s.dir.path().string()) == 0);
        QVERIFY(told.text.find("Resul-2D.dxf: una hoja por barra") != std::string::npos);
        QVERIFY(std::filesystem::file_size(s.dir / "Resul-3D.dxf") > 1000);
        QVERIFY(std::filesystem::file_size(s.dir / "Resul-2D.dxf") > 1000);
    }

    void printingReachesThePrinter() {
        Shown s;
        s.w.Print2D->click();  // no bar picked: nothing
        QVERIFY(s.context.printedTo.empty());
        s.w.Print3D->click();
        QCOMPARE(s.context.printedTo.size(), std::size_t(1));
        const auto& page = s.context.printer.pages.at(0);
        QVERIFY(std::any_of(page.begin(), page.end(), [&](const auto& c) {
            return c.text == s.context.session().settings.StructureDirectory;
        }));
        QTest::mouseClick(s.w.Dib, Qt::LeftButton, {}, s.midpoint(1));
        s.w.Print2D->click();
        QCOMPARE(s.context.printedTo.size(), std::size_t(2));
        QVERIFY(!s.context.printer.pages.at(0).empty());
    }
};

QTEST_MAIN(DiagramWindowTest)
#include "diagram_window_test.moc"
