// The renumbering window: studies from one node and from every node with
// their comments, the save of the best numbering, the start-node checks, the
// structures it refuses, and the stop on closing.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <chrono>

#include "mainwin/renumber_window.h"
#include "mainwin/structures.h"
#include "model/files.h"
#include "support/tempdir.h"
#include "ui/qt_surface.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {

struct Fixture {
    explicit Fixture(const test::Frame& frame) {
        frame.write(dir.path());
        context.session().settings.StructureDirectory = dir.path().string();
    }
    Fixture() { context.session().settings.StructureDirectory = dir.path().string(); }
    test::TempDir dir;
    test::TestContext context;
};

// Four nodes in a row, with loads and restraints that tell them apart.
test::Frame chain(std::initializer_list<std::pair<int, int>> bars) {
    test::Frame f;
    for (int n = 1; n <= 4; ++n) {
        f.node(float(n), 10.0f * float(n), 100.0f * float(n));
        f.loads.back()[2] = -float(n);
    }
    f.fix(1);
    for (auto [a, b] : bars)
        f.bar(a, b, 1, -float(a));
    return f;
}

// Clicks an option on its button, as the user does, whatever room the layout
// gives it.
void click(QRadioButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

void study(RenumberWindow& w, bool complete, const QString& start = {}) {
    click(complete ? w.Completo : w.UnNudo);
    if (!complete) {
        w.nudonumero->selectAll();
        QTest::keyClicks(w.nudonumero, start);
    }
    QTest::mouseClick(w.Comienza, Qt::LeftButton);
}

}  // namespace

class RenumberWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void opensOnTheStructureWithItsBandWidth() {
        Fixture f(chain({{1, 4}, {4, 2}, {2, 3}}));
        RenumberWindow w(f.context);
        QCOMPARE(w.windowTitle(), QString("Renumeración de la estructura ..."));
        QCOMPARE(w.Renum->text(), QString::fromStdString(f.dir.path().string()));
        QCOMPARE(w.AnchoBanda->text(), QString("24"));
        QCOMPARE(w.NuevoNudo->text(), QString());
        QCOMPARE(w.NuevoAncho->text(), QString());
        QVERIFY(w.UnNudo->isChecked() && w.nudonumero->isEnabled());
        QVERIFY(w.Comienza->isEnabled() && w.Salir->isEnabled());
        QVERIFY(!w.GrabaSale->isEnabled());
        QCOMPARE(w.GrabaSale->text(), QString("Grabar y Salir"));
        click(w.Completo);
        QVERIFY(!w.nudonumero->isEnabled());
    }

    void aCompleteStudyFindsTheBestStartAndSavingRewritesTheFiles() {
        Fixture f(chain({{1, 4}, {4, 2}, {2, 3}}));
        f.dir.write("INCOG.RES", "0\r\n");
        const std::string datos = f.dir.read("DATOS.DAT"), tipos = f.dir.read("TIPOS.DAT");
        RenumberWindow w(f.context);
        w.show();
        study(w, true);
        QCOMPARE(w.Comentarios->text(),
                 QString(" Se encontró una mejoría del ancho de banda en el nudo 1"
                         "  El nuevo ancho de banda sería 12"));
        QCOMPARE(w.NuevoNudo->text(), QString("1"));
        QCOMPARE(w.NuevoAncho->text(), QString("12"));
        QVERIFY(w.GrabaSale->isEnabled() && w.Comienza->isEnabled() && w.Salir->isEnabled());
        QVERIFY(f.context.recorded().shown.empty());
        // The progress picture ends full.
        const QImage bar = w.barra->image();
        QVERIFY(qGray(bar.pixel(bar.width() - 2, bar.height() / 2)) < 128);

        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        QTest::mouseClick(w.GrabaSale, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!w.isVisible());
        // Old nodes 1, 4, 2, 3 are now 1, 2, 3, 4; bars keep their order and
        // their other fields.
        const fs::path dir = f.dir.path();
        QCOMPARE(f.dir.read("BARRAS.DAT"), std::string("1,2,1,0,-1,0,0,0,1,1\r\n"
                                                       "2,3,1,0,-4,0,0,0,1,1\r\n"
                                                       "3,4,1,0,-2,0,0,0,1,1\r\n"));
        const Table<float> xyz = DiscoX::readCoordinates(dir, 4);
        const int old[] = {0, 1, 4, 2, 3};
        for (int p = 1; p <= 4; ++p) {
            QCOMPARE(xyz(p, 1), float(old[p]));
            QCOMPARE(xyz(p, 3), 100.0f * float(old[p]));
        }
        const auto loads = DiscoX::readNodeValuesFlat<double>(dir, DiscoX::NodeFile::Loads, 4);
        const auto fixed = DiscoX::readNodeValuesFlat<double>(dir, DiscoX::NodeFile::Restraints, 4);
        for (int p = 1; p <= 4; ++p)
            QCOMPARE(loads[6 * (p - 1) + 3], -double(old[p]));
        QCOMPARE(fixed[1], 0.0);
        QCOMPARE(fixed[7], double(FreeMarker));
        // Counts and types stay; the results of the old numbering go.
        QCOMPARE(f.dir.read("DATOS.DAT"), datos);
        QCOMPARE(f.dir.read("TIPOS.DAT"), tipos);
        QVERIFY(!fileExists(dir, "INCOG.RES"));
    }

    void studiesThatCannotImproveSaySoAndKeepSavingOff() {
        Fixture f(chain({{1, 2}, {2, 3}, {3, 4}}));
        RenumberWindow w(f.context);
        w.show();
        QCOMPARE(w.AnchoBanda->text(), QString("12"));
        study(w, false, "2");
        QCOMPARE(w.Comentarios->text(), QString(" No mejoró el ancho de banda"));
        QVERIFY(!w.GrabaSale->isEnabled());
        study(w, true);
        QCOMPARE(w.Comentarios->text(),
                 QString(" No mejoró el ancho de banda y resulta imposible que mejore"));
        QVERIFY(!w.GrabaSale->isEnabled());
        QCOMPARE(w.NuevoNudo->text(), QString());

        // Leaving writes nothing, after an improvement too.
        Fixture g(chain({{1, 4}, {4, 2}, {2, 3}}));
        const std::string before = test::snapshot(g.dir.path());
        RenumberWindow v(g.context);
        v.show();
        study(v, false, "1");
        QVERIFY(v.GrabaSale->isEnabled());
        QSignalSpy finished(&v, &ui::ModuleWindow::finished);
        QTest::mouseClick(v.Salir, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(test::snapshot(g.dir.path()), before);
    }

    void theStartNodeIsChecked() {
        Fixture f(chain({{1, 4}, {4, 2}, {2, 3}}));
        RenumberWindow w(f.context);
        w.show();
        const auto& shown = f.context.recorded().shown;

        study(w, false, "dos");
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(shown[0].title, std::string("¡ Aviso !"));
        QCOMPARE(shown[0].text, std::string("El nudo de partida «dos» no es un número."));
        QCOMPARE(w.Comentarios->text(), QString());  // no study ran
        QVERIFY(w.Comienza->isEnabled());

        study(w, false, "0");
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(shown[1].text, std::string("El nudo de partida debe ser 1 o mayor."));
        QVERIFY(w.NuevoNudo->text().isEmpty());

        // Beyond the last node: the last node, written back into the box.
        study(w, false, "9");
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(w.nudonumero->text(), QString("4"));
        QCOMPARE(w.NuevoNudo->text(), QString("4"));

        // A decimal is rounded, with either separator.
        study(w, false, "1,4");
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(w.NuevoNudo->text(), QString("1"));
    }

    void aDisconnectedStructureClosesWithItsMessageAndWritesNothing() {
        for (bool complete : {false, true}) {
            Fixture f(chain({{1, 2}, {3, 4}}));
            f.dir.write("INCOG.RES", "0\r\n");
            const std::string before = test::snapshot(f.dir.path());
            RenumberWindow w(f.context);
            w.show();
            QSignalSpy finished(&w, &ui::ModuleWindow::finished);
            study(w, complete, "1");
            QCOMPARE(f.context.recorded().texts(),
                     std::vector<std::string>{"Esta estructura no se puede renumerar\n\n"
                                              "(no están todas las barras interconectadas "
                                              "entre si)"});
            QCOMPARE(f.context.recorded().shown[0].buttons, MessageButtons::Ok);
            QCOMPARE(finished.count(), 1);
            QVERIFY(!w.isVisible());
            QCOMPARE(test::snapshot(f.dir.path()), before);
        }
    }

    void structuresThatCannotBeReadCloseTheWindowWithTheirMessage() {
        // A new structure without data: its message, not the program's end.
        Fixture empty;
        RenumberWindow w(empty.context);
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        QVERIFY(!w.Comienza->isEnabled());
        w.show();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(empty.context.recorded().texts(),
                 std::vector<std::string>{"La estructura no tiene los datos básicos."});
        QVERIFY(empty.context.fatalErrors.empty());

        Fixture other(chain({{1, 2}}));
        other.dir.write("DATOS.DAT", "\"Otro 3.0\"\r\n4\r\n1\r\n");
        RenumberWindow v(other.context);
        QSignalSpy closed(&v, &ui::ModuleWindow::finished);
        v.show();
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(other.context.recorded().texts(),
                 std::vector<std::string>{
                     "Estructura no compatible con la versión actual del programa"});

        // A damaged file ends the program as everywhere else.
        Fixture damaged(chain({{1, 2}}));
        damaged.dir.write("COORDENA.DAT", "1\r\nuno\r\n");
        RenumberWindow u(damaged.context);
        QCOMPARE(damaged.context.fatalErrors.size(), size_t(1));
        QVERIFY(!u.Comienza->isEnabled());
    }

    void closingDuringACompleteStudyStopsItAndWritesNothing() {
        // Numbered along the longest direction first: every start is a long trial.
        test::Frame big;
        const int nx = 60, ny = 60, nz = 4;
        for (int k = 1; k <= nz; ++k)
            for (int j = 1; j <= ny; ++j)
                for (int i = 1; i <= nx; ++i) {
                    const int n = big.node(float(i), float(j), float(k));
                    if (i > 1) big.bar(n - 1, n, 1);
                    if (j > 1) big.bar(n - nx, n, 1);
                    if (k > 1) big.bar(n - nx * ny, n, 2);
                }
        Fixture f(big);
        const std::string before = test::snapshot(f.dir.path());
        RenumberWindow w(f.context);
        w.show();
        click(w.Completo);
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        std::chrono::steady_clock::time_point closedAt{};
        QTimer watch;
        connect(&watch, &QTimer::timeout, &w, [&] {
            if (!w.running() || !w.isVisible()) return;
            QVERIFY(!w.Comienza->isEnabled() && !w.Salir->isEnabled());
            closedAt = std::chrono::steady_clock::now();
            w.close();
        });
        watch.start(1);
        const auto started = std::chrono::steady_clock::now();
        QTest::mouseClick(w.Comienza, Qt::LeftButton);
        const auto stopped = std::chrono::steady_clock::now();
        QVERIFY(closedAt > started);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!w.isVisible());
        QVERIFY(stopped - closedAt < std::chrono::milliseconds(500));
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(test::snapshot(f.dir.path()), before);
        // Stopped among the first start nodes, long before the best one.
        renumber::Renumbering full(renumber::LeeDatos(f.dir.path()));
        full.studyAll();
        QVERIFY(w.renumbering()->BestStart() < full.BestStart());
    }
};

QTEST_MAIN(RenumberWindowTest)
#include "renumber_window_test.moc"
