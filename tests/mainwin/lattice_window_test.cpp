// The lattice generator window: its boxes and options, the grids it writes
// (new or appended), the inputs that write nothing, and the stop on closing.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <chrono>

#include "mainwin/lattice_window.h"
#include "mainwin/structures.h"
#include "model/files.h"
#include "support/tempdir.h"
#include "ui/qt_surface.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {

struct Fixture {
    Fixture() {
        context.session().settings.StructureName = "Nave";
        context.session().settings.StructureDirectory = dir.path().string();
    }
    explicit Fixture(const test::Frame& frame) : Fixture() { frame.write(dir.path()); }
    test::TempDir dir;
    test::TestContext context;
};

// Clicks a check box on its box, as the user does, whatever room the layout
// gives it.
void click(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Points and spacings, x, y and z.
void grid(LatticeWindow& w, const char* n, const char* e) {
    const QStringList counts = QString(n).split(' '), spacings = QString(e).split(' ');
    QLineEdit* const ns[] = {w.Tnx, w.Tny, w.Tnz};
    QLineEdit* const es[] = {w.Tex, w.Tey, w.Tez};
    for (int i = 0; i < 3; ++i) {
        type(ns[i], counts[i]);
        type(es[i], spacings[i]);
    }
}

StructureCounts counts(const fs::path& dir) {
    StructureCounts c;
    DiscoX::readDatos(dir, c);
    return c;
}

std::vector<std::pair<int, int>> barEnds(const fs::path& dir) {
    const int n = counts(dir).BarCount;
    const Table<float> bars = DiscoX::readBars(dir, n);
    std::vector<std::pair<int, int>> out;
    for (int b = 1; b <= n; ++b)
        out.push_back({itemNumber(bars(b, Origin)), itemNumber(bars(b, End))});
    return out;
}

}  // namespace

class LatticeWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensWithItsInitialTexts() {
        Fixture f;
        LatticeWindow w(f.context);
        QCOMPARE(w.windowTitle(), QString(" Generar retícula..."));
        QCOMPARE(w.estr->text(), QString("Nave"));
        QCOMPARE(w.Datos->title(), QString("Datos de cada dirección"));
        const QLineEdit* boxes[] = {w.Torx, w.Tory, w.Torz, w.Tex, w.Tey,
                                    w.Tez,  w.Tnx,  w.Tny,  w.Tnz};
        const char* texts[] = {"0", "0", "0", "5", "6", "3", "3", "4", "5"};
        for (int i = 0; i < 9; ++i)
            QCOMPARE(boxes[i]->text(), QString(texts[i]));
        QVERIFY(!w.ChConDat->isChecked());
        QVERIFY(w.ChVigPil->isChecked());
        QVERIFY(!w.ChVigCim->isChecked());
        QCOMPARE(w.ChVigCim->text(), QString("Crear vigas cimentación"));
        QVERIFY(w.Progreso->isHidden());
    }

    void theDefaultGridIsWrittenAndCompletedAndTheWindowStays() {
        Fixture f;
        f.dir.write("INCOG.RES", "0\r\n");
        LatticeWindow w(f.context);
        w.show();
        QTest::mouseClick(w.Generar, Qt::LeftButton);
        QVERIFY(f.context.recorded().shown.empty());
        // 3 × 4 × 5 nodes; no beams on the ground: 4 floors of 17 beams and
        // 48 columns.
        const StructureCounts c = counts(f.dir.path());
        QCOMPARE(c.NodeCount, 60);
        QCOMPARE(c.BarCount, 116);
        const Table<float> xyz = DiscoX::readCoordinates(f.dir.path(), 60);
        QCOMPARE(xyz(60, 1), 10.0f);
        QCOMPARE(xyz(60, 2), 18.0f);
        QCOMPARE(xyz(60, 3), 12.0f);
        // Free, unloaded nodes and the default bar types.
        const auto free =
            DiscoX::readNodeValuesFlat<double>(f.dir.path(), DiscoX::NodeFile::Restraints, 60);
        QVERIFY(
            std::all_of(free.begin() + 1, free.end(), [](double v) { return v == FreeMarker; }));
        QCOMPARE(DiscoX::readTypes<float>(f.dir.path()).count, 33);
        QVERIFY(!fileExists(f.dir.path(), "INCOG.RES"));
        QVERIFY(w.isVisible());
        QVERIFY(w.Generar->isEnabled() && w.Salir->isEnabled() && w.Datos->isEnabled());
        QVERIFY(w.Progreso->isHidden());
        QCOMPARE(w.Estado->text(), QString("La estructura tiene ahora 60 nudos y 116 barras."));
    }

    void theBarOptionsDecideWhichBarsAreMade() {
        struct Case {
            bool bars, foundation;
            std::vector<std::pair<int, int>> expected;
        };
        const Case cases[] = {
            {true, true, {{1, 2}, {1, 3}, {2, 4}, {3, 4}}},
            {true, false, {{1, 2}, {2, 4}, {3, 4}}},
            {false, true, {}},
        };
        for (const Case& c : cases) {
            Fixture f;
            LatticeWindow w(f.context);
            w.show();
            grid(w, "2 1 2", "1 1 1");
            if (w.ChVigPil->isChecked() != c.bars) click(w.ChVigPil);
            if (w.ChVigCim->isChecked() != c.foundation) click(w.ChVigCim);
            QTest::mouseClick(w.Generar, Qt::LeftButton);
            QCOMPARE(counts(f.dir.path()).NodeCount, 4);
            QCOMPARE(barEnds(f.dir.path()), c.expected);
            const Table<float> xyz = DiscoX::readCoordinates(f.dir.path(), 4);
            QCOMPARE(xyz(3, 1), 1.0f);  // node 3 at (1, 0, 0)
            QCOMPARE(xyz(3, 3), 0.0f);
            QCOMPARE(xyz(4, 3), 1.0f);
        }
    }

    void keepingTheDataAppendsTheGrid() {
        Fixture f(test::portal());
        const std::string types = f.dir.read("TIPOS.DAT");
        LatticeWindow w(f.context);
        w.show();
        grid(w, "2 1 2", "1 1 1");
        type(w.Torx, "10.5");
        click(w.ChConDat);
        click(w.ChVigCim);
        QTest::mouseClick(w.Generar, Qt::LeftButton);
        const std::vector<std::pair<int, int>> portalBars = {{1, 2}, {2, 3}, {4, 3}};
        auto expected = portalBars;
        for (auto b : std::vector<std::pair<int, int>>{{5, 6}, {5, 7}, {6, 8}, {7, 8}})
            expected.push_back(b);
        QCOMPARE(barEnds(f.dir.path()), expected);
        const Table<float> xyz = DiscoX::readCoordinates(f.dir.path(), 8);
        QCOMPARE(xyz(3, 1), 6.0f);  // the portal's nodes stay
        QCOMPARE(xyz(5, 1), 10.5f);
        QCOMPARE(f.dir.read("TIPOS.DAT"), types);  // and so do its bar types
        // Its supports and loads too; the new nodes are free.
        const auto fixed =
            DiscoX::readNodeValuesFlat<double>(f.dir.path(), DiscoX::NodeFile::Restraints, 8);
        QCOMPARE(fixed[1], 0.0);
        QCOMPARE(fixed[6 * 4 + 1], double(FreeMarker));

        // A second run appends a second grid on top of the first.
        QTest::mouseClick(w.Generar, Qt::LeftButton);
        QCOMPARE(counts(f.dir.path()).NodeCount, 12);
        QCOMPARE(counts(f.dir.path()).BarCount, 11);
    }

    void inputsThatMakeNoGridWriteNothing() {
        Fixture f(test::portal());
        const std::string before = test::snapshot(f.dir.path());
        LatticeWindow w(f.context);
        w.show();
        type(w.Tey, "0");  // a zero spacing: nothing happens
        QTest::mouseClick(w.Generar, Qt::LeftButton);
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(test::snapshot(f.dir.path()), before);
        type(w.Tey, "abc");  // no number reads as 0
        QTest::mouseClick(w.Generar, Qt::LeftButton);
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(test::snapshot(f.dir.path()), before);

        type(w.Tey, "6");
        type(w.Tnx, "-2");
        QTest::mouseClick(w.Generar, Qt::LeftButton);
        QCOMPARE(f.context.recorded().texts(),
                 std::vector<std::string>{
                     "El número de puntos de cada dirección no puede ser negativo."});
        QCOMPARE(f.context.recorded().shown[0].title, std::string("¡ Aviso !"));
        QCOMPARE(test::snapshot(f.dir.path()), before);
        QVERIFY(w.Generar->isEnabled());
        QCOMPARE(w.Estado->text(), QString());
    }

    void closingDuringTheGenerationStopsIt() {
        Fixture f(test::portal());
        const std::string before = test::snapshot(f.dir.path());
        LatticeWindow w(f.context);
        w.show();
        grid(w, "100 100 60", "1 1 1");
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        std::chrono::steady_clock::time_point closedAt{};
        QTimer watch;
        connect(&watch, &QTimer::timeout, &w, [&] {
            if (!w.running() || !w.isVisible()) return;
            QVERIFY(!w.Generar->isEnabled() && !w.Salir->isEnabled());
            QVERIFY(w.Progreso->isVisible());
            closedAt = std::chrono::steady_clock::now();
            w.close();
        });
        watch.start(1);
        const auto started = std::chrono::steady_clock::now();
        QTest::mouseClick(w.Generar, Qt::LeftButton);
        const auto stopped = std::chrono::steady_clock::now();
        QVERIFY(closedAt > started);
        QCOMPARE(finished.count(), 1);
        QVERIFY(stopped - closedAt < std::chrono::milliseconds(500));
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(test::snapshot(f.dir.path()), before);
        // No staging directory is left behind either.
        for (const auto& e : fs::directory_iterator(f.dir.path()))
            QVERIFY(!e.is_directory());
    }
};

QTEST_MAIN(LatticeWindowTest)
#include "lattice_window_test.moc"
