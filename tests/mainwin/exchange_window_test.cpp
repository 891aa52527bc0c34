// The import/export window: its controls and file lists, each of the four
// imports driven from the list, the broken files that change nothing, the DXF
// export in both colourings, the preview, and the stop on closing.

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <fstream>
#include <sstream>

#include "exchange/dxf_export.h"
#include "exchange/dxf_import.h"
#include "mainwin/exchange_window.h"
#include "model/files.h"
#include "model/helpers.h"
#include "reports/listing.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/qt_surface.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {

// A work directory holding the structure "Nave", remembered in NOMBRE.DAT.
struct Fixture {
    explicit Fixture(const test::Frame* frame = nullptr) {
        fs::create_directories(structure);
        if (frame) frame->write(structure);
        Session& s = context.session();
        s.settingsDirectory = settings.path();
        s.settings = {"/", work.path().string(), "Nave", structure.string(), "", 0};
        DiscoX::writeSettings(s);
    }
    explicit Fixture(const test::Frame& frame) : Fixture(&frame) {}
    std::string snapshot() const { return test::snapshot(structure); }
    std::string read(const std::string& name) const {
        std::ifstream in(structure / name, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    StructureCounts counts() const {
        StructureCounts c;
        DiscoX::readDatos(structure, c);
        return c;
    }
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

std::vector<std::array<float, 6>> looseLines(int count) {
    std::vector<std::array<float, 6>> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back({float(i), 0, 0, float(i), 1, 0});
    return lines;
}

QStringList entries(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Clicks an option on its button, as the user does, whatever room the layout
// gives it.
void click(QRadioButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

void choose(ExchangeWindow& w, int import) {
    click(w.Imp[std::size_t(import)]);
}

// Clicks the entry `name` of the file list, as the user picks a file.
void pick(ExchangeWindow& w, const QString& name) {
    const auto found = w.List1->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    w.List1->scrollToItem(found.first());
    QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {},
                      w.List1->visualItemRect(found.first()).center());
    QVERIFY(found.first()->isSelected());
}

// A double click on an entry of a list, as the window system delivers it:
// press, release, double click, release.
void doubleClick(QListWidget* list, QListWidgetItem* item) {
    const QPoint at = list->visualItemRect(item).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

void importFile(ExchangeWindow& w, int import, const QString& name) {
    choose(w, import);
    pick(w, name);
    QVERIFY(w.Comenzar->isEnabled());
    QTest::mouseClick(w.Comenzar, Qt::LeftButton);
}

// The box around the preview's bars (Palette16 14, yellow), as fractions of
// the picture.
QRectF barsBox(const QImage& image) {
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) < 128 || qGreen(p) < 128 || qBlue(p) > 100) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    if (right < 0) return {};
    return {double(left) / image.width(), double(top) / image.height(),
            double(right - left + 1) / image.width(), double(bottom - top + 1) / image.height()};
}

}  // namespace

class ExchangeWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setDecimalSeparator('.'); }

