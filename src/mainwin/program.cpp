#include "mainwin/program.h"

#include <QLibraryInfo>
#include <QLocale>
#include <exception>
#include <new>

#include "mainwin/app_controller.h"
#include "model/files.h"

namespace vanto {

VantoApplication::VantoApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt's own texts (context menus, standard buttons) in Spanish when the
    // translations are installed; in English otherwise.
    if (qtTexts_.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTexts_);
}

bool VantoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const FileError& e) {
        if (controller_) controller_->fatal(e);
    } catch (const std::bad_alloc&) {
        if (controller_)
            controller_->messages().show(
                "¡ Error !", "Error sin tratamiento previsto.\nNº: 7\nMemoria insuficiente",
                MessageIcon::Critical);
    } catch (const std::exception& e) {
        if (controller_)
            controller_->messages().show(
                "¡ Error !", std::string("Error sin tratamiento previsto.\nNº: 5\n") + e.what(),
                MessageIcon::Critical);
    }
    return false;
}

char VantoApplication::localeDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 128) return char(point.at(0).unicode());
    return '.';
}

}  // namespace vanto
