// The calculation window: a full run from "Comenzar", the messages of what
// stops a calculation, the stop on closing, and the warnings of its options.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <chrono>

#include "analysis/calculation.h"
#include "mainwin/calculation_window.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/qt_surface.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {

const char* const ResultFiles[] = {"INCOG.RES",    "ESFUERZO.RES", "DESEQUIL.RES",
                                   "DIAGRAMA.RES", "listado.txt",  "Resultad.res"};

struct Fixture {
    explicit Fixture(const test::Frame& frame) {
        frame.write(dir.path());
        context.session().settings.StructureDirectory = dir.path().string();
    }
    Fixture() { context.session().settings.StructureDirectory = dir.path().string(); }
    test::TempDir dir;
    test::TestContext context;
};

QString label(CalculationWindow& w, const char* name) {
    return w.findChild<QLabel*>(name)->text();
}

}  // namespace

class CalculationWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensIdle() {
        Fixture f(test::portal());
        CalculationWindow w(f.context);
        QCOMPARE(w.windowTitle(),
                 "Cálculo matricial GE.[" + QString::fromStdString(f.dir.path().string()) + "]");
        for (const char* name : {"ba1", "fi1", "ig1", "es1", "dg1"})
            QCOMPARE(label(w, name), QString());
        for (const char* name : {"baT", "fiT", "igT", "esT", "dgT"})
            QCOMPARE(label(w, name), QString("/"));
        QCOMPARE(w.HoraFin->text(), QString());
        QVERIFY(w.Comenzar->isEnabled() && w.Salir->isEnabled());
        // Closing without starting writes nothing.
        const std::string before = test::snapshot(f.dir.path());
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        QTest::mouseClick(w.Salir, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(test::snapshot(f.dir.path()), before);
    }

    void aRunWritesEveryResultAndTheListingsAsTheLibraryDoes() {
        Fixture f(test::portal());
        CalculationWindow w(f.context);
        w.show();
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QVERIFY2(
            f.context.recorded().shown.empty(),
            f.context.recorded().shown.empty() ? "" : f.context.recorded().shown[0].text.c_str());
        for (const char* file : ResultFiles)
            QVERIFY2(fileExists(f.dir.path(), file), file);
        QVERIFY(!fileExists(f.dir.path(), "matriz.lsc"));
        QVERIFY(!fileExists(f.dir.path(), "matriz.tri"));
        QVERIFY(w.Comenzar->isEnabled() && w.Salir->isEnabled());
        QVERIFY(w.Frame1->isVisible() && !w.Frame2->isVisible());
        // Every row ends on its total; the estimate of a clock that stood
        // still is the start time.
        QCOMPARE(label(w, "ba1") + label(w, "baT"), QString("3/ 3"));
        QCOMPARE(label(w, "fi1") + label(w, "fiT"), QString("24/ 24"));
        QCOMPARE(label(w, "ig1") + label(w, "igT"), QString("24/ 24"));
        QCOMPARE(label(w, "es1") + label(w, "esT"), QString("3/ 3"));
        QCOMPARE(label(w, "dg1") + label(w, "dgT"), QString("3/ 3"));
        QCOMPARE(w.HoraFin->text(), QString("10:00"));
        // Every progress picture full, whatever the layout did meanwhile.
        for (const auto& row : w.rows) {
            const QImage bar = row.picture->image();
            QVERIFY2(qGray(bar.pixel(bar.width() - 2, bar.height() / 2)) < 128,
                     qPrintable(row.picture->objectName()));
        }

        // The same files, byte for byte, as the calculation run on its own.
        Fixture same(test::portal());
        struct : analysis::CalcObserver {
            void report(int, long long, long long) override {}
        } quiet;
        analysis::runCalculation(same.dir.path(), {}, quiet, same.context.clock());
        for (const char* file : {"INCOG.RES", "ESFUERZO.RES", "DESEQUIL.RES", "DIAGRAMA.RES"})
            QCOMPARE(f.dir.read(file), same.dir.read(file));
    }

    void matrixOptionsWarnOnEveryTickAndWriteTheirFiles() {
        Fixture f(test::portal());
        CalculationWindow w(f.context);
        w.show();
        QTest::mouseClick(w.ChkMt, Qt::LeftButton);  // ticked
        QTest::mouseClick(w.ChkMt, Qt::LeftButton);  // unticked: nothing
        QTest::mouseClick(w.ChkMt, Qt::LeftButton);  // ticked again
        QTest::mouseClick(w.ChkTr, Qt::LeftButton);  // no warning of its own
        const auto& shown = f.context.recorded().shown;
        QCOMPARE(shown.size(), size_t(2));
        for (const auto& m : shown) {
            QCOMPARE(m.title, std::string("Aviso"));
            QCOMPARE(m.text, std::string("Para estructuras un poco grandes (>30 nudos) se \n"
                                         "genera un fichero grande y consume bastante tiempo"));
            QCOMPARE(m.buttons, MessageButtons::Ok);
        }
        QVERIFY(!fileExists(f.dir.path(), "matriz.lsc"));
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QVERIFY(fileExists(f.dir.path(), "matriz.lsc"));
        QVERIFY(fileExists(f.dir.path(), "matriz.tri"));
    }

