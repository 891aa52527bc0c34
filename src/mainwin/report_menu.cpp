#include "mainwin/report_menu.h"

#include <QProgressDialog>
#include <system_error>

#include "analysis/calculation.h"
#include "calcreport/report.h"
#include "model/files.h"
#include "ui/convert.h"
#include "ui/event_pump.h"

namespace vanto {

namespace fs = std::filesystem;

namespace {

constexpr const char* WarningTitle = "¡ Aviso !";

QString progressText(int stage, long long current, long long total) {
    if (stage == calcreport::StageReading) return QStringLiteral("Leyendo datos y resultados...");
    return QStringLiteral("Escribiendo la página %1 de %2...").arg(current).arg(total);
}

}  // namespace

fs::path writeReportFromMenu(ui::AppContext& context, QWidget* parent, const fs::path& dir) {
    Messages& messages = context.messages();
    if (!fileExists(dir, "INCOG.RES")) {
        messages.show(WarningTitle, diagrams::NotCalculatedText, MessageIcon::Exclamation);
        return {};
    }
    const fs::path out = dir / calcreport::ReportName;
    // Shown only when the report takes more than a moment.
    QProgressDialog window(QStringLiteral("Leyendo datos y resultados..."),
                           QStringLiteral("Cancelar"), 0, 1, parent);
    window.setWindowTitle(QStringLiteral("Memoria de cálculo"));
    window.setWindowModality(Qt::WindowModal);
    window.setMinimumDuration(400);
    window.setMinimumWidth(420);
    window.setAutoClose(false);
    window.setAutoReset(false);
    bool stop = false;
    QObject::connect(&window, &QProgressDialog::canceled, [&stop] { stop = true; });
    ui::PumpedProgress progress(
        [&window](int stage, long long current, long long total) {
            window.setLabelText(progressText(stage, current, total));
            window.setMaximum(int(std::max(1LL, total)));
            window.setValue(int(std::min(current, total)));
        },
        stop);
    int pages = 0;
    try {
        pages = calcreport::writeCalculationReport(dir, out, {}, progress, context.clock());
    } catch (const diagrams::DiagramError& e) {
        window.close();
        messages.show(WarningTitle, e.what(), MessageIcon::Exclamation);
        return {};
    } catch (const analysis::CalculationError& e) {
        window.close();
        messages.show(WarningTitle, e.what(), MessageIcon::Exclamation);
        return {};
    } catch (const std::system_error&) {
        window.close();
        messages.show(WarningTitle, "No se pudo escribir el fichero:\n" + out.string(),
                      MessageIcon::Exclamation);
        return {};
    }
    window.close();
    if (pages == 0) return {};
    messages.show("Memoria de cálculo",
                  "Memoria de cálculo escrita en:\n" + out.string() + "\n(" +
                      std::to_string(pages) + " páginas)",
                  MessageIcon::Information);
    return out;
}

}  // namespace vanto
