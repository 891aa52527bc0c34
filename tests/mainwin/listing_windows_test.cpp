// The listing window, the results viewer and the printing of their texts.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "analysis/calculation.h"
#include "mainwin/listing_window.h"
#include "mainwin/results_viewer.h"
#include "mainwin/structures.h"
#include "mainwin/text_print.h"
#include "support/tempdir.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {

struct Fixture {
    Fixture() {
        test::portal().write(dir.path());
        context.session().settings.StructureDirectory = dir.path().string();
    }
    void calculate() {
        struct : analysis::CalcObserver {
            void report(int, long long, long long) override {}
        } quiet;
        analysis::runCalculation(dir.path(), {}, quiet, context.clock());
    }
    test::TempDir dir;
    test::TestContext context;
};

std::vector<std::string> printedLines(const test::RecordingPrinter& p) {
    std::vector<std::string> out;
    for (const auto& page : p.pages)
        for (const auto& c : page)
            if (c.op == "text") out.push_back(c.text);
    return out;
}

}  // namespace

class ListingWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void listingWindowBeforeAndAfterListar() {
        Fixture f;
        ListingWindow w(f.context);
        QCOMPARE(w.windowTitle(), QString::fromStdString(f.dir.path().string()).toUpper());
        QCOMPARE(w.Texto->toPlainText(), QString("Todavía no existe ningún listado."));
        QCOMPARE(QFontInfo(w.Texto->font()).fixedPitch(), true);
        QCOMPARE(w.Texto->font().family(), QString("Courier New"));
        QCOMPARE(w.Texto->toolTip(),
                 QString("Puede editar aquí la estructura, si luego guardar las modificaciones e "
                         "importa este Listado.txt"));
        QCOMPARE(w.Listar->toolTip(), QString("Vuelva a generar el listado"));
        QCOMPARE(w.Guardar->toolTip(), QString("Guarda las modificaciones"));
        QVERIFY(!w.Guardar->isEnabled());

        QTest::mouseClick(w.Listar, Qt::LeftButton);
        const std::string written = f.dir.read("listado.txt");
        QVERIFY(written.rfind("Programa: Vanto 2.11\r\n", 0) == 0);
        QVERIFY(written.find("Fecha (d-m-a): 07-03-2024") != std::string::npos);
        QCOMPARE(w.Texto->toPlainText().toStdString() + "",
                 QString::fromStdString(written).replace("\r\n", "\n").toStdString());
        QVERIFY(!w.Guardar->isEnabled());
        QVERIFY(f.context.recorded().shown.empty());

