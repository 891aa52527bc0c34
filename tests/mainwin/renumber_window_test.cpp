// The renumbering window: studies shown with their comments, the save of the
// best numbering, start-node messages, the structures it refuses, and the
// stop on closing.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <chrono>

#include "mainwin/renumber_window.h"
#include "model/files.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/qt_surface.h"
#include "ui/recording.h"

using namespace vanto;

namespace {

struct Fixture {
    explicit Fixture(const test::Frame& frame) {
        frame.write(dir.path());
        context.session().settings.StructureDirectory = dir.path().string();
    }
    test::TempDir dir;
    test::TestContext context;
};

// Four nodes in a row; each bar carries its origin as its load.
test::Frame chain(std::initializer_list<std::pair<int, int>> bars) {
    test::Frame f;
    for (int n = 1; n <= 4; ++n)
        f.node(float(n), 0, 0);
    f.fix(1);
    for (auto [a, b] : bars)
        f.bar(a, b, 1, -float(a));
    return f;
}
const auto scrambled = {std::pair{1, 4}, {4, 2}, {2, 3}};

void study(RenumberWindow& w, bool complete, const QString& start = {}) {
    QRadioButton* option = complete ? w.Completo : w.UnNudo;
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
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
    void aCompleteStudyIsShownAndGrabarSaleSavesIt() {
        Fixture f(chain(scrambled));
        RenumberWindow w(f.context);
        w.show();
        QCOMPARE(w.AnchoBanda->text(), QString("24"));
        QVERIFY(!w.GrabaSale->isEnabled());
        study(w, true);
        QCOMPARE(w.Comentarios->text(),
                 QString(" Se encontró una mejoría del ancho de banda en el nudo 1"
                         "  El nuevo ancho de banda sería 12"));
        QCOMPARE(w.NuevoNudo->text(), QString("1"));
        QCOMPARE(w.NuevoAncho->text(), QString("12"));
        QVERIFY(w.GrabaSale->isEnabled() && w.Comienza->isEnabled() && w.Salir->isEnabled());
        QVERIFY(f.context.recorded().shown.empty());
        const QImage bar = w.barra->image();  // the progress ends full
        QVERIFY(qGray(bar.pixel(bar.width() - 2, bar.height() / 2)) < 128);

        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        QTest::mouseClick(w.GrabaSale, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!w.isVisible());
        // Old nodes 1, 4, 2, 3 are now 1, 2, 3, 4.
        QCOMPARE(f.dir.read("BARRAS.DAT"), std::string("1,2,1,0,-1,0,0,0,1,1\r\n"
                                                       "2,3,1,0,-4,0,0,0,1,1\r\n"
                                                       "3,4,1,0,-2,0,0,0,1,1\r\n"));
    }

    void withoutImprovementNothingCanBeSaved() {
        Fixture f(chain({{1, 2}, {2, 3}, {3, 4}}));
        RenumberWindow w(f.context);
        w.show();
        study(w, false, "2");
        QCOMPARE(w.Comentarios->text(), QString(" No mejoró el ancho de banda"));
        QVERIFY(!w.GrabaSale->isEnabled());
        study(w, true);
        QCOMPARE(w.Comentarios->text(),
                 QString(" No mejoró el ancho de banda y resulta imposible que mejore"));
        QVERIFY(!w.GrabaSale->isEnabled());

        // Salir writes nothing, after an improvement too.
        Fixture g(chain(scrambled));
        const std::string before = test::snapshot(g.dir.path());
        RenumberWindow v(g.context);
        v.show();
        study(v, false, "1");
        QVERIFY(v.GrabaSale->isEnabled());
        QTest::mouseClick(v.Salir, Qt::LeftButton);
        QVERIFY(!v.isVisible());
        QCOMPARE(test::snapshot(g.dir.path()), before);
    }

    void theStartNodeBoxIsChecked() {
        const struct {
            const char *typed, *message, *box, *start;
        } cases[] = {
            {"dos", "El nudo de partida «dos» no es un número.", "dos", ""},
            {"0", "El nudo de partida debe ser 1 o mayor.", "0", ""},
            {"9", nullptr, "4", "4"},  // beyond the last node: the last
            {"1,4", nullptr, "1,4", "1"},
        };
        Fixture f(chain(scrambled));
        RenumberWindow w(f.context);
        w.show();
        for (const auto& c : cases) {
            f.context.recorded().shown.clear();
            study(w, false, c.typed);
            const auto& shown = f.context.recorded().shown;
            QCOMPARE(shown.size(), size_t(c.message ? 1 : 0));
            if (c.message) QCOMPARE(shown[0].text, std::string(c.message));
            QCOMPARE(w.nudonumero->text(), QString(c.box));
            QCOMPARE(w.NuevoNudo->text(), QString(c.start));
            QVERIFY(w.Comienza->isEnabled());
        }
    }

    void structuresItCannotRenumberCloseTheWindowWithTheirMessage() {
        for (bool complete : {false, true}) {
            Fixture f(chain({{1, 2}, {3, 4}}));
            const std::string before = test::snapshot(f.dir.path());
            RenumberWindow w(f.context);
            w.show();
            QSignalSpy finished(&w, &ui::ModuleWindow::finished);
            study(w, complete, "1");
            QCOMPARE(f.context.recorded().texts(),
                     std::vector<std::string>{"Esta estructura no se puede renumerar\n\n"
                                              "(no están todas las barras interconectadas "
                                              "entre si)"});
            QCOMPARE(finished.count(), 1);
            QCOMPARE(test::snapshot(f.dir.path()), before);
        }
        // Refused on loading: the message once on screen, not the program's end.
        const struct {
            const char *file, *bytes, *message;
        } unreadable[] = {
            {"DATOS.DAT", "", "La estructura no tiene los datos básicos."},
            {"DATOS.DAT", "\"Otro 3.0\"\r\n4\r\n1\r\n",
             "Estructura no compatible con la versión actual del programa"},
        };
        for (const auto& u : unreadable) {
            Fixture f(chain({{1, 2}}));
            if (*u.bytes)
                f.dir.write(u.file, u.bytes);
            else
                std::filesystem::remove(f.dir / u.file);
            RenumberWindow w(f.context);
            QVERIFY(!w.Comienza->isEnabled());
            QSignalSpy finished(&w, &ui::ModuleWindow::finished);
            w.show();
            QTRY_COMPARE(finished.count(), 1);
            QCOMPARE(f.context.recorded().texts(), std::vector<std::string>{u.message});
            QVERIFY(f.context.fatalErrors.empty());
        }
        // A damaged file ends the program as everywhere else.
        Fixture damaged(chain({{1, 2}}));
        damaged.dir.write("COORDENA.DAT", "1\r\nuno\r\n");
        RenumberWindow u(damaged.context);
        QCOMPARE(damaged.context.fatalErrors.size(), size_t(1));
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
        study(w, true);
        const auto stopped = std::chrono::steady_clock::now();
        QVERIFY(closedAt > started);
        QCOMPARE(finished.count(), 1);
        QVERIFY(stopped - closedAt < std::chrono::milliseconds(500));
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(test::snapshot(f.dir.path()), before);
    }
};

QTEST_MAIN(RenumberWindowTest)
#include "renumber_window_test.moc"
