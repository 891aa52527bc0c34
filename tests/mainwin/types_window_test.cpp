// The bar-type generator window: its boxes reach the generator, "Crear"
// writes TIPOS.DAT and reports it, refusals show their message, a window
// opened by another module works alone, and the menus open the modules.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "bartypes/generator.h"
#include "mainwin/app_controller.h"
#include "mainwin/main_window.h"
#include "mainwin/modules.h"
#include "mainwin/types_window.h"
#include "model/files.h"
#include "model/helpers.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;
using Options = bartypes::GeneratorOptions;

namespace {

struct Fixture {
    explicit Fixture(const test::Frame& frame = test::portal()) {
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

    void theBoxesReachTheGenerator() {
        Fixture f;
        TypesWindow w(f.context);
        w.show();
        QVERIFY(!w.unattended() && !w.AAnchMin->isEnabled());  // ranges wait for their family
        tick({w.ALperf, w.ALrect, w.ALcirc, w.HArect, w.HAcirc, w.Terreno});
        const std::pair<QLineEdit*, std::string Options::*> boxes[] = {
            {w.IPEmin, &Options::IPEmin},       {w.IPEmax, &Options::IPEmax},
            {w.HEBmin, &Options::HEBmin},       {w.HEBmax, &Options::HEBmax},
            {w.UPNmin, &Options::UPNmin},       {w.UPNmax, &Options::UPNmax},
            {w.AAnchMin, &Options::AAnchMin},   {w.AAnchMax, &Options::AAnchMax},
            {w.AAnchStep, &Options::AAnchStep}, {w.ACantMin, &Options::ACantMin},
            {w.ACantMax, &Options::ACantMax},   {w.ACantStep, &Options::ACantStep},
            {w.ADiamMin, &Options::ADiamMin},   {w.AdiamMax, &Options::AdiamMax},
            {w.ADiamStep, &Options::ADiamStep}, {w.HAnchMin, &Options::HAnchMin},
            {w.HAnchMax, &Options::HAnchMax},   {w.HAnchStep, &Options::HAnchStep},
            {w.HCantMin, &Options::HCantMin},   {w.HCantMax, &Options::HCantMax},
            {w.HCantStep, &Options::HCantStep}, {w.HDiamMin, &Options::HDiamMin},
            {w.HDiamMax, &Options::HDiamMax},   {w.HDiamStep, &Options::HDiamStep},
        };
        for (std::size_t i = 0; i < std::size(boxes); ++i)
            type(boxes[i].first, QString::number(i + 1) + ",5");
        w.CmbAcer->setCurrentIndex(1);
        w.CmbHorm->setCurrentIndex(5);
        const Options o = w.options();
        for (std::size_t i = 0; i < std::size(boxes); ++i)
            QCOMPARE(o.*boxes[i].second, std::to_string(i + 1) + ",5");
        QVERIFY(o.ALperf && o.ALrect && o.ALcirc && o.HArect && o.HAcirc && o.Terreno);
        QCOMPARE(o.CmbAcer, 1);
        QCOMPARE(o.CmbHorm, 5);

        QTest::mouseClick(w.Int, Qt::LeftButton);
        const auto& shown = f.context.recorded().shown;
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(shown[0].title, std::string("Opción experimental . . ."));
        QVERIFY(
            shown[0].text.starts_with("Opción para experimentar, traduce el módulo de balasto"));
    }

    void crearWritesTheTableAndSaysHowManyTypes() {
        test::Frame oneType = test::portal();
        for (auto& bar : oneType.bars)
            bar[2] = 1;
        Fixture f(oneType);
        TypesWindow w(f.context);
        w.show();
        tick({w.ALperf, w.ALrect, w.ALcirc, w.HArect, w.HAcirc, w.Terreno});
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(f.dir.read("TIPOS.DAT"), defaultTable());
        QCOMPARE(w.Estado->text(), QString("Se han creado 33 tipos de barras en TIPOS.DAT."));
        QVERIFY(w.isVisible() && w.Crear->isEnabled() && w.Salir->isEnabled());

        // The one default concrete circle, in HA-30.
        tick({w.ALperf, w.ALrect, w.ALcirc, w.HArect, w.Terreno});
        w.CmbHorm->setCurrentIndex(1);
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        QCOMPARE(DiscoX::readTypes<float>(f.dir.path()).names[1], std::string("HA-30-------d30"));
        QCOMPARE(w.Estado->text(), QString("Se ha creado 1 tipo de barra en TIPOS.DAT."));
    }

    void refusalsShowTheirMessageAndLeaveTheTable() {
        test::Frame typeFive = test::portal(), nodesOnly;
        typeFive.bars[1][2] = 5;
        nodesOnly.node(0, 0, 0);  // no bars: any table would do, but not an empty one
        const struct {
            const test::Frame* frame;
            std::function<void(TypesWindow&)> choose;
            const char* message;
        } cases[] = {
            {&typeFive,
             [](TypesWindow& w) {
                 tick({w.ALrect});
                 type(w.AAnchMax, "tres");
             },
             "El valor de la casilla «Hasta» de «Ancho (cm.)» (Acero Laminado, Rectangular) no "
             "es un número: «tres»."},
            {&typeFive, [](TypesWindow& w) { tick({w.Terreno}); },
             "Está intentando crear menor número de tipos barras que los usadas por la estructura "
             "actualmente. Para evitar errores genere mayor número de tipos."},
            {&nodesOnly, [](TypesWindow&) {},
             "Con las opciones elegidas no se genera ningún tipo de barra."},
        };
        for (const auto& c : cases) {
            Fixture f(*c.frame);
            const std::string before = test::snapshot(f.dir.path());
            TypesWindow w(f.context);
            w.show();
            c.choose(w);
            QTest::mouseClick(w.Crear, Qt::LeftButton);
            const auto& shown = f.context.recorded().shown;
            QCOMPARE(shown.size(), size_t(1));
            QCOMPARE(shown[0].text, std::string(c.message));
            QCOMPARE(test::snapshot(f.dir.path()), before);
            QVERIFY(w.Crear->isEnabled());
            QCOMPARE(w.Estado->text(), QString());
        }
    }

    void openedByAModuleItWritesTheDefaultTableAndClosesUnseen() {
        Fixture f;
        fs::remove(f.dir / "TIPOS.DAT");
        f.context.session().OpenedByModule = true;
        TypesWindow w(f.context);
        QVERIFY(w.unattended());
        QVERIFY(w.testAttribute(Qt::WA_DontShowOnScreen));
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

        // The main window's entries open the four modules; "Tipos de barras"
        // lowers the flag and opens the window for the user.
        Session& session = controller.session();
        session.settings = {"/", work.path().string(), "Nave", structure.string(), "", 0};
        DiscoX::writeSettings(session);
        controller.start();
        MainWindow* main = controller.mainWindow();
        for (const char* name : {"Renumerar", "tiposbarras", "Reticulado", "ImpExp"})
            QVERIFY2(main->entry(name) && main->entry(name)->isEnabled(), name);
        session.OpenedByModule = true;
        main->entry("tiposbarras")->trigger();
        auto* window = qobject_cast<TypesWindow*>(controller.moduleWindow());
        QVERIFY(window && !window->unattended());
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