    void opensOnTheWorkDirectoryWithTheDxfImportChosen() {
        Fixture f(test::portal());
        f.work.write("plano.dxf", dxf({{0, 0, 0, 1, 0, 0}}));
        f.work.write("OTRO.DXF", "");
        f.work.write("mezcla.Dxf", "");
        f.work.write("portico.dat", "");
        f.work.write("listado.TXT", "");
        ExchangeWindow w(f.context);
        w.show();
        QCOMPARE(w.windowTitle(), QString("Importar / Exportar"));
        QCOMPARE(w.Directorio->title(), QString("Directorio origen o destino"));
        QCOMPARE(w.Dir1->path(), f.work.path());
        QCOMPARE(w.Drive1->currentText(), QString("/"));
        QCOMPARE(w.Label1->text(), QString::fromStdString(f.structure.string()));
        QVERIFY(w.Imp[0]->isChecked());
        QCOMPARE(w.Imp[0]->text(), QString("DXF"));
        QCOMPARE(w.Imp[0]->toolTip(), QString("Importa la geometría"));
        QCOMPARE(w.Imp[3]->text(), QString("Listado de VANTO 2"));
        QCOMPARE(w.Imp[3]->toolTip(), QString("Lee las modificaciones del fichero LISTADO.TXT"));
        QCOMPARE(entries(w.List1), QStringList({"mezcla.Dxf", "OTRO.DXF", "plano.dxf"}));
        QVERIFY(!w.Comenzar->isEnabled());
        QVERIFY(w.Exp->isEnabled() && !w.Exp->isChecked());
        QVERIFY(w.ColMono->isChecked() && !w.ColMono->isEnabled());
        QCOMPARE(w.ColTipo->text(), QString("Color según tipos barras"));
        QCOMPARE(w.Text1->text(), QString("Estruct"));
        QVERIFY(!w.Text1->isEnabled());

        // Each import lists its own kind of file.
        choose(w, 1);
        QCOMPARE(entries(w.List1), QStringList({"portico.dat"}));
        choose(w, 2);
        QCOMPARE(entries(w.List1), QStringList({"portico.dat"}));
        choose(w, 3);
        QCOMPARE(entries(w.List1), QStringList({"listado.TXT"}));
        QCOMPARE(w.extension(), QString("TXT"));

        // The export and the imports exclude each other.
        pick(w, "listado.TXT");
        QVERIFY(w.Comenzar->isEnabled());
        click(w.Exp);
        QVERIFY(!w.Imp[3]->isChecked());
        QVERIFY(!w.List1->isEnabled() && w.List1->selectedItems().isEmpty());
        QVERIFY(w.Text1->isEnabled() && w.ColMono->isEnabled() && w.ColTipo->isEnabled());
        QVERIFY(w.Comenzar->isEnabled());
        choose(w, 0);
        QVERIFY(!w.Exp->isChecked() && w.List1->isEnabled() && !w.Text1->isEnabled());
        QVERIFY(!w.Comenzar->isEnabled());

        // Another directory lists its own files.
        fs::create_directories(f.work / "dibujos");
        f.work.write("dibujos/uno.DXF", "");
        w.Dir1->setPath(f.work / "dibujos");
        QCOMPARE(entries(w.List1), QStringList({"uno.DXF"}));
    }

    void aDxfImportReplacesTheStructureAndRedrawsThePreview() {
        Fixture f(test::portal());
        f.work.write("esquina.dxf", dxf({{0, 0, 0, 4, 0, 0}, {4, 0, 0, 4, 0, 3}}));
        std::ofstream(f.structure / "INCOG.RES") << "0\r\n";
        ExchangeWindow w(f.context);
        w.resize(1000, 620);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRectF before = barsBox(w.Picture1->image());
        QVERIFY(before.width() > 0);

        // Declining the question leaves everything as it was.
        const std::string old = f.snapshot();
        f.context.recorded().answer = MessageAnswer::No;
        importFile(w, 0, "esquina.dxf");
        QCOMPARE(f.context.recorded().shown.size(), size_t(1));
        QCOMPARE(f.context.recorded().shown[0].buttons, MessageButtons::YesNo);
        QCOMPARE(f.context.recorded().shown[0].text,
                 std::string("Los datos de la estructura actual se sustituirán por los del "
                             "fichero esquina.dxf.\n¿Desea continuar?"));
        QCOMPARE(f.snapshot(), old);

        f.context.recorded().answer = MessageAnswer::Yes;
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QCOMPARE(f.context.recorded().shown.size(), size_t(2));
        QCOMPARE(f.counts().NodeCount, 3);
        QCOMPARE(f.counts().BarCount, 2);
        QCOMPARE(f.read("BARRAS.DAT"),
                 std::string("1,2,1,0,0,0,0,0,1,1\r\n2,3,1,0,0,0,0,0,1,1\r\n"));
        QCOMPARE(DiscoX::readTypes<float>(f.structure).count, 33);
        QVERIFY(!fileExists(f.structure, "INCOG.RES"));
        QCOMPARE(w.Estado->text(),
                 QString("Importado esquina.dxf: la estructura tiene 3 nudos y 2 barras."));
        QCOMPARE(w.preview().barCount(), 2);
        QVERIFY(w.Imp[0]->isChecked() && w.Comenzar->isEnabled() && w.Salir->isEnabled());

        // The preview shows the new structure, filling 90% of its picture in
        // the limiting direction, centred.
        const QRectF box = barsBox(w.Picture1->image());
        QVERIFY(box != before);
        const double fill = std::max(box.width(), box.height());
        QVERIFY2(fill > 0.87 && fill < 0.93, qPrintable(QString::number(fill)));
        QVERIFY(std::abs(box.center().x() - 0.5) < 0.02);
        QVERIFY(std::abs(box.center().y() - 0.5) < 0.02);
        const QImage image = w.Picture1->image();
        QCOMPARE(image.pixel(2, 2), qRgb(0, 0, 0));
    }

