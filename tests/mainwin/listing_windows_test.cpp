// The listing window, the results viewer and the printing of their texts.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "mainwin/listing_window.h"
#include "mainwin/results_viewer.h"
#include "mainwin/text_print.h"
#include "window_support.h"

using namespace vanto;
using test::Fixture;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> printedLines(const test::RecordingPrinter& p) {
    std::vector<std::string> out;
    for (const auto& page : p.pages)
        for (const auto& c : page)
            if (c.op == "text") out.push_back(c.text);
    return out;
}

QString shown(const std::string& file) {
    return QString::fromStdString(file).replace("\r\n", "\n");
}

}  // namespace

class ListingWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void listarWritesTheListingAndShowsIt() {
        Fixture f;
        ListingWindow w(f.context);
        QCOMPARE(w.Texto->toPlainText(), QString("Todavía no existe ningún listado."));
        QTest::mouseClick(w.Listar, Qt::LeftButton);
        const std::string written = f.dir.read("listado.txt");
        QVERIFY(written.starts_with("Programa: Vanto 2.11\r\n"));
        QVERIFY(written.find("Fecha (d-m-a): 07-03-2024") != std::string::npos);
        QCOMPARE(w.Texto->toPlainText(), shown(written));
        QVERIFY(!w.Guardar->isEnabled());
        QVERIFY(f.context.recorded().shown.empty());
    }

    void editsAreSavedAsTypedAndNotLostInSilence() {
        Fixture f;
        f.dir.write("listado.txt", "Programa: Vanto 2.11\r\nLínea dos\r\n");
        {
            ListingWindow w(f.context);
            w.show();
            QVERIFY(!w.Guardar->isEnabled());
            w.Texto->moveCursor(QTextCursor::End);
            QTest::keyClicks(w.Texto, "Nueva 1,5");
            QTest::mouseClick(w.Guardar, Qt::LeftButton);
            QCOMPARE(f.dir.read("listado.txt"),
                     std::string("Programa: Vanto 2.11\r\nLínea dos\r\nNueva 1,5"));
            QVERIFY(!w.Guardar->isEnabled());

            w.Texto->setPlainText("cambiado\n");
            QVERIFY(w.Guardar->isEnabled());
            // Declining to regenerate keeps the edits.
            f.context.recorded().answer = MessageAnswer::No;
            QTest::mouseClick(w.Listar, Qt::LeftButton);
            QCOMPARE(w.Texto->toPlainText(), QString("cambiado\n"));
            QCOMPARE(f.context.recorded().shown.back().buttons, MessageButtons::YesNo);
            // Leaving (Escape as "Salir"): Cancel stays, Yes saves them.
            QSignalSpy finished(&w, &ui::ModuleWindow::finished);
            f.context.recorded().answer = MessageAnswer::Cancel;
            QTest::keyClick(w.Texto, Qt::Key_Escape);
            QCOMPARE(f.context.recorded().shown.back().buttons, MessageButtons::YesNoCancel);
            QVERIFY(w.isVisible() && finished.isEmpty());
            f.context.recorded().answer = MessageAnswer::Yes;
            QTest::mouseClick(w.Salir, Qt::LeftButton);
            QCOMPARE(finished.count(), 1);
            QCOMPARE(f.context.recorded().shown.back().text,
                     std::string("¿ Desea guardar las modificaciones del listado ?"));
        }
        QCOMPARE(f.dir.read("listado.txt"), std::string("cambiado\r\n"));
    }

    void listarWithoutDataClosesTheWindow() {
        Fixture f(std::nullopt);
        ListingWindow w(f.context);
        w.show();
        QVERIFY(test::finishesOnce(w, [&] { QTest::mouseClick(w.Listar, Qt::LeftButton); }));
        QCOMPARE(f.context.recorded().texts(),
                 std::vector<std::string>{"La estructura no tiene los datos básicos."});
        QVERIFY(!fs::exists(f.dir / "listado.txt"));
    }

    void imprimirPrintsTheTextInCourierNine() {
        Fixture f;
        f.dir.write("listado.txt", "Programa: Vanto 2.11\r\n\r\n  DATOS\r\n");
        ListingWindow w(f.context);
        QTest::mouseClick(w.Imprimir, Qt::LeftButton);
        QCOMPARE(f.context.printedTo, std::vector<fs::path>{f.dir.path() / "listado"});
        QVERIFY(f.context.printer.ended);
        QCOMPARE(f.context.printer.font, (Font{"Courier New", 9, false}));
        QCOMPARE(printedLines(f.context.printer),
                 (std::vector<std::string>{"Programa: Vanto 2.11", "  DATOS"}));
    }

    void resultsViewerSwitchesBetweenTheTwoListings() {
        Fixture f;
        ResultsViewer v(f.context);
        v.show();
        QCOMPARE(v.Texto->toPlainText(), QString("Todavía no existe el listado."));
        f.dir.write("DIAGRAMA.RES", "Diagramas\r\n\r\n  Barra 1\r\n");
        f.dir.write("Resultad.res", "Resultados\r\n");
        QTest::mouseClick(v.ComDia, Qt::LeftButton);
        QCOMPARE(v.windowTitle(), QString("Listado de Diagrama.res"));
        QCOMPARE(v.Texto->toPlainText(), shown(f.dir.read("DIAGRAMA.RES")));
        QVERIFY(v.ComRes->isVisible() && !v.ComDia->isVisible());
        QTest::mouseClick(v.ComRes, Qt::LeftButton);
        QCOMPARE(v.windowTitle(), QString("Listado de Resultad.res"));
        QCOMPARE(v.Texto->toPlainText(), shown(f.dir.read("Resultad.res")));

        QTest::mouseClick(v.ComDia, Qt::LeftButton);
        QTest::mouseClick(v.Prnt, Qt::LeftButton);
        QCOMPARE(f.context.printer.font.name, std::string("Letter Gothic"));
        QCOMPARE(f.context.printedTo.back(), f.dir.path() / "Diagrama");
        QCOMPARE(printedLines(f.context.printer),
                 (std::vector<std::string>{"Diagramas", "  Barra 1"}));
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
        QCOMPARE(printer.pages[1][0].x1, PrintMargin);
        QCOMPARE(printer.pages[1][0].y1, PrintMargin);
        QCOMPARE(printer.pages[1][1].y1, PrintMargin + 200);

        // A form feed starts a page; a line wider than the page shrinks the font.
        test::RecordingPrinter fed;
        printText(fed, "uno\n\fdos\n" + std::string(200, 'x') + "\n",
                  Font{"Letter Gothic", 9, false});
        QCOMPARE(fed.pages.size(), size_t(2));
        QCOMPARE(fed.pages[1][0].text, std::string("dos"));
        QCOMPARE(fed.font.size, SmallestPrintSize);  // 9 · 9560 / 20000 is below the floor
        test::RecordingPrinter wide;
        printText(wide, std::string(120, 'x'), Font{"Courier New", 9, false});
        QCOMPARE(wide.font.size, 9 * (11000 - 2 * PrintMargin) / 12000);
    }
};

QTEST_MAIN(ListingWindowsTest)
#include "listing_windows_test.moc"
