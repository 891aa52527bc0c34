// The calculation window: "Comenzar" runs the calculation and shows its
// progress, what stops a calculation shows its message, the options warn, and
// closing during a calculation stops it.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "mainwin/calculation_window.h"
#include "support/load_cases.h"
#include "window_support.h"

using namespace vanto;
using test::Fixture;

namespace {

const char* const ResultFiles[] = {"INCOG.RES",    "ESFUERZO.RES", "DESEQUIL.RES",
                                   "DIAGRAMA.RES", "listado.txt",  "Resultad.res"};

QString row(CalculationWindow& w, const char* current, const char* total) {
    return w.findChild<QLabel*>(current)->text() + w.findChild<QLabel*>(total)->text();
}

}  // namespace

class CalculationWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void comenzarWritesTheResultsAndShowsTheProgressAndTheOptionsWarn() {
        Fixture f(test::portal());
        CalculationWindow w(f.context);
        w.show();
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QCOMPARE(f.context.recorded().texts(), std::vector<std::string>{});
        for (const char* file : ResultFiles)
            QVERIFY2(fileExists(f.dir.path(), file), file);
        QVERIFY(!fileExists(f.dir.path(), "matriz.lsc"));
        QVERIFY(w.Comenzar->isEnabled() && w.Salir->isEnabled());
        QVERIFY(w.Frame1->isVisible() && !w.Frame2->isVisible());
        const char* rows[][3] = {{"ba1", "baT", "3/ 3"},   {"fi1", "fiT", "24/ 24"},
                                 {"ig1", "igT", "24/ 24"}, {"hi1", "hiT", "1/ 1"},
                                 {"es1", "esT", "3/ 3"},   {"dg1", "dgT", "3/ 3"},
                                 {"en1", "enT", "/"}};
        for (const auto& [current, total, shown] : rows)
            QCOMPARE(row(w, current, total), QString(shown));
        QCOMPARE(w.HoraFin->text(), QString("10:00"));  // the clock stood still

        // The matrix options warn on every tick and write their files.
        QTest::mouseClick(w.ChkMt, Qt::LeftButton);  // ticked
        QTest::mouseClick(w.ChkMt, Qt::LeftButton);  // unticked: nothing
        QTest::mouseClick(w.ChkMt, Qt::LeftButton);  // ticked again
        QTest::mouseClick(w.ChkTr, Qt::LeftButton);  // no warning of its own
        const std::string warning =
            "Para estructuras un poco grandes (>30 nudos) se \n"
            "genera un fichero grande y consume bastante tiempo";
        QCOMPARE(f.context.recorded().texts(), (std::vector<std::string>{warning, warning}));
        QCOMPARE(f.context.recorded().shown[0].title, std::string("Aviso"));
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QVERIFY(fileExists(f.dir.path(), "matriz.lsc"));
        QVERIFY(fileExists(f.dir.path(), "matriz.tri"));

        // Three cases and two combinations: six result sets with the envelope.
        test::writeThreeCases(f.dir.path(), 4, 3);
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QCOMPARE(row(w, "hi1", "hiT"), QString("6/ 6"));
        QCOMPARE(row(w, "en1", "enT"), QString("3/ 3"));
        QVERIFY(fileExists(f.dir.path(), "DIAGRAMA.C02"));

        // Salir ends the module.
        QVERIFY(test::finishesOnce(w, [&] { QTest::mouseClick(w.Salir, Qt::LeftButton); }));
    }

    void whatStopsACalculationIsShownAndADamagedFileEndsTheProgram() {
        test::Frame badNode = test::portal();
        badNode.bars[2][0] = 9;
        const std::pair<test::Frame, std::string> cases[] = {
            {test::mechanism(), "Detección de mecanismo en el nudo nº: 2, en el "},
            {badNode, "Error sin tratamiento previsto.\nNº: 9\n"},
        };
        for (const auto& [frame, expected] : cases) {
            Fixture f(frame);
            CalculationWindow w(f.context);
            QTest::mouseClick(w.Comenzar, Qt::LeftButton);
            QCOMPARE(f.context.recorded().shown.size(), size_t(1));
            const std::string& text = f.context.recorded().shown[0].text;
            QVERIFY2(text.rfind(expected, 0) == 0, text.c_str());
            QVERIFY(f.context.fatalErrors.empty());
            QVERIFY(w.Comenzar->isEnabled());
        }
        // Another missing file is named.
        {
            Fixture f(test::portal());
            std::filesystem::remove(f.dir.path() / "TIPOS.DAT");
            CalculationWindow w(f.context);
            QTest::mouseClick(w.Comenzar, Qt::LeftButton);
            QCOMPARE(f.context.recorded().texts(),
                     std::vector<std::string>{"No existe el fichero: " +
                                              (f.dir.path() / "TIPOS.DAT").string()});
        }
        // A damaged file ends the program instead.
        Fixture f(test::portal());
        f.dir.write("CARGAS.DAT", "0\r\nuno\r\n");
        CalculationWindow w(f.context);
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QCOMPARE(f.context.fatalErrors.size(), size_t(1));
        QVERIFY(f.context.fatalErrors[0].rfind("Error en rutina DiscoX.", 0) == 0);
    }

    void aWideBandWarnsBeforeTheBandElimination() {
        // One bar from node 1 to node 1500: MATRIZ.TRI asks for a band of 648 MB.
        test::Frame wide;
        for (int n = 1; n <= 1500; ++n)
            wide.node(float(n), 0, 0);
        wide.fix(1);
        wide.bar(1, 1500, 1);
        Fixture f(wide);
        CalculationWindow w(f.context);
        QTest::mouseClick(w.ChkTr, Qt::LeftButton);
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        const std::vector<std::string> texts = f.context.recorded().texts();
        QCOMPARE(texts.size(), size_t(2));
        QVERIFY2(
            texts[0].rfind("La matriz en banda (semiancho 9000) ocupa 648 MB de memoria", 0) == 0,
            texts[0].c_str());
        QCOMPARE(texts[1],
                 std::string("Detección de mecanismo en el nudo nº: 2, en el Desplazamiento X."));
    }

    void closingDuringTheCalculationStopsItAndWritesNoResult() {
        // Closed as soon as the assembly, then the elimination, shows progress.
        for (const char* current : {"ba1", "fi1"}) {
            Fixture f(test::lattice(14, 14, 6));
            CalculationWindow w(f.context);
            test::closeWhileBusy(
                w, f.context, [&] { QTest::mouseClick(w.Comenzar, Qt::LeftButton); },
                {w.Comenzar, w.Salir},
                [&] { return !w.findChild<QLabel*>(current)->text().isEmpty(); },
                std::chrono::seconds(1));
            for (const char* file : ResultFiles)
                QVERIFY2(!fileExists(f.dir.path(), file), file);
        }
    }
};

QTEST_MAIN(CalculationWindowTest)
#include "calculation_window_test.moc"
