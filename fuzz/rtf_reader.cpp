// The RTF reader needs a GUI application for its fonts; a headless one does.
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "ui/rtf.h"

namespace vanto::fuzz {

void rtf(std::string_view input) {
    static const std::unique_ptr<QGuiApplication> app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
    QTextDocument document, again;
    if (!rtf::read(QByteArray(input.data(), qsizetype(input.size())), document)) return;
    // Whatever was read is written so that it reads back as the same text.
    if (!rtf::read(rtf::write(document), again) || again.toPlainText() != document.toPlainText())
        throw std::logic_error("RTF: el texto escrito no se lee igual");
}

}  // namespace vanto::fuzz
