#include "ui/printer.h"

#include <QPrinterInfo>
#include <system_error>

#include "ui/convert.h"

namespace vanto::ui {

namespace fs = std::filesystem;

std::unique_ptr<QtPrinter> QtPrinter::openDefault(const fs::path& fallbackDirectory,
                                                  const std::string& documentName,
                                                  Messages& messages, bool systemPrinter) {
    const QPrinterInfo info = systemPrinter ? QPrinterInfo::defaultPrinter() : QPrinterInfo();
    if (!info.isNull()) {
        auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        printer->setDocName(qs(documentName));
        return std::unique_ptr<QtPrinter>(new QtPrinter(std::move(printer), {}, {}, messages));
    }
    // The PDF is written beside its final name and renamed when complete, so a
    // failed print never leaves half a document.
    const fs::path target = fallbackDirectory / (documentName + ".pdf");
    const fs::path temporary = fallbackDirectory / ("~" + documentName + ".pdf.tmp");
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(qpath(temporary));
    printer->setDocName(qs(documentName));
    return std::unique_ptr<QtPrinter>(
        new QtPrinter(std::move(printer), target, temporary, messages));
}

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer, fs::path pdfPath, fs::path temporary,
                     Messages& messages)
    : printer_(std::move(printer)),
      pdfPath_(std::move(pdfPath)),
      temporary_(std::move(temporary)),
      messages_(messages) {
    const double dpi = printer_->resolution();
    const QRect page = printer_->pageLayout().paintRectPixels(printer_->resolution());
    surface_.attach(printer_.get(), QSizeF(page.size()), dpi);
    surface_.setXorSupported(false);
}

QtPrinter::~QtPrinter() {
    if (!ended_) {
        if (pdfPath_.empty()) printer_->abort();
        surface_.detach();
        if (!temporary_.empty()) {
            std::error_code ec;
            fs::remove(temporary_, ec);
        }
    }
}

void QtPrinter::newPage() {
    surface_.begin();
    printer_->newPage();
    surface_.resetScale();
}

void QtPrinter::endDocument() {
    if (ended_) return;
    ended_ = true;
    surface_.begin();
    surface_.detach();
    if (pdfPath_.empty()) return;
    std::error_code ec;
    if (fs::exists(temporary_, ec)) fs::rename(temporary_, pdfPath_, ec);
    if (ec || !fs::exists(pdfPath_)) {
        fs::remove(temporary_, ec);
        messages_.show("Imprimir", "No se pudo escribir el fichero: " + pdfPath_.string(),
                       MessageIcon::Exclamation);
        return;
    }
    messages_.show("Imprimir",
                   "No hay ninguna impresora instalada.\n"
                   "El documento se ha guardado en el fichero:\n" +
                       pdfPath_.string(),
                   MessageIcon::Information);
}

}  // namespace vanto::ui
