// The bar-type generator window: its boxes reach the generator, "Crear"
// writes TIPOS.DAT and reports it, refusals show their message, a window
// opened by another module works alone.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "bartypes/generator.h"
#include "mainwin/app_controller.h"
#include "mainwin/modules.h"
#include "mainwin/types_window.h"
#include "model/helpers.h"
#include "window_support.h"

using namespace vanto;
using test::Fixture;
using test::type;
namespace fs = std::filesystem;
using Options = bartypes::GeneratorOptions;

namespace {

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
        // Each box and the option of the same name.
#define BOX(name) std::pair<QLineEdit*, std::string Options::*>(w.name, &Options::name)
        const std::pair<QLineEdit*, std::string Options::*> boxes[] = {
            BOX(IPEmin),    BOX(IPEmax),    BOX(HEBmin),    BOX(HEBmax),    BOX(UPNmin),
            BOX(UPNmax),    BOX(AAnchMin),  BOX(AAnchMax),  BOX(AAnchStep), BOX(ACantMin),
            BOX(ACantMax),  BOX(ACantStep), BOX(ADiamMin),  BOX(AdiamMax),  BOX(ADiamStep),
            BOX(HAnchMin),  BOX(HAnchMax),  BOX(HAnchStep), BOX(HCantMin),  BOX(HCantMax),
            BOX(HCantStep), BOX(HDiamMin),  BOX(HDiamMax),  BOX(HDiamStep)};
#undef BOX
        for (std::size_t i = 0; i < std::size(boxes); ++i)
            type(boxes[i].first, QString::number(i + 1) + ",5");
        w.CmbAcer->setCurrentIndex(1);
        w.CmbHorm->setCurrentIndex(5);
        const Options o = w.options();
        for (std::size_t i = 0; i < std::size(boxes); ++i)
            QCOMPARE(o.*boxes[i].second, std::to_string(i + 1) + ".5");
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

    void crearRefusesABadBoxThenWritesTheTableAndSaysHowManyTypes() {
        test::Frame oneType = test::portal();
        for (auto& bar : oneType.bars)
            bar[2] = 1;
        Fixture f(oneType);
        const std::string before = test::snapshot(f.dir.path());
        TypesWindow w(f.context);
        w.show();
        tick({w.ALperf, w.ALrect, w.ALcirc, w.HArect, w.HAcirc, w.Terreno});
        // A refusal shows its message and leaves the table.
        type(w.AAnchMax, "tres");
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        QCOMPARE(f.context.recorded().texts(),
                 std::vector<std::string>{
                     "El valor de la casilla «Hasta de Ancho (cm.) (Acero Laminado, "
                     "Rectangular)» no es un número: «tres»."});
        QCOMPARE(test::snapshot(f.dir.path()), before);
        QVERIFY(w.Crear->isEnabled());
        QCOMPARE(w.Estado->text(), QString());

        f.context.recorded().shown.clear();
        type(w.AAnchMax, QString::fromStdString(Options{}.AAnchMax));
        QTest::mouseClick(w.Crear, Qt::LeftButton);
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(f.dir.read("TIPOS.DAT"), defaultTable());
        QCOMPARE(w.Estado->text(), QString("Se han creado 33 tipos de barras en TIPOS.DAT."));
        QVERIFY(w.isVisible() && w.Crear->isEnabled() && w.Salir->isEnabled());
    }

    void openedByAModuleItWritesTheDefaultTableAndClosesUnseen() {
        test::TempDir work, program;
        const fs::path structure = work / "-Nave";
        test::portal().write(structure);
        fs::remove(structure / "TIPOS.DAT");
        test::RecordingMessages messages;
        AppController controller(program.path(), program.path(), &messages);
        registerModules(controller);
        controller.session().settings.StructureDirectory = structure.string();
        auto* unattended = qobject_cast<TypesWindow*>(controller.openByModule("CRET"));
        QVERIFY(unattended && unattended->unattended());
        QVERIFY(unattended->testAttribute(Qt::WA_DontShowOnScreen));
        QSignalSpy done(unattended, &ui::ModuleWindow::finished);
        QTRY_COMPARE(done.count(), 1);
        QVERIFY(!controller.session().OpenedByModule);
        QVERIFY(controller.mainWindow() == nullptr);
        QCOMPARE(work.read("-Nave/TIPOS.DAT"), defaultTable());
        QVERIFY(messages.shown.empty());
    }
};

QTEST_MAIN(TypesWindowTest)
#include "types_window_test.moc"
