// The lattice generator window: its boxes reach the generator, "Generar"
// writes and reports, refusals show their message, closing stops the work.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "mainwin/lattice_window.h"
#include "model/files.h"
#include "ui/qt_surface.h"
#include "window_support.h"

using namespace vanto;
using test::click;
using test::Fixture;
using test::type;

class LatticeWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void theBoxesReachTheGeneratorAndGenerarAppends() {
        Fixture f;
        LatticeWindow w(f.context);
        w.show();
        QLineEdit* const boxes[] = {w.Torx, w.Tory, w.Torz, w.Tex, w.Tey,
                                    w.Tez,  w.Tnx,  w.Tny,  w.Tnz};
        const char* texts[] = {"10.5", "-1", "0.25", "1.5", "2", "3", "2", "1", "2"};
        for (int i = 0; i < 9; ++i)
            type(boxes[i], texts[i]);
        click(w.ChConDat);
        click(w.ChVigCim);
        const exchange::LatticeOptions o = *w.options();
        const double got[] = {o.ox, o.oy, o.oz, o.ex, o.ey, o.ez, o.nx, o.ny, o.nz};
        for (int i = 0; i < 9; ++i)
            QCOMPARE(QString::number(got[i]), QString(texts[i]));
        QVERIFY(o.keepCurrent && o.createBars && o.foundationBeams);
        click(w.ChVigPil);
        QVERIFY(!w.options()->createBars);
        click(w.ChVigPil);

        QTest::mouseClick(w.Generar, Qt::LeftButton);
        QVERIFY(f.context.recorded().shown.empty());
        // The portal's 4 nodes and 3 bars, then the 2 × 1 × 2 grid.
        const Table<float> xyz = DiscoX::readCoordinates(f.dir.path(), 8);
        QCOMPARE(xyz(3, 1), 6.0f);
        QCOMPARE(xyz(8, 1), 12.0f);
        QCOMPARE(xyz(8, 3), 3.25f);
        QCOMPARE(w.Estado->text(), QString("La estructura tiene ahora 8 nudos y 7 barras."));
        QVERIFY(w.isVisible() && w.Generar->isEnabled() && w.Salir->isEnabled());
        QVERIFY(w.Progreso->isHidden());
    }

    void aRefusalOrAStopWritesNothing() {
        Fixture f;
        const std::string before = test::snapshot(f.dir.path());
        LatticeWindow w(f.context);
        w.show();
        const std::pair<const char*, std::string> refused[] = {
            {"-2", "El número de puntos de cada dirección no puede ser negativo."},
            {"0",
             "No se ha generado nada: el producto de los números de puntos y de los "
             "espaciados es 0."}};
        const auto& shown = f.context.recorded().shown;
        for (const auto& [count, text] : refused) {
            type(w.Tnx, count);
            QTest::mouseClick(w.Generar, Qt::LeftButton);
            QCOMPARE(shown.back().title, std::string("¡ Aviso !"));
            QCOMPARE(shown.back().text, text);
        }
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(test::snapshot(f.dir.path()), before);
        QVERIFY(w.Generar->isEnabled());
        QCOMPARE(w.Estado->text(), QString());

        // A box that holds no number in the locale (".") is named, not cut.
        type(w.Tnx, "3");
        type(w.Tey, "3,5");
        QTest::mouseClick(w.Generar, Qt::LeftButton);
        QCOMPARE(shown.back().text, std::string("El valor de la casilla «Espaciado (m) Y» no es "
                                                "un número: «3,5»."));
        QCOMPARE(test::snapshot(f.dir.path()), before);
        type(w.Tey, "6");

        // Closed during a long generation.
        type(w.Tnx, "100");
        type(w.Tny, "100");
        type(w.Tnz, "60");
        test::closeWhileBusy(
            w, f.context, [&] { QTest::mouseClick(w.Generar, Qt::LeftButton); },
            {w.Generar, w.Salir}, [&] { return w.Progreso->isVisible(); });
        // Nothing written, and no staging directory left behind.
        QCOMPARE(test::snapshot(f.dir.path()), before);
        for (const auto& e : std::filesystem::directory_iterator(f.dir.path()))
            QVERIFY(!e.is_directory());
    }
};

QTEST_MAIN(LatticeWindowTest)
#include "lattice_window_test.moc"
