// The import/export window's wiring: its lists and options, the imports and
// the export reaching their cores, their messages, the preview drawn again,
// and the stop on closing. What the imports and the export write is checked
// by the exchange tests.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "exchange/dxf_export.h"
#include "mainwin/exchange_window.h"
#include "model/files.h"
#include "model/helpers.h"
#include "ui/qt_surface.h"
#include "window_support.h"

using namespace vanto;
using test::click;
namespace fs = std::filesystem;

namespace {

// A work directory holding the structure "Nave", remembered in NOMBRE.DAT.
struct Fixture {
    explicit Fixture(bool withFrame = true) {
        fs::create_directories(structure);
        if (withFrame) test::portal().write(structure);
        Session& s = context.session();
        s.settingsDirectory = settings.path();
        s.settings = {"/", work.path().string(), "Nave", structure.string(), "", 0};
        DiscoX::writeSettings(s);
    }
    std::string snapshot() const { return test::snapshot(structure); }
    const std::vector<test::ShownMessage>& shown() { return context.recorded().shown; }
    test::TempDir work, settings;
    fs::path structure = work.path() / "-Nave";
    test::TestContext context;
};

// A DXF drawing of lines (x1, y1, z1, x2, y2, z2), one item per line.
std::string dxf(const std::vector<std::array<float, 6>>& lines) {
    std::string out = "  0\nSECTION\n  2\nENTITIES\n";
    for (const auto& l : lines) {
        out += "  0\nLINE\n  8\n0\n";
        const char* codes[] = {" 10", " 20", " 30", " 11", " 21", " 31"};
        for (int i = 0; i < 6; ++i)
            out += std::string(codes[i]) + "\n" + writtenValue(l[i]) + "\n";
    }
    return out + "  0\nENDSEC\n  0\nEOF\n";
}

void importFile(ExchangeWindow& w, int import, const QString& name) {
    click(w.Imp[std::size_t(import)]);
    test::clickItem(w.List1, name);
    QVERIFY(w.Comenzar->isEnabled());
    click(w.Comenzar);
}

}  // namespace

class ExchangeWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setDecimalSeparator('.'); }

    void eachOperationListsItsFilesAndTheExportWrites() {
        Fixture f;
        for (const char* name : {"plano.dxf", "OTRO.DXF", "portico.dat", "listado.TXT"})
            f.work.write(name, "");
        ExchangeWindow w(f.context);
        w.show();
        QCOMPARE(w.Dir1->path(), f.work.path());
        QCOMPARE(w.Label1->text(), QString::fromStdString(f.structure.string()));
        QVERIFY(w.Imp[0]->isChecked() && !w.Comenzar->isEnabled() && !w.Text1->isEnabled());
        QCOMPARE(test::texts(w.List1), QStringList({"OTRO.DXF", "plano.dxf"}));
        const QStringList listed[] = {{"portico.dat"}, {"portico.dat"}, {"listado.TXT"}};
        for (int i = 1; i <= 3; ++i) {
            click(w.Imp[std::size_t(i)]);
            QCOMPARE(test::texts(w.List1), listed[i - 1]);
        }
        click(w.Imp[0]);  // the export lists the drawings
        click(w.Exp);
        QVERIFY(!w.Imp[0]->isChecked() && !w.List1->isEnabled());
        QVERIFY(w.Text1->isEnabled() && w.ColTipo->isEnabled() && w.Comenzar->isEnabled());

        // The export writes the chosen file and asks before replacing it.
        test::TempDir reference;
        w.Text1->setText("Salida");
        click(w.Comenzar);
        QVERIFY(f.shown().empty());
        exchange::dxfout(f.structure, reference / "mono", false);
        QCOMPARE(f.work.read("Salida.DXF"), reference.read("mono.DXF"));
        QCOMPARE(test::texts(w.List1), QStringList({"OTRO.DXF", "plano.dxf", "Salida.DXF"}));

        click(w.ColTipo);
        f.context.recorded().answer = MessageAnswer::No;
        click(w.Comenzar);
        QCOMPARE(f.shown().back().text,
                 std::string("El fichero Salida.DXF ya existe.\n¿Desea sustituirlo?"));
        QCOMPARE(f.work.read("Salida.DXF"), reference.read("mono.DXF"));
        f.context.recorded().answer = MessageAnswer::Yes;
        click(w.Comenzar);
        exchange::dxfout(f.structure, reference / "tipos", true);
        QCOMPARE(f.work.read("Salida.DXF"), reference.read("tipos.DXF"));

        w.Text1->clear();
        click(w.Comenzar);
        QCOMPARE(f.shown().back().text,
                 std::string("Escriba en «Nombre:» el nombre del fichero DXF, sin «/»."));
    }

    void anImportAsksFirstRefusesBrokenFilesThenReplacesTheStructure() {
        Fixture f;
        f.work.write("esquina.dxf", dxf({{0, 0, 0, 4, 0, 0}, {4, 0, 0, 4, 0, 3}}));
        f.work.write("roto.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nabc\n");
        f.work.write("roto.dat", "Titulo\n3 2 1\nTipos\n1 2100000 30 600 45000\nBarras\n1 9 1\n");
        f.work.write("corto.txt", "Programa: Vanto 2.11\r\n\r\nDATOS\r\n\r\n");
        ExchangeWindow w(f.context);
        w.resize(1000, 620);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QImage before = w.Picture1->image();

        const std::string old = f.snapshot();
        f.context.recorded().answer = MessageAnswer::No;
        importFile(w, 0, "esquina.dxf");
        QCOMPARE(f.shown().back().text,
                 std::string("Los datos de la estructura actual se sustituirán por los del "
                             "fichero esquina.dxf.\n¿Desea continuar?"));
        QCOMPARE(f.snapshot(), old);

        // Broken files show their message and change nothing.
        f.context.recorded().answer = MessageAnswer::Yes;
        const std::pair<int, const char*> broken[] = {
            {0, "roto.dxf"}, {1, "roto.dat"}, {2, "roto.dat"}, {3, "corto.txt"}};
        for (const auto& [import, file] : broken) {
            const std::size_t shown = f.shown().size();
            importFile(w, import, file);
            QCOMPARE(f.shown().size(), shown + 2);  // the question, then the refusal
            QCOMPARE(f.shown().back().title, std::string("¡ Aviso !"));
            QVERIFY2(!f.shown().back().text.empty(), file);
            QCOMPARE(f.snapshot(), old);
        }
        QVERIFY(f.context.fatalErrors.empty());

        const std::size_t asked = f.shown().size();
        importFile(w, 0, "esquina.dxf");
        QCOMPARE(f.shown().size(), asked + 1);
        QCOMPARE(w.Estado->text(),
                 QString("Importado esquina.dxf: la estructura tiene 3 nudos y 2 barras."));
        QCOMPARE(w.preview().barCount(), 2);  // read back from the disk
        QVERIFY(w.Picture1->image() != before);
    }

    void doubleClickingAFileImportsIt() {
        Fixture f(false);  // a new structure: nothing to replace, nothing asked
        f.work.write("nueva.DXF", dxf({{0, 0, 0, 0, 0, 5}}));
        ExchangeWindow w(f.context);
        w.show();
        QVERIFY(!w.Exp->isEnabled());  // nothing to export yet
        // A double click as the window system delivers it.
        QWidget* list = w.List1->viewport();
        const QPoint at = w.List1->visualItemRect(w.List1->item(0)).center();
        QTest::mousePress(list, Qt::LeftButton, {}, at);
        QTest::mouseRelease(list, Qt::LeftButton, {}, at);
        QTest::mouseDClick(list, Qt::LeftButton, {}, at);
        QTest::mouseRelease(list, Qt::LeftButton, {}, at);
        QVERIFY(f.shown().empty());
        QVERIFY(w.Exp->isEnabled() && w.preview().barCount() == 1);  // read back from the disk
    }

    void closingDuringAnImportStopsItAndChangesNothing() {
        Fixture f;
        std::vector<std::array<float, 6>> chain;
        for (int i = 0; i < 200000; ++i)
            chain.push_back({float(i), 0, 0, float(i + 1), 0, 0});
        f.work.write("grande.dxf", dxf(chain));
        const std::string old = f.snapshot();
        ExchangeWindow w(f.context);
        test::closeWhileBusy(w, f.context, [&] { importFile(w, 0, "grande.dxf"); },
                             {w.Comenzar, w.Salir});
        QCOMPARE(f.snapshot(), old);
    }
};

QTEST_MAIN(ExchangeWindowTest)
#include "exchange_window_test.moc"