        // A second window shows the listing that is now on disk.
        ListingWindow again(f.context);
        QCOMPARE(again.Texto->toPlainText(), w.Texto->toPlainText());
    }

    void editsEnableGuardarWhichSavesThemAsTyped() {
        Fixture f;
        f.dir.write("listado.txt", "Programa: Vanto 2.11\r\nLínea dos\r\n");
        ListingWindow w(f.context);
        w.show();
        QCOMPARE(w.Texto->toPlainText(), QString("Programa: Vanto 2.11\nLínea dos\n"));
        QVERIFY(!w.Guardar->isEnabled());
        w.Texto->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.Texto, "Nueva 1,5");
        QVERIFY(w.Guardar->isEnabled());
        QTest::mouseClick(w.Guardar, Qt::LeftButton);
        QCOMPARE(f.dir.read("listado.txt"),
                 std::string("Programa: Vanto 2.11\r\nLínea dos\r\nNueva 1,5"));
        QVERIFY(!w.Guardar->isEnabled());
    }

    void unsavedEditsAreNotLostInSilence() {
        Fixture f;
        f.dir.write("listado.txt", "original\r\n");
        {
            ListingWindow w(f.context);
            w.Texto->setPlainText("cambiado\n");
            QVERIFY(w.Guardar->isEnabled());
            // Declining to regenerate keeps the edits.
            f.context.recorded().answer = MessageAnswer::No;
            QTest::mouseClick(w.Listar, Qt::LeftButton);
            QCOMPARE(w.Texto->toPlainText(), QString("cambiado\n"));
            QCOMPARE(f.context.recorded().shown.back().buttons, MessageButtons::YesNo);
            // Leaving: the answer Yes saves them.
            f.context.recorded().answer = MessageAnswer::Yes;
            QSignalSpy finished(&w, &ui::ModuleWindow::finished);
            QTest::mouseClick(w.Salir, Qt::LeftButton);
            QCOMPARE(finished.count(), 1);
            QCOMPARE(f.context.recorded().shown.back().text,
                     std::string("¿ Desea guardar las modificaciones del listado ?"));
        }
        QCOMPARE(f.dir.read("listado.txt"), std::string("cambiado\r\n"));
    }

    void listarWithoutDataClosesTheWindow() {
        test::TempDir empty;
        test::TestContext context;
        context.session().settings.StructureDirectory = empty.path().string();
        ListingWindow w(context);
        w.show();
        QSignalSpy finished(&w, &ui::ModuleWindow::finished);
        QTest::mouseClick(w.Listar, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!w.isVisible());
        QCOMPARE(context.recorded().texts(),
                 std::vector<std::string>{"La estructura no tiene los datos básicos."});
        QVERIFY(!fs::exists(empty / "listado.txt"));
    }

    void imprimirPrintsTheTextInCourierNine() {
        Fixture f;
        f.dir.write("listado.txt", "Programa: Vanto 2.11\r\n\r\n  DATOS\r\n");
        ListingWindow w(f.context);
        QTest::mouseClick(w.Imprimir, Qt::LeftButton);
        QCOMPARE(f.context.printedTo, std::vector<fs::path>{f.dir.path() / "listado"});
        QVERIFY(f.context.printer.ended);
        QCOMPARE(f.context.printer.page.font, (Font{"Courier New", 9, false}));
        QCOMPARE(printedLines(f.context.printer),
                 (std::vector<std::string>{"Programa: Vanto 2.11", "  DATOS"}));
    }

    void resultsViewerBeforeAndAfterACalculation() {
        Fixture f;
        ResultsViewer v(f.context);
        v.show();
        QCOMPARE(v.CurrentListing(), std::string("Resultad"));
        QCOMPARE(v.windowTitle(), QString("Listado de Resultad.res"));
        QCOMPARE(v.Label1->text(), QString("RESULTAD"));
        QCOMPARE(v.Texto->toPlainText(), QString("Todavía no existe el listado."));
        QVERIFY(v.Texto->isReadOnly());
        QVERIFY(!v.ComRes->isVisible() && v.LabRes->isVisible());
        QVERIFY(v.ComDia->isVisible() && !v.LabDia->isVisible());
        QCOMPARE(v.Texto->font().family(), QString("Courier New"));

        QTest::mouseClick(v.ComDia, Qt::LeftButton);
        QCOMPARE(v.windowTitle(), QString("Listado de Diagrama.res"));
        QCOMPARE(v.Label1->text(), QString("DIAGRAMA"));
        QCOMPARE(v.Texto->toPlainText(), QString("Todavía no existe el listado."));
        QVERIFY(v.ComRes->isVisible() && !v.LabRes->isVisible());
        QVERIFY(!v.ComDia->isVisible() && v.LabDia->isVisible());
        QCOMPARE(v.Texto->font().family(), QString("Letter Gothic"));
        QVERIFY(QFontInfo(v.Texto->font()).fixedPitch());

        // A calculation in between shows after switching back and forth.
        f.calculate();
        QTest::mouseClick(v.ComRes, Qt::LeftButton);
        QCOMPARE(v.Texto->toPlainText(),
                 QString::fromStdString(f.dir.read("Resultad.res")).replace("\r\n", "\n"));
        QVERIFY(v.Texto->toPlainText().startsWith("Programa: Vanto 2.11"));
        QTest::mouseClick(v.ComDia, Qt::LeftButton);
        QCOMPARE(v.Texto->toPlainText(),
                 QString::fromStdString(f.dir.read("DIAGRAMA.RES")).replace("\r\n", "\n"));

        QTest::mouseClick(v.Prnt, Qt::LeftButton);
        QCOMPARE(f.context.printer.page.font.name, std::string("Letter Gothic"));
        QCOMPARE(f.context.printedTo.back(), f.dir.path() / "Diagrama");
        QVERIFY(printedLines(f.context.printer).size() > 10);
    }

    void printedTextBreaksPagesAndFitsItsWidth() {
        // The fake page: 11000 × 15000 twips, 200 twips a line, 100 a character.
        test::RecordingPrinter printer;
        std::string text;
        for (int i = 1; i <= 150; ++i)
            text += "linea " + std::to_string(i) + "\r\n";
        QCOMPARE(printText(printer, text, Font{"Courier New", 9, false}), 3);
        QCOMPARE(printer.pages.size(), size_t(3));
        // (15000 − 2 · 720) / 200 = 67.8: 67 lines a page.
        QCOMPARE(printer.pages[0].size(), size_t(67));
        QCOMPARE(printer.pages[2].size(), size_t(150 - 134));
        QCOMPARE(printer.pages[1][0].text, std::string("linea 68"));
        QCOMPARE(printer.pages[1][0].y1, PrintMargin);
        QCOMPARE(printer.pages[1][1].y1, PrintMargin + 200);
        QCOMPARE(printer.pages[1][0].x1, PrintMargin);

        // A form feed starts a page; a line wider than the page shrinks the font.
        test::RecordingPrinter fed;
        printText(fed, "uno\n\fdos\n" + std::string(200, 'x') + "\n",
                  Font{"Letter Gothic", 9, false});
        QCOMPARE(fed.pages.size(), size_t(2));
        QCOMPARE(fed.pages[1][0].text, std::string("dos"));
        QCOMPARE(fed.page.font.size, SmallestPrintSize);  // 9 · 9560 / 20000 is below the floor
        test::RecordingPrinter wide;
        printText(wide, std::string(120, 'x'), Font{"Courier New", 9, false});
        QCOMPARE(wide.page.font.size, 9 * (11000 - 2 * PrintMargin) / 12000);
    }
};

QTEST_MAIN(ListingWindowsTest)
#include "listing_windows_test.moc"