    void doubleClickingAFileImportsIt() {
        Fixture f;  // a new structure: nothing to replace, nothing asked
        f.work.write("nueva.DXF", dxf({{0, 0, 0, 0, 0, 5}}));
        ExchangeWindow w(f.context);
        w.show();
        QVERIFY(!w.Exp->isEnabled());  // nothing to export yet
        const auto item = w.List1->findItems("nueva.DXF", Qt::MatchExactly).first();
        doubleClick(w.List1, item);
        QVERIFY(f.context.recorded().shown.empty());
        QCOMPARE(f.counts().NodeCount, 2);
        QVERIFY(w.Exp->isEnabled());
    }

    void dxfWarningsGoThroughTheMessages() {
        Fixture f(test::portal());
        f.work.write("sueltas.dxf", dxf(looseLines(10)));
        f.work.write("vacio.dxf",
                     "  0\nSECTION\n  2\nENTITIES\n  0\nCIRCLE\n  0\nENDSEC\n  0\nEOF\n");
        ExchangeWindow w(f.context);
        w.show();
        const auto& shown = f.context.recorded().shown;

        const std::string old = f.snapshot();
        importFile(w, 0, "vacio.dxf");
        QCOMPARE(shown.size(), size_t(2));  // the question, then the warning
        QCOMPARE(shown[1].title, std::string("¡ Aviso !"));
        QCOMPARE(shown[1].text, std::string("El fichero no contiene ninguna LINEA o 3DLINEA."));
        QCOMPARE(shown[1].icon, MessageIcon::Exclamation);
        QCOMPARE(f.snapshot(), old);
        QCOMPARE(w.Estado->text(), QString());

        importFile(w, 0, "sueltas.dxf");
        QCOMPARE(shown.size(), size_t(4));
        QCOMPARE(shown[3].title, std::string("¡ Aviso !"));
        QCOMPARE(shown[3].text, std::string("Esta estructura tiene gran número de barras\n"
                                            "sin conectar entre sí, eso podría ser \n"
                                            "un error, por lo que debería revisarla."));
        QCOMPARE(f.counts().NodeCount, 20);  // imported all the same
        QCOMPARE(f.counts().BarCount, 10);
    }