    void aMechanismIsShownOnceAndTheOldResultsStay() {
        Fixture f(test::mechanism());
        f.dir.write("INCOG.RES", "anterior\r\n");
        CalculationWindow w(f.context);
        w.show();
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        const auto& shown = f.context.recorded().shown;
        QCOMPARE(shown.size(), size_t(1));
        QVERIFY2(shown[0].text.rfind("Detección de mecanismo en el nudo nº: 2, en el ", 0) == 0,
                 shown[0].text.c_str());
        QCOMPARE(f.dir.read("INCOG.RES"), std::string("anterior\r\n"));
        for (const char* file : {"ESFUERZO.RES", "DIAGRAMA.RES", "Resultad.res"})
            QVERIFY2(!fileExists(f.dir.path(), file), file);
        QVERIFY(w.Comenzar->isEnabled() && w.Salir->isEnabled());
        QVERIFY(f.context.fatalErrors.empty());
    }

    void dataFaultsShowTheirMessagesAndTheProgramGoesOn() {
        struct Case {
            test::Frame frame;
            std::string expected;
        };
        test::Frame zeroArea = test::portal();
        zeroArea.types[1][0] = 0;  // the columns' area
        test::Frame badType = test::portal();
        badType.bars[1][2] = 7;
        test::Frame badNode = test::portal();
        badNode.bars[2][0] = 9;
        const Case cases[] = {
            {zeroArea, "Ojo: area nula en la barra 1"},
            {badType, " Está usando un tipo de barra que no está definido       "},
            {badNode, "Error sin tratamiento previsto.\nNº: 9\n"},
        };
        for (const Case& c : cases) {
            Fixture f(c.frame);
            CalculationWindow w(f.context);
            QTest::mouseClick(w.Comenzar, Qt::LeftButton);
            QCOMPARE(f.context.recorded().shown.size(), size_t(1));
            const std::string& text = f.context.recorded().shown[0].text;
            QVERIFY2(text.rfind(c.expected, 0) == 0, text.c_str());
            QVERIFY(f.context.fatalErrors.empty());
            QVERIFY(!f.context.ending());
            QVERIFY(w.Comenzar->isEnabled());
            QVERIFY(!fileExists(f.dir.path(), "INCOG.RES"));
        }
    }

    void aStructureWithoutDataMustBeGeneratedFirst() {
        Fixture empty;
        CalculationWindow w(empty.context);
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QCOMPARE(
            empty.context.recorded().texts(),
            std::vector<std::string>{" Debe generar la estructura antes de intentar calcularla "});
        QVERIFY(empty.context.fatalErrors.empty());

        // Geometry without its types: the same, and the program goes on.
        Fixture noTypes(test::portal());
        fs::remove(noTypes.dir / "TIPOS.DAT");
        CalculationWindow v(noTypes.context);
        QTest::mouseClick(v.Comenzar, Qt::LeftButton);
        QCOMPARE(
            noTypes.context.recorded().texts(),
            std::vector<std::string>{" Debe generar la estructura antes de intentar calcularla "});
        QVERIFY(noTypes.context.fatalErrors.empty());
        QVERIFY(v.Comenzar->isEnabled());
    }

    void aDamagedFileEndsTheProgram() {
        Fixture f(test::portal());
        f.dir.write("CARGAS.DAT", "0\r\nuno\r\n");
        CalculationWindow w(f.context);
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QCOMPARE(f.context.fatalErrors.size(), size_t(1));
        QVERIFY(f.context.fatalErrors[0].rfind("Error en rutina DiscoX.", 0) == 0);
    }

    void closingDuringTheCalculationStopsItAndWritesNoResult() {
        // Closed as soon as the assembly, then the elimination, shows progress.
        for (const char* row : {"ba1", "fi1"}) {
            Fixture f(test::lattice(14, 14, 6));
            CalculationWindow w(f.context);
            w.show();
            QSignalSpy finished(&w, &ui::ModuleWindow::finished);
            std::chrono::steady_clock::time_point closedAt{};
            QTimer watch;
            connect(&watch, &QTimer::timeout, &w, [&] {
                if (label(w, row).isEmpty() || !w.isVisible()) return;
                closedAt = std::chrono::steady_clock::now();
                w.close();
            });
            watch.start(1);
            QTest::mouseClick(w.Comenzar, Qt::LeftButton);
            const auto stopped = std::chrono::steady_clock::now();
            QVERIFY2(closedAt.time_since_epoch().count() > 0, row);
            QVERIFY(!w.isVisible());
            QCOMPARE(finished.count(), 1);  // only once the calculation returned
            QVERIFY(stopped - closedAt < std::chrono::seconds(1));
            for (const char* file : ResultFiles)
                QVERIFY2(!fileExists(f.dir.path(), file), file);
            QVERIFY(f.context.recorded().shown.empty());
            QVERIFY(w.stopRequested());
        }
    }
};

QTEST_MAIN(CalculationWindowTest)
#include "calculation_window_test.moc"
