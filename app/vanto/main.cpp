// vanto: the program's windows. Shows the start-up card, then the main window
// on the remembered work directory and structure.

#include "mainwin/app_controller.h"
#include "mainwin/main_window.h"
#include "mainwin/modules.h"
#include "mainwin/program.h"
#include "mainwin/splash.h"
#include "model/helpers.h"
#include "ui/convert.h"
#include "ui/fonts.h"

int main(int argc, char** argv) {
    vanto::VantoApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vanto"));
    QApplication::setApplicationVersion(QStringLiteral("2.11"));

    vanto::ui::installFontSubstitutions();
    vanto::setDecimalSeparator(vanto::VantoApplication::localeDecimalSeparator());

    const auto programDirectory = vanto::ui::fspath(QApplication::applicationDirPath());
    vanto::AppController controller(programDirectory,
                                    vanto::chooseSettingsDirectory(programDirectory));
    vanto::registerModules(controller);
    app.setController(&controller);

    auto* splash = new vanto::SplashWindow;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    QCoreApplication::processEvents();
    controller.start();
    splash->raise();

    const int status = QApplication::exec();
    app.setController(nullptr);
    return status;
}
