// The editor window: clicks on the drawing reach the editor, typed values are
// committed and undone, drags add nodes and bars, "Grabar y Salir" writes,
// "Esc" asks first, printing reaches the printer.

#include <QtTest>

#include "mainwin/editor_window.h"
#include "model/files.h"
#include "window_support.h"

using namespace vanto;
using test::Fixture;
using test::type;

namespace {

QPoint pixelOf(EditorWindow& w, int node) {
    const auto& sv = w.editor()->screen();
    return w.Dib->qtSurface().toDevice(sv.nodeU(node), sv.nodeV(node)).toPoint();
}

}  // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void aClickShowsANodeAndTypedValuesAreCommittedAndUndone() {
        Fixture f;
        f.context.session().settings.StructureName = "Portico";
        EditorWindow w(f.context);
        w.resize(1200, 800);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.windowTitle(), QString("Editar estructura [Portico]"));
        QVERIFY(!w.FramNud->isEnabled());

        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, pixelOf(w, 2));
        QCOMPARE(w.nnum->text(), QString("2"));
        QVERIFY(w.FramNud->isEnabled());
        QCOMPARE(w.crdn[3]->text(), QString("4.000"));
        QCOMPARE(w.cccn[1]->text(), QString("Libre"));
        type(w.crga[2], "-1.5");
        // The next press on the drawing takes the typed value over.
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, pixelOf(w, 2));
        QCOMPARE(w.editor()->data().loads(2, 2), -1.5f);
        QVERIFY(w.Deshacer->isEnabled());
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.editor()->data().loads(2, 2), 0.0f);
        QTest::mouseClick(w.Rehacer, Qt::LeftButton);
        QCOMPARE(w.editor()->data().loads(2, 2), -1.5f);

        // A fixity typed above 1 becomes 1 as it is typed.
        w.Tabs_Click(1);
        QVERIFY(w.FramBar->isVisible() && !w.FramNud->isVisible());
        const auto& sv = w.editor()->screen();
        const QPoint mid = w.Dib->qtSurface()
                               .toDevice(sv.bars(2, editor::ScreenView::MidU),
                                         sv.bars(2, editor::ScreenView::MidV))
                               .toPoint();
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, mid);
        QCOMPARE(w.bnum->text(), QString("2"));
        QCOMPARE(w.tipb->currentRow(), 0);
        type(w.barr[9], "1.5");
        QCOMPARE(w.barr[9]->text(), QString("1"));

        // Printing reaches the printer, in the structure directory when there is none.
        QTest::mouseClick(w.Imprimir, Qt::LeftButton);
        QVERIFY(w.PrintParam->isVisible());
        QTest::mouseClick(w.Imprime, Qt::LeftButton);
        QCOMPARE(f.context.printedTo.size(), size_t(1));
        QVERIFY(f.context.printer.ended);
        QVERIFY(!f.context.printer.pages.at(0).empty());
        QVERIFY(!w.PrintParam->isVisible());
    }

    void aRightDragMakesANodeAndGrabarWritesIt() {
        Fixture f;
        EditorWindow w(f.context);
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        const QPoint from = pixelOf(w, 3);
        const QPoint empty(5, 5);
        QTest::mousePress(w.Dib, Qt::RightButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(empty), w.Dib->mapToGlobal(QPointF(empty)),
                         Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(w.Dib, &move);
        QTest::mouseRelease(w.Dib, Qt::RightButton, {}, empty);
        QCOMPARE(w.editor()->data().nodeCount, 5);
        QCOMPARE(w.editor()->data().barCount, 4);

        QTest::mouseClick(w.Guardar, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        StructureCounts counts;
        QCOMPARE(DiscoX::readDatos(f.dir.path(), counts), DiscoX::Status::Read);
        QCOMPARE(counts.NodeCount, 5);
        QCOMPARE(counts.BarCount, 4);
        QCOMPARE(DiscoX::readCoordinates(f.dir.path(), 5)(5, 1), 5.0f);
    }

    void escAsksAndLeavesTheFilesAlone() {
        Fixture f;
        const std::string before = test::snapshot(f.dir.path());
        EditorWindow w(f.context);
        w.show();
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        w.editor()->PonQuitaBarra(1, 3);
        f.context.recorded().answer = MessageAnswer::No;
        QTest::mouseClick(w.Esc, Qt::LeftButton);
        QVERIFY(w.isVisible());
        const auto& shown = f.context.recorded().shown;
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(shown[0].title, std::string("¡ Aviso !"));
        QCOMPARE(shown[0].text, std::string("Va a salir sin guardar los cambios\nefectuados hasta "
                                            "ahora.\n¿Es esto lo que desea hacer?"));
        f.context.recorded().answer = MessageAnswer::Yes;
        QTest::mouseClick(w.Esc, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(test::snapshot(f.dir.path()), before);
    }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
