// vanto-cli import: replaces a structure with a drawing, another program's file or a listing.

#include <filesystem>
#include <iostream>
#include <map>

#include "app/cli/commands.h"
#include "exchange/dxf_import.h"
#include "exchange/frames.h"
#include "reports/listing_import.h"

namespace vanto::cli {

namespace {

// Warnings that do not stop the import, printed below a finished progress bar.
class ImportMessages : public Messages {
  public:
    explicit ImportMessages(TerminalProgress& progress) : progress_(progress) {}
    MessageAnswer show(std::string_view title, std::string_view text, MessageIcon icon,
                       MessageButtons buttons) override {
        progress_.finish();
        return messages_.show(title, text, icon, buttons);
    }

  private:
    TerminalProgress& progress_;
    StderrMessages messages_;
};

}  // namespace

int runImport(const Invocation& call) {
    const std::string& kind = call.arg(1);
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;
    const std::filesystem::path absolute = std::filesystem::absolute(*dir).lexically_normal();
    const std::filesystem::path file = std::filesystem::absolute(call.arg(2)).lexically_normal();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        std::cerr << "vanto-cli: No existe el fichero: " << file.string() << '\n';
        return BadInput;
    }

    const std::map<int, std::string> captions = {
        {1, kind == "dxf" ? "Línea del dibujo nº:" : "Nudo nº:"},
        {2, kind == "listing" ? "Escribiendo ficheros" : "Barra nº:"}};
    return withProgress<exchange::ExchangeError, reports::ListingImportError>(
        captions, [&](TerminalProgress& progress) {
            exchange::Summary s;
            if (kind == "listing") {
                reports::listin(absolute, file, progress);
                progress.finish();
                std::cout << "Estructura importada del listado " << file.string() << ".\n";
                return Ok;
            }
            if (kind == "dxf") {
                ImportMessages messages(progress);
                s = exchange::dxfin(absolute, file, messages, &progress);
            } else if (kind == "frame1") {
                s = exchange::wmin(absolute, file, &progress);
            } else {
                s = exchange::kvin(absolute, file, &progress);
            }
            progress.finish();
            // A drawing without lines has been reported; nothing was imported.
            if (s.outcome != exchange::Outcome::Written) return BadInput;
            std::cout << "Estructura importada: " << s.nodeCount << " nudos y " << s.barCount
                      << " barras.\n";
            return Ok;
        });
}

}  // namespace vanto::cli
