// The event pump of long loops, list selection, message boxes and the
// reading of number boxes.

#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <thread>

#include "support/message_answerer.h"
#include "ui/event_pump.h"
#include "ui/lists.h"
#include "ui/messages.h"
#include "ui/number_box.h"

using namespace vanto;

class ControlsTest : public QObject {
    Q_OBJECT
  private slots:
    void numberBoxesTakeTheLocaleSeparatorOrAPointAndNothingElse() {
        const struct {
            const char* text;
            char separator;
            std::optional<double> value;
        } cases[] = {
            {"3,5", ',', 3.5}, {"3.5", ',', 3.5},    {" -.5 ", '.', -0.5},
            {"+2", '.', 2},    {"1e3", ',', 1000},   {"3,5", '.', std::nullopt},
            {"", ',', {}},     {"1.000,5", ',', {}}, {"3,5,1", ',', {}},
            {"+-2", '.', {}},  {"12abc", '.', {}},   {"inf", '.', {}},
            {"nan", '.', {}},  {"1e999", '.', {}},   {"-", '.', {}},
        };
        for (const auto& c : cases)
            QVERIFY2(ui::boxNumber(c.text, c.separator) == c.value, c.text);
    }

    void pumpIsThrottledButStopIsReadEveryTime() {
        bool stop = false;
        int shown = 0;
        int timerFired = 0;
        std::vector<long long> lastShown;
        ui::PumpedProgress progress(
            [&](int, long long current, long long) {
                ++shown;
                lastShown.push_back(current);
            },
            stop, 30);
        QTimer::singleShot(0, [&] { ++timerFired; });
        // A quick loop of 100000 rows: only the first report, the stage's end
        // and the stage change get through.
        int stopReads = 0;
        for (long long k = 1; k <= 100000; ++k) {
            progress.report(2, k, 100000);
            stopReads += !progress.stopRequested();
        }
        QCOMPARE(stopReads, 100000);
        QVERIFY2(shown <= 5, qPrintable(QString::number(shown)));
        QCOMPARE(lastShown.back(), 100000LL);
        QCOMPARE(timerFired, 1);  // pending events were processed
        progress.report(3, 1, 10);
        QCOMPARE(lastShown.back(), 1LL);
        // A slow loop is shown about once per interval, however slow the machine.
        shown = 0;
        QElapsedTimer elapsed;
        elapsed.start();
        for (int k = 1; k <= 8; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(12));
            progress.report(3, k + 1, 100);
        }
        const qint64 ms = elapsed.elapsed();
        QVERIFY2(shown >= 2 && shown <= ms / 30 + 1,
                 qPrintable(QString("%1 in %2 ms").arg(shown).arg(ms)));
        stop = true;
        QVERIFY(progress.stopRequested());
    }

    void selectListEntriesSelectsEqualTextsAndRunsTheHandler() {
        QListWidget list;
        list.setSelectionMode(QAbstractItemView::MultiSelection);
        list.addItems({"Nave", "Puente", "Nave 2", "Puente"});
        int handled = 0;
        connect(&list, &QListWidget::itemSelectionChanged, this, [&] { ++handled; });
        ui::SelectListEntries(list, "Puente");
        for (int row = 0; row < 4; ++row)
            QCOMPARE(list.item(row)->isSelected(), row % 2 == 1);
        QCOMPARE(list.currentRow(), 1);
        QVERIFY(handled >= 1);
        handled = 0;
        ui::SelectListEntries(list, "Nav");
        QCOMPARE(handled, 0);

        // A single-selection list takes the first match only.
        QListWidget single;
        single.addItems({"Nave", "Puente", "Puente"});
        QStringList seen;
        connect(&single, &QListWidget::itemSelectionChanged, this, [&] {
            for (auto* i : single.selectedItems())
                seen << i->text();
        });
        ui::SelectListEntries(single, "Puente");
        QCOMPARE(single.selectedItems(), QList<QListWidgetItem*>{single.item(1)});
        QCOMPARE(single.currentRow(), 1);
        QCOMPARE(seen, QStringList{"Puente"});
    }

    void messageBoxShowsTitleTextIconAndSpanishButtons() {
        using A = MessageAnswer;
        const struct {
            MessageButtons buttons;
            const char* press;
            MessageAnswer answer;
            QStringList offered;
        } cases[] = {{MessageButtons::YesNo, "No", A::No, {"No", "Sí"}},
                     {MessageButtons::YesNo, "Sí", A::Yes, {"No", "Sí"}},
                     {MessageButtons::YesNoCancel, "Cancelar", A::Cancel, {"Cancelar", "No", "Sí"}},
                     {MessageButtons::Ok, "Aceptar", A::Ok, {"Aceptar"}}};
        ui::QtMessages messages;
        for (const auto& c : cases) {
            const bool ok = c.buttons == MessageButtons::Ok;
            MessageAnswerer box(c.press);
            QCOMPARE(messages.show("¡ Aviso !", "¿ Seguro ?\nSegunda línea",
                                   ok ? MessageIcon::Critical : MessageIcon::Question, c.buttons),
                     c.answer);
            QCOMPARE(box.title, QString("¡ Aviso !"));
            QCOMPARE(box.text, QString("¿ Seguro ?\nSegunda línea"));
            QCOMPARE(box.icon, ok ? QMessageBox::Critical : QMessageBox::Question);
            box.buttons.sort();
            QCOMPARE(box.buttons, c.offered);
        }
    }
};

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