    void thePlaneFrameFilesOfBothProgramsImport() {
        Fixture f(test::portal());
        f.work.write("uno.dat",
                     "Portico de prueba\r\n"
                     "3 2 1\r\n"
                     "Tipos\r\n"
                     "1 2100000 30 600 45000\r\n"
                     "Barras\r\n"
                     "1 2 1\r\n"
                     "2 3 1\r\n"
                     "Nudos\r\n"
                     "0 0\r\n0 4\r\n5 4\r\n"
                     "Coacciones\r\n"
                     "0 0 0\r\n1234 1234 1234\r\n0 0.01 1234\r\n"
                     "Cargas\r\n"
                     "0 0 0\r\n2 -1 0\r\n0 0 0\r\n"
                     "Cargas en barras\r\n"
                     "-1.5 0 0 0 0 0 0\r\n-2 0 0 0 0 0 0\r\n");
        f.work.write("cuatro.DAT",
                     "Titulo primera linea\n"
                     "Titulo segunda linea\n"
                     "1 3 2\n"
                     "Tipos\n"
                     "2 250000 40 1256.6 125664\n"
                     "Nudos\n"
                     "0 0\n0 3\n4 3\n"
                     "Barras\n"
                     "1 2 1 1 0.5 0\n2 3 1 0.5 1 0\n"
                     "Coacciones\n"
                     "0 0 0\n1234 1234 1234\n0 0 0\n"
                     "Cargas\n"
                     "0 0 0\n0 0 0\n0 0 0\n0 0 0\n"
                     "1 0 0\n0 -2 0\n0 -1 0\n0 0 0\n"
                     "0 0 0\n0 0 0\n0 0 0\n0 0 0\n"
                     "Cargas en barras\n"
                     "1 0 0 0 0 0 0 0\n0.5 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n"
                     "2 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0\n");
        ExchangeWindow w(f.context);
        w.show();

        importFile(w, 1, "uno.dat");
        QCOMPARE(f.context.recorded().shown.size(), size_t(1));  // the question only
        QCOMPARE(f.counts().NodeCount, 3);
        QCOMPARE(f.read("BARRAS.DAT"),
                 std::string("1,2,1,0,-1.5,0,0,0,1,1\r\n2,3,1,0,-2,0,0,0,1,1\r\n"));
        Table<float> xyz = DiscoX::readCoordinates(f.structure, 3);
        QCOMPARE(xyz(3, 1), 0.0f);  // the frame's plane is Y–Z
        QCOMPARE(xyz(3, 2), 5.0f);
        QCOMPARE(xyz(3, 3), 4.0f);
        auto fixed =
            DiscoX::readNodeValuesFlat<double>(f.structure, DiscoX::NodeFile::Restraints, 3);
        const double node3[] = {0, 0, -0.01, 1234, 1234, 1234};
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(fixed[12 + k], node3[k - 1]);
        auto loads = DiscoX::readNodeValuesFlat<double>(f.structure, DiscoX::NodeFile::Loads, 3);
        const double node2[] = {0, 2, -1, 0, 0, 0};
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(loads[6 + k], node2[k - 1]);
        BarTypes<float> types = DiscoX::readTypes<float>(f.structure);
        QCOMPARE(types.count, 1);
        QCOMPARE(types.names[1], std::string("A-42......30x20"));
        QCOMPARE(types.values(1, InerZ), 20000.0f);
        QCOMPARE(types.values(1, InerY), 45000.0f);

        importFile(w, 2, "cuatro.DAT");
        QCOMPARE(f.context.recorded().shown.size(), size_t(2));
        QCOMPARE(f.read("BARRAS.DAT"),
                 std::string("1,2,1,0,-1.5,0,0,0,1,0.5\r\n2,3,1,0,-2,0,0,0,0.5,1\r\n"));
        loads = DiscoX::readNodeValuesFlat<double>(f.structure, DiscoX::NodeFile::Loads, 3);
        const double summed[] = {0, 1, -3, 0, 0, 0};
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(loads[6 + k], summed[k - 1]);
        types = DiscoX::readTypes<float>(f.structure);
        QCOMPARE(types.names[1], std::string("H-250.......d40"));
        QCOMPARE(types.values(1, InerZ), 125664.0f);
        QCOMPARE(types.values(1, TL), 250.0f);
        QCOMPARE(w.Estado->text(),
                 QString("Importado cuatro.DAT: la estructura tiene 3 nudos y 2 barras."));
    }

    void anEditedListingImports() {
        Fixture f(test::portal());
        reports::writeDataListing(f.structure, f.context.clock());
        std::string listing = f.read("listado.txt");
        for (auto [from, to] :
             {std::pair<std::string, std::string>{"   2         2.000", "   2         5.000"},
              {"-3.000", "-4.500"}}) {
            const auto at = listing.find(from);
            QVERIFY2(at != std::string::npos, from.c_str());
            listing.replace(at, from.size(), to);
        }
        std::ofstream(f.structure / "listado.txt", std::ios::binary) << listing;
        std::ofstream(f.structure / "DIAGRAMA.RES") << "0\r\n";

        ExchangeWindow w(f.context);
        w.show();
        w.Dir1->setPath(f.structure);  // the listing lives with its structure
        choose(w, 3);
        QCOMPARE(entries(w.List1), QStringList({"listado.txt"}));
        importFile(w, 3, "listado.txt");
        QCOMPARE(f.context.recorded().shown.size(), size_t(1));
        const Table<float> bars = DiscoX::readBars(f.structure, 3);
        QCOMPARE(bars(2, VerticalLoad), -4.5f);
        const auto loads =
            DiscoX::readNodeValuesFlat<double>(f.structure, DiscoX::NodeFile::Loads, 4);
        QCOMPARE(loads[7], 5.0);
        QVERIFY(!fileExists(f.structure, "DIAGRAMA.RES"));
        QVERIFY(fileExists(f.structure, "listado.txt"));
    }

