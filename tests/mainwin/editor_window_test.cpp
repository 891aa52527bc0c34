// The editor window: clicks on the drawing reach the editor and mark what is
// picked over the picture, typed values are committed and undone, drags add
// nodes and bars, "Grabar y Salir" writes, "Esc" asks first, printing
// reaches the printer.

#include <QtTest>

#include "mainwin/combinations_window.h"
#include "mainwin/editor_window.h"
#include "model/files.h"
#include "window_support.h"

using namespace vanto;
using test::type;

namespace {

// An editor window shown over the portal.
struct Shown : test::Fixture {
    Shown() {
        w.resize(1200, 800);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    QPoint at(view::ScreenPoint p) { return w.Dib->qtSurface().toDevice(p.u, p.v).toPoint(); }
    QPoint node(int n) { return at(w.editor()->screen().node(n)); }
    bool named = (context.session().settings.StructureName = "Portico", true);
    EditorWindow w{context};
};

}  // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void aClickShowsANodeAndTypedValuesAreCommittedAndUndone() {
        Shown s;
        EditorWindow& w = s.w;
        QCOMPARE(w.windowTitle(), QString("Editar estructura [Portico]"));
        QVERIFY(!w.FramNud->isEnabled());

        const QImage before = w.Dib->image();
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, s.node(2));
        QCOMPARE(w.nnum->text(), QString("2"));
        QVERIFY(w.FramNud->isEnabled());
        QCOMPARE(w.crdn[3]->text(), QString("4.000"));
        QCOMPARE(w.cccn[1]->text(), QString("Libre"));
        // The node's circle is over the picture, which the click left alone.
        QCOMPARE(w.Dib->image(), before);
        QVERIFY(w.Dib->shown() != before);
        type(w.crga[2], "-1.5");
        // The next press on the drawing takes the typed value over.
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, s.node(2));
        QCOMPARE(w.editor()->data().loads(2, 2), -1.5f);
        QVERIFY(w.Deshacer->isEnabled());
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.editor()->data().loads(2, 2), 0.0f);
        QTest::mouseClick(w.Rehacer, Qt::LeftButton);
        QCOMPARE(w.editor()->data().loads(2, 2), -1.5f);

        // A fixity above 1 is refused by name, and its field keeps the focus.
        w.Tabs_Click(1);
        QVERIFY(w.FramBar->isVisible() && !w.FramNud->isVisible());
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, s.at(w.editor()->screen().midpoint(2)));
        QCOMPARE(w.bnum->text(), QString("2"));
        QCOMPARE(w.tipb->currentRow(), 0);
        w.barr[9]->setFocus();
        type(w.barr[9], "1.5");
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, s.at(w.editor()->screen().midpoint(2)));
        QCOMPARE(s.context.recorded().shown.back().text,
                 std::string("El valor de «Empotr.Origen» debe estar entre 0 (articulado) y 1 "
                             "(empotrado): «1.5» no lo está."));
        QCOMPARE(QApplication::focusWidget(), w.barr[9]);
        QCOMPARE(w.editor()->data().bars(2, EmpOR), 1.0f);
        type(w.barr[9], "0.5");
        QTest::keyClick(w.barr[9], Qt::Key_Tab);
        QCOMPARE(w.editor()->data().bars(2, EmpOR), 0.5f);
        QCOMPARE(QApplication::focusWidget(), w.barr[10]);

        // "Ventana" gives way to the one button that ends its mode; the hint says so.
        QTest::mouseClick(w.ZoomV1, Qt::LeftButton);
        QVERIFY(!w.ZoomV1->isVisible() && w.ZoomV2->isVisible());
        QVERIFY(w.Pista->text().startsWith("Ventana:"));
        QCOMPARE(w.helpTopic(), std::string("editor"));

        // Printing reaches the printer, in the structure directory when there is none.
        QTest::mouseClick(w.Imprimir, Qt::LeftButton);
        QVERIFY(w.PrintParam->isVisible());
        QTest::mouseClick(w.Imprime, Qt::LeftButton);
        QCOMPARE(s.context.printedTo.size(), size_t(1));
        QVERIFY(s.context.printer.ended);
        QVERIFY(!s.context.printer.pages.at(0).empty());
        QVERIFY(!w.PrintParam->isVisible());
    }

    void aRightDragMakesANodeAndGrabarWritesIt() {
        Shown s;
        const QPoint empty(5, 5);
        QTest::mousePress(s.w.Dib, Qt::RightButton, {}, s.node(3));
        test::mouse(s.w.Dib, QEvent::MouseMove, empty, Qt::NoButton, Qt::RightButton);
        QTest::mouseRelease(s.w.Dib, Qt::RightButton, {}, empty);
        QCOMPARE(s.w.editor()->data().nodeCount, 5);
        QCOMPARE(s.w.editor()->data().barCount, 4);

        QVERIFY(test::finishesOnce(s.w, [&] { QTest::mouseClick(s.w.Guardar, Qt::LeftButton); }));
        // Written: where the node goes is the editor's, checked with it.
        const Structure saved = loadStructure<float>(s.dir.path(), part::All);
        QCOMPARE(saved.nodeCount, 5);
        QCOMPARE(saved.barCount, 4);
    }

    // The case chosen in "Hipótesis" is the one the panels edit; the
    // combinations have their own window; "Grabar y Salir" writes them all.
    void loadCasesAndCombinations() {
        Shown s;
        EditorWindow& w = s.w;
        QTest::mouseClick(w.NuevaHip, Qt::LeftButton);
        QCOMPARE(w.Hipotesis->currentText(), QString("Hipótesis 2"));
        type(w.NombreHip, "Viento");
        QTest::keyClick(w.NombreHip, Qt::Key_Return);
        QCOMPARE(w.Hipotesis->itemText(1), QString("Viento"));
        QTest::mouseClick(w.Dib, Qt::LeftButton, {}, s.node(2));
        QCOMPARE(w.crga[1]->text(), QString("0.000"));
        type(w.crga[1], "1.5");
        QTest::keyClick(w.crga[1], Qt::Key_Tab);
        w.Hipotesis_Change(0);
        QCOMPARE(w.crga[1]->text(), QString("2.000"));
        QTimer::singleShot(0, [&w] {
            auto* c = w.findChild<CombinationsWindow*>();
            QVERIFY(c);
            QTest::mouseClick(c->Anadir, Qt::LeftButton);
            c->Tabla->item(0, 2)->setText("1,5");
            c->Cerrar->click();
        });
        QTest::mouseClick(w.Combina, Qt::LeftButton);
        QTest::mouseClick(w.Guardar, Qt::LeftButton);
        const Structure saved = loadStructure<float>(s.dir.path(), part::All);
        QCOMPARE(saved.cases.loadCase(2).name, std::string("Viento"));
        QCOMPARE(saved.cases.loadCase(2).nodeLoads(2, 1), 1.5f);
        QCOMPARE(saved.cases.combinations.at(0).factors, (std::vector<double>{1, 1.5}));
    }

    // A value typed and not yet taken is a change too: closing asks.
    void escAsksAndLeavesTheFilesAlone() {
        Shown s;
        const std::string before = test::snapshot(s.dir.path());
        QSignalSpy finished(&s.w, &ui::ModuleWindow::finished);
        QTest::mouseClick(s.w.Dib, Qt::LeftButton, {}, s.node(2));
        type(s.w.crdn[1], "3");
        QVERIFY(!s.w.editor()->changed());
        s.context.recorded().answer = MessageAnswer::No;
        s.w.close();
        QVERIFY(s.w.isVisible());
        const auto& shown = s.context.recorded().shown;
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(shown[0].title, std::string("¡ Aviso !"));
        QCOMPARE(shown[0].text, std::string("Va a salir sin guardar los cambios\nefectuados hasta "
                                            "ahora.\n¿Es esto lo que desea hacer?"));
        s.context.recorded().answer = MessageAnswer::Yes;
        QTest::mouseClick(s.w.Esc, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(test::snapshot(s.dir.path()), before);
    }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
