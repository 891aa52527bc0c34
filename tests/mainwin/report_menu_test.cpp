// "Memoria de cálculo (PDF)..." in the main window: a click writes the
// report into the structure's directory, lists it and names it; without
// results the calculation's message shows and nothing is written.

#include <QAction>
#include <QListWidget>
#include <QtTest>

#include "analysis/calculation.h"
#include "mainwin/app_controller.h"
#include "mainwin/main_window.h"
#include "support/fakes.h"
#include "window_support.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {
class Quiet : public analysis::CalcObserver {
  public:
    void report(int, long long, long long) override {}
};
}  // namespace

class ReportMenuTest : public QObject {
    Q_OBJECT
  private slots:
    void writesTheReportOrRefuses() {
        test::TempDir program, work;
        test::portal().write(work / "-Nave");
        test::portal().write(work / "-Puente");
        Quiet quiet;
        test::FixedClock clock;
        analysis::runCalculation(work / "-Nave", {}, quiet, clock);
        program.write("NOMBRE.DAT", "\"/\"\r\n\"" + work.path().string() +
                                        "\"\r\n\"Nave\"\r\n\"\"\r\n\"\"\r\n0\r\n");
        test::RecordingMessages messages;
        AppController controller(program.path(), program.path(), &messages, &clock);
        controller.setQuit([](int) {});
        controller.start();
        MainWindow& window = *controller.mainWindow();
        QAction* memoria = window.entry("Memoria");
        QVERIFY(memoria && memoria->isEnabled());
        QCOMPARE(memoria->text(), QString("&Memoria de cálculo (PDF)..."));

        memoria->trigger();
        const fs::path pdf = work / "-Nave" / "memoria.pdf";
        QVERIFY(fs::exists(pdf));
        QCOMPARE(work.read("-Nave/memoria.pdf").substr(0, 8), std::string("%PDF-1.4"));
        QCOMPARE(messages.shown.size(), std::size_t(1));
        QVERIFY(messages.shown[0].text.starts_with("Memoria de cálculo escrita en:\n" +
                                                   pdf.string() + "\n("));
        QVERIFY(!window.findChild<QListWidget*>("List2")
                     ->findItems("memoria.pdf", Qt::MatchExactly)
                     .isEmpty());

        test::clickItem(window.findChild<QListWidget*>("List1"), "Puente");
        memoria->trigger();
        QCOMPARE(messages.shown.size(), std::size_t(2));
        QCOMPARE(messages.shown[1].text,
                 std::string("Antes debe efectuar un cálculo de la estructura"));
        QVERIFY(!fs::exists(work / "-Puente" / "memoria.pdf"));
    }
};

QTEST_MAIN(ReportMenuTest)
#include "report_menu_test.moc"
