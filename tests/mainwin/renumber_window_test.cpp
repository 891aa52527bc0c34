// The renumbering window: studies shown with their comments, the save of the
// best numbering, start-node messages, the structures it refuses, and the
// stop on closing.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "mainwin/renumber_window.h"
#include "ui/qt_surface.h"
#include "window_support.h"

using namespace vanto;
using test::Fixture;

namespace {

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
    test::click(complete ? w.Completo : w.UnNudo);
    if (!complete) test::type(w.nudonumero, start);
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

        QVERIFY(test::finishesOnce(w, [&] { QTest::mouseClick(w.GrabaSale, Qt::LeftButton); }));
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
    }

    void theStartNodeBoxIsCheckedAndSalirWritesNothing() {
        const struct {
            const char *typed, *message, *box, *start;
        } cases[] = {
            {"dos", "El valor de la casilla «Nudo de partida» no es un número: «dos».", "dos", ""},
            {"9", nullptr, "4", "4"},  // beyond the last node: the last
        };
        Fixture f(chain(scrambled));
        const std::string before = test::snapshot(f.dir.path());
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
        // Salir writes nothing, after an improvement too.
        QVERIFY(w.GrabaSale->isEnabled());
        QTest::mouseClick(w.Salir, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(test::snapshot(f.dir.path()), before);
    }

    void structuresItCannotRenumberCloseTheWindowWithTheirMessage() {
        Fixture f(chain({{1, 2}, {3, 4}}));
        const std::string before = test::snapshot(f.dir.path());
        RenumberWindow w(f.context);
        w.show();
        QVERIFY(test::finishesOnce(w, [&] { study(w, true); }));
        QCOMPARE(f.context.recorded().texts(),
                 std::vector<std::string>{"Esta estructura no se puede renumerar\n\n"
                                          "(no están todas las barras interconectadas entre si)"});
        QCOMPARE(test::snapshot(f.dir.path()), before);

        // Refused on loading: the message once on screen, not the program's end.
        Fixture other(chain({{1, 2}}));
        other.dir.write("DATOS.DAT", "\"Otro 3.0\"\r\n4\r\n1\r\n");
        RenumberWindow v(other.context);
        QVERIFY(!v.Comienza->isEnabled());
        QSignalSpy closed(&v, &ui::ModuleWindow::finished);
        v.show();
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(other.context.recorded().texts(),
                 std::vector<std::string>{
                     "Estructura no compatible con la versión actual del programa"});
        QVERIFY(other.context.fatalErrors.empty());
    }

    void closingDuringACompleteStudyStopsItAndWritesNothing() {
        // Numbered along its long directions first: every start is a long trial.
        Fixture f(test::lattice(4, 60, 60));
        const std::string before = test::snapshot(f.dir.path());
        RenumberWindow w(f.context);
        test::closeWhileBusy(w, f.context, [&] { study(w, true); }, {w.Comienza, w.Salir});
        QCOMPARE(test::snapshot(f.dir.path()), before);
    }
};

QTEST_MAIN(RenumberWindowTest)
#include "renumber_window_test.moc"