    void brokenFilesShowTheirMessageAndChangeNothing() {
        Fixture f(test::portal());
        f.work.write("roto.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nabc\n");
        f.work.write("roto.dat", "Titulo\n3 2 1\nTipos\n1 2100000 30 600 45000\nBarras\n1 9 1\n");
        f.work.write("corto.txt", "Programa: Vanto 2.11\r\n\r\nDATOS\r\n\r\n");
        std::ofstream(f.structure / "INCOG.RES") << "0\r\n";
        const std::string old = f.snapshot();
        ExchangeWindow w(f.context);
        w.show();
        const auto& shown = f.context.recorded().shown;
        const struct {
            int import;
            const char* file;
        } cases[] = {{0, "roto.dxf"}, {1, "roto.dat"}, {2, "roto.dat"}, {3, "corto.txt"}};
        for (const auto& c : cases) {
            const std::size_t before = shown.size();
            importFile(w, c.import, c.file);
            QCOMPARE(shown.size(), before + 2);  // the question, then the refusal
            QCOMPARE(shown.back().title, std::string("¡ Aviso !"));
            QVERIFY2(!shown.back().text.empty(), c.file);
            QCOMPARE(f.snapshot(), old);
            QVERIFY(w.Comenzar->isEnabled());
        }
        QVERIFY2(shown[1].text.rfind("roto.dxf", 0) == 0, shown[1].text.c_str());
        QVERIFY2(shown[3].text.rfind("roto.dat, línea ", 0) == 0, shown[3].text.c_str());
        QVERIFY(f.context.fatalErrors.empty());
        // No staging directory is left behind.
        for (const auto& e : fs::directory_iterator(f.structure))
            QVERIFY(!e.is_directory());
    }

    void theExportWritesTheBarsMonochromeOrByType() {
        Fixture f(test::portal());
        test::TempDir reference;
        ExchangeWindow w(f.context);
        w.show();
        click(w.Exp);
        w.Text1->selectAll();
        QTest::keyClicks(w.Text1, "Salida");
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QVERIFY(f.context.recorded().shown.empty());
        exchange::dxfout(f.structure, reference / "mono", false);
        QCOMPARE(f.work.read("Salida.DXF"), reference.read("mono.DXF"));
        QVERIFY(f.work.read("Salida.DXF").find("\r\n 62\r\n") == std::string::npos);
        QCOMPARE(entries(w.List1), QStringList({"Salida.DXF"}));  // listed again
        QCOMPARE(
            w.Estado->text(),
            "Escrito el fichero " + QString::fromStdString((f.work / "Salida.DXF").string()) + ".");

        // By type: bar types 2, 1, 2 give colours 3, 2, 3. Replacing the old
        // file is asked first.
        click(w.ColTipo);
        f.context.recorded().answer = MessageAnswer::No;
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QCOMPARE(f.context.recorded().shown.size(), size_t(1));
        QCOMPARE(f.context.recorded().shown[0].text,
                 std::string("El fichero Salida.DXF ya existe.\n¿Desea sustituirlo?"));
        QCOMPARE(f.work.read("Salida.DXF"), reference.read("mono.DXF"));
        f.context.recorded().answer = MessageAnswer::Yes;
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        exchange::dxfout(f.structure, reference / "tipos", true);
        const std::string byType = f.work.read("Salida.DXF");
        QCOMPARE(byType, reference.read("tipos.DXF"));
        std::vector<std::string> colours;
        for (std::size_t at = byType.find("\r\n 62\r\n"); at != std::string::npos;
             at = byType.find("\r\n 62\r\n", at + 1))
            colours.push_back(byType.substr(at + 7, byType.find('\r', at + 7) - at - 7));
        QCOMPARE(colours, std::vector<std::string>({"3", "2", "3"}));
        // The structure itself is untouched by an export.
        QVERIFY(w.Comenzar->isEnabled() && w.Exp->isChecked());
    }

