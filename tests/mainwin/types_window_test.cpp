// The bar-type generator window: its controls and defaults, the table written
// by "Crear", the refusals that leave TIPOS.DAT as it was, the unattended run
// of a window opened by another module, and the menu entries of the four
// generation and exchange modules.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "bartypes/generator.h"
#include "mainwin/app_controller.h"
#include "mainwin/main_window.h"
#include "mainwin/modules.h"
#include "mainwin/structures.h"
#include "mainwin/types_window.h"
#include "model/files.h"
#include "model/helpers.h"
#include "support/tempdir.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {

struct Fixture {
    explicit Fixture(const test::Frame& frame) {
        frame.write(dir.path());
        context.session().settings.StructureDirectory = dir.path().string();
    }
    test::TempDir dir;
    test::TestContext context;
};

// The table the program writes when it completes a structure.
std::string defaultTable() {
    test::TempDir d;
    bartypes::writeDefaultTypes(d.path());
    return d.read("TIPOS.DAT");
}

void tick(std::initializer_list<QCheckBox*> boxes) {
    for (QCheckBox* b : boxes)
        QTest::mouseClick(b, Qt::LeftButton);
}

void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace

class TypesWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setDecimalSeparator(','); }

    void opensWithItsDefaults() {
        Fixture f(test::portal());
        TypesWindow w(f.context);
        QVERIFY(!w.unattended());
        for (QCheckBox* c : {w.ALperf, w.ALrect, w.ALcirc, w.HArect, w.HAcirc, w.Terreno})
            QVERIFY(!c->isChecked());
        QCOMPARE(w.AceroLaminado->title(), QString("Acero Laminado"));
        QCOMPARE(w.HormigonArmado->title(), QString("Homigón Armado"));
        QCOMPARE(w.AAnchMin->text(), QString("2,5"));
        QCOMPARE(w.ADiamStep->text(), QString("0,5"));
        QCOMPARE(w.HAnchMax->text(), QString("70"));
        QCOMPARE(w.HCantStep->text(), QString("0"));
        QCOMPARE(w.IPEmin->text(), QString("100"));
        QCOMPARE(w.UPNmax->text(), QString("140"));
        QStringList steel, concrete;
        for (int i = 0; i < w.CmbAcer->count(); ++i)
            steel << w.CmbAcer->itemText(i);
        for (int i = 0; i < w.CmbHorm->count(); ++i)
            concrete << w.CmbHorm->itemText(i);
        QCOMPARE(steel, QStringList({"A 42", "A 52"}));
        QCOMPARE(concrete, QStringList({"HA-25", "HA-30", "HA-35", "HA-40", "HA-45", "HA-50"}));
        QCOMPARE(w.CmbAcer->currentIndex(), 0);
        QCOMPARE(w.CmbHorm->currentIndex(), 0);
        // A family's boxes take input once it is ticked.
        QVERIFY(!w.AAnchMin->isEnabled());
        tick({w.ALrect});
        QVERIFY(w.AAnchMin->isEnabled() && w.ACantStep->isEnabled());
        QVERIFY(!w.HDiamMin->isEnabled());
    }

    void everyFamilyWritesTheThirtyThreeDefaultTypes() {
        Fixture f(test::portal());
        TypesWindow w(f.context);
        w.show();
        tick({w.ALperf, w.ALrect, w.ALcirc, w.HArect, w.HAcirc, w.Terreno});
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(f.dir.read("TIPOS.DAT"), defaultTable());
        const BarTypes<float> types = DiscoX::readTypes<float>(f.dir.path());
        QCOMPARE(types.count, 33);
        QCOMPARE(types.names[1], std::string("A42.rect--2.5x4"));
        QCOMPARE(types.names[33], std::string("T-K75=5-----L20"));
        QCOMPARE(w.Estado->text(), QString("Se han creado 33 tipos de barras en TIPOS.DAT."));
        QVERIFY(w.Crear->isEnabled() && w.Salir->isEnabled() && w.AAnchMin->isEnabled());
        QVERIFY(w.isVisible());  // the window stays for another table
    }

    void theGradesAndRangesChosenReachTheTable() {
        test::Frame frame = test::portal();
        for (auto& bar : frame.bars)
            bar[2] = 1;  // one type is enough
        Fixture f(frame);
        TypesWindow w(f.context);
        w.show();
        tick({w.ALperf});
        type(w.IPEmin, "80");
        type(w.IPEmax, "600");
        type(w.HEBmax, "100");  // no HEB at all
        type(w.UPNmax, "100");
        w.CmbAcer->setCurrentIndex(1);
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        const BarTypes<float> types = DiscoX::readTypes<float>(f.dir.path());
        // IPE 100 to 550: both bounds are left out.
        QCOMPARE(types.count, 16);
        QCOMPARE(types.names[1], std::string("A52-IPE-----100"));
        QCOMPARE(types.names[16], std::string("A52-IPE-----550"));
        QCOMPARE(types.values(1, TL), 3600.0f);

        // Concrete circles of HA-30, a point typed as the separator.
        tick({w.ALperf, w.HAcirc});
        type(w.HDiamMin, "30.5");
        type(w.HDiamMax, "30,5");
        w.CmbHorm->setCurrentIndex(1);
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        const BarTypes<float> circles = DiscoX::readTypes<float>(f.dir.path());
        QCOMPARE(circles.count, 1);
        QCOMPARE(circles.names[1], std::string("HA-30-----d30.5"));
        QCOMPARE(circles.values(1, TL), 175.0f);
        QCOMPARE(circles.values(1, MY), 310723.0f);
        QCOMPARE(w.Estado->text(), QString("Se ha creado 1 tipo de barra en TIPOS.DAT."));
    }

    void refusalsLeaveTheTableAsItWas() {
        test::Frame frame = test::portal();
        frame.bars[1][2] = 5;  // a bar of type 5
        Fixture f(frame);
        const std::string before = test::snapshot(f.dir.path());
        TypesWindow w(f.context);
        w.show();
        const auto& shown = f.context.recorded().shown;

        // A range that is not a number.
        tick({w.ALrect});
        type(w.AAnchMax, "tres");
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(shown[0].title, std::string("¡ Aviso !"));
        QCOMPARE(shown[0].text, std::string("El valor de la casilla «Hasta» de «Ancho (cm.)» "
                                            "(Acero Laminado, Rectangular) no es un número: "
                                            "«tres»."));
        QCOMPARE(test::snapshot(f.dir.path()), before);
        QVERIFY(w.Crear->isEnabled());

        // Fewer types than the bars use: the four soil springs for type 5.
        tick({w.ALrect, w.Terreno});
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(shown[1].text,
                 std::string("Está intentando crear menor número de tipos barras que los usadas "
                             "por la estructura actualmente. Para evitar errores genere mayor "
                             "número de tipos."));
        QCOMPARE(shown[1].buttons, MessageButtons::Ok);
        QCOMPARE(test::snapshot(f.dir.path()), before);

        QCOMPARE(w.Estado->text(), QString());

        // Enough types: written.
        tick({w.ALcirc});
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(DiscoX::readTypes<float>(f.dir.path()).count, 11);
    }

    void anEmptyTableIsNeverWritten() {
        // A structure without bars would accept any table, an empty one too.
        test::Frame nodesOnly;
        nodesOnly.node(0, 0, 0);
        Fixture f(nodesOnly);
        const std::string before = test::snapshot(f.dir.path());
        TypesWindow w(f.context);
        w.show();
        QTest::mouseClick(w.Crear, Qt::LeftButton);  // nothing ticked
        tick({w.ALperf});
        type(w.IPEmax, "110");  // only IPE 100, which the bound leaves out
        type(w.HEBmax, "100");
        type(w.UPNmax, "100");
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        const std::string none = "Con las opciones elegidas no se genera ningún tipo de barra.";
        QCOMPARE(f.context.recorded().texts(), std::vector<std::string>({none, none}));
        QCOMPARE(test::snapshot(f.dir.path()), before);
    }

    void theQuestionMarkExplainsTheSoilSprings() {
        Fixture f(test::portal());
        TypesWindow w(f.context);
        QTest::mouseClick(w.Int, Qt::LeftButton);
        const auto& shown = f.context.recorded().shown;
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(shown[0].title, std::string("Opción experimental . . ."));
        QCOMPARE(shown[0].icon, MessageIcon::Information);
        QVERIFY(shown[0].text.rfind("Opción para experimentar, traduce el módulo de balasto", 0) ==
                0);
    }

    void openedByAModuleItWritesTheDefaultTableAndClosesUnseen() {
        Fixture f(test::portal());
        fs::remove(f.dir / "TIPOS.DAT");
        f.context.session().OpenedByModule = true;
        TypesWindow w(f.context);
        QVERIFY(w.unattended());
        QVERIFY(w.testAttribute(Qt::WA_DontShowOnScreen));
        for (QCheckBox* c : {w.ALperf, w.ALrect, w.ALcirc, w.HArect, w.HAcirc, w.Terreno})
            QVERIFY(c->isChecked());
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        w.show();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(f.dir.read("TIPOS.DAT"), defaultTable());
        QVERIFY(!f.context.session().OpenedByModule);
        QVERIFY(f.context.recorded().shown.empty());
    }

    void theProgramOpensTheModulesFromItsMenus() {
        test::TempDir work, program;
        const fs::path structure = work / "-Nave";
        test::portal().write(structure);
        fs::remove(structure / "TIPOS.DAT");
        test::RecordingMessages messages;
        AppController controller(program.path(), program.path(), &messages);
        registerModules(controller);
        int quits = 0;
        controller.setQuit([&](int) { ++quits; });

        // Opened by another module: no main window, the flag down afterwards.
        controller.session().settings.StructureDirectory = structure.string();
        auto* unattended = controller.openByModule("CRET");
        QVERIFY(unattended);
        QSignalSpy done(unattended, &ui::ModuleWindow::finished);
        QTRY_COMPARE(done.count(), 1);
        QVERIFY(!controller.session().OpenedByModule);
        QVERIFY(controller.mainWindow() == nullptr);
        QCOMPARE(DiscoX::readTypes<float>(structure).count, 33);

        // The main window's entries exist for the four modules; "Tipos de
        // barras" lowers the flag and opens the window for the user.
        Session& session = controller.session();
        session.settings = {"/", work.path().string(), "Nave", structure.string(), "", 0};
        DiscoX::writeSettings(session);
        controller.start();
        MainWindow* main = controller.mainWindow();
        for (const char* name : {"Renumerar", "tiposbarras", "Reticulado", "ImpExp"}) {
            QVERIFY2(main->entry(name), name);
            QVERIFY2(main->entry(name)->isEnabled(), name);
        }
        session.OpenedByModule = true;
        main->entry("tiposbarras")->trigger();
        auto* window = qobject_cast<TypesWindow*>(controller.moduleWindow());
        QVERIFY(window);
        QVERIFY(!window->unattended());
        QVERIFY(!session.OpenedByModule);
        QVERIFY(window->isVisible() && !main->isVisible());
        QTest::mouseClick(window->Salir, Qt::LeftButton);
        QTRY_VERIFY(main->isVisible());
        QCOMPARE(quits, 0);
        QVERIFY(messages.shown.empty());
    }
};

QTEST_MAIN(TypesWindowTest)
#include "types_window_test.moc"