    void theExportNeedsANameAndAStructureOfThisVersion() {
        Fixture f(test::portal());
        ExchangeWindow w(f.context);
        w.show();
        click(w.Exp);
        w.Text1->clear();
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        QCOMPARE(
            f.context.recorded().texts(),
            std::vector<std::string>{"Escriba en «Nombre:» el nombre del fichero DXF, sin «/»."});

        Fixture other(test::portal());
        std::ofstream(other.structure / "DATOS.DAT", std::ios::binary)
            << "\"Otro 3.0\"\r\n4\r\n3\r\n";
        ExchangeWindow v(other.context);
        v.show();
        QVERIFY(v.Exp->isEnabled());
        click(v.Exp);
        QTest::mouseClick(v.Comenzar, Qt::LeftButton);
        const auto& shown = other.context.recorded().shown;
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(shown[0].title, std::string("¡ Aviso !"));
        QCOMPARE(shown[0].text, std::string("Los ficheros de datos de esta estructura\n"
                                            "no son compatibles con la versión actual."));
        QCOMPARE(shown[0].icon, MessageIcon::Critical);
        QVERIFY(!fs::exists(other.work / "Estruct.DXF"));
        QVERIFY(other.context.fatalErrors.empty());

        // Without its bars there is nothing to export.
        Fixture noBars(test::portal());
        fs::remove(noBars.structure / "BARRAS.DAT");
        ExchangeWindow u(noBars.context);
        QVERIFY(!u.Exp->isEnabled());

        // Without a structure there is nothing to import into either.
        Fixture none;
        none.context.session().settings.StructureName.clear();
        none.context.session().settings.StructureDirectory = (none.work / "-").string();
        none.work.write("plano.dxf", dxf({{0, 0, 0, 1, 0, 0}}));
        ExchangeWindow n(none.context);
        n.show();
        QCOMPARE(n.Label1->text(), QString("No hay ninguna estructura seleccionada."));
        for (QRadioButton* r : n.Imp)
            QVERIFY(!r->isEnabled());
        QVERIFY(!n.Exp->isEnabled());
        doubleClick(n.List1, n.List1->item(0));
        QVERIFY(!n.Comenzar->isEnabled());
        QVERIFY(none.context.recorded().shown.empty());
    }

    void closingDuringAnImportStopsItAndChangesNothing() {
        Fixture f(test::portal());
        std::vector<std::array<float, 6>> chain;
        for (int i = 0; i < 200000; ++i)
            chain.push_back({float(i), 0, 0, float(i + 1), 0, 0});
        f.work.write("grande.dxf", dxf(chain));
        const std::string old = f.snapshot();
        ExchangeWindow w(f.context);
        w.show();
        choose(w, 0);
        pick(w, "grande.dxf");
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        std::chrono::steady_clock::time_point closedAt{};
        QTimer watch;
        connect(&watch, &QTimer::timeout, &w, [&] {
            if (!w.running() || !w.isVisible()) return;
            QVERIFY(!w.Comenzar->isEnabled() && !w.Salir->isEnabled() && !w.Importar->isEnabled());
            closedAt = std::chrono::steady_clock::now();
            w.close();
        });
        watch.start(1);
        QTest::mouseClick(w.Comenzar, Qt::LeftButton);
        const auto stopped = std::chrono::steady_clock::now();
        QVERIFY(closedAt.time_since_epoch().count() > 0);
        QCOMPARE(finished.count(), 1);
        QVERIFY(stopped - closedAt < std::chrono::milliseconds(500));
        QCOMPARE(f.context.recorded().shown.size(), size_t(1));  // the question only
        QCOMPARE(f.snapshot(), old);
    }
};

QTEST_MAIN(ExchangeWindowTest)
#include "exchange_window_test.moc"
