// The program's top level: errors escaping a handler, caught before they
// reach Qt's event delivery, and the settings directory.

#include <QPushButton>
#include <QtTest>
#include <cstdlib>
#include <optional>

#include "mainwin/app_controller.h"
#include "mainwin/program.h"
#include "model/files.h"
#include "support/tempdir.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

class ProgramTest : public QObject {
    Q_OBJECT
  private slots:
    void aFileErrorEscapingAHandlerEndsTheProgramWithoutSettings() {
        test::TempDir program;
        program.write("NOMBRE.DAT", "\"/\"\r\n\"/tmp\"\r\n\"\"\r\n\"/tmp/-\"\r\n\"\"\r\n0\r\n");
        test::RecordingMessages messages;
        AppController controller(program.path(), program.path(), &messages);
        std::vector<int> quits;
        controller.setQuit([&](int status) { quits.push_back(status); });
        static_cast<VantoApplication*>(qApp)->setController(&controller);

        QPushButton button;
        connect(&button, &QPushButton::clicked, ui::slot(controller, [&] {
            throw FileError(FileError::Kind::Missing, program / "-X" / "COORDENA.DAT");
        }));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].text,
                 "No existe el fichero: " + (program / "-X" / "COORDENA.DAT").string());
        QCOMPARE(quits, std::vector<int>{2});
        QVERIFY(!fs::exists(program / "NOMBRE.DAT"));
        QVERIFY(controller.ending());

        // Any other error is reported and the program goes on.
        QPushButton other;
        connect(&other, &QPushButton::clicked,
                ui::slot(controller, [] { throw std::runtime_error("sin memoria de vídeo"); }));
        QTest::mouseClick(&other, Qt::LeftButton);
        QCOMPARE(messages.shown.size(), size_t(2));
        QCOMPARE(messages.shown[1].title, std::string("¡ Error !"));
        QCOMPARE(messages.shown[1].text,
                 std::string("Error sin tratamiento previsto.\nNº: 5\nsin memoria de vídeo"));
        QCOMPARE(quits.size(), size_t(1));
        static_cast<VantoApplication*>(qApp)->setController(nullptr);
    }

    // ./test installs Qt's translations, so the program's own Qt texts are Spanish.
    void qtsOwnTextsAreSpanish() {
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Deshacer"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 QStringLiteral("Cancelar"));
    }

    void settingsLiveBesideTheProgramOrInTheUsersConfiguration() {
        test::TempDir program, config;
        QCOMPARE(chooseSettingsDirectory(program.path()), program.path());
        // A program directory that cannot be written (here: gone) falls back.
        const fs::path gone = program / "no-existe";
        const auto value = [](const char* name) -> std::optional<std::string> {
            const char* v = std::getenv(name);
            return v ? std::optional<std::string>(v) : std::nullopt;
        };
        const auto xdg = value("XDG_CONFIG_HOME"), home = value("HOME");
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        QCOMPARE(chooseSettingsDirectory(gone), config / "vanto");
        QVERIFY(fs::is_directory(config / "vanto"));
        setenv("XDG_CONFIG_HOME", "relativo", 1);  // not absolute: ignored
        setenv("HOME", config.path().c_str(), 1);
        QCOMPARE(chooseSettingsDirectory(gone), config / ".config" / "vanto");
        xdg ? setenv("XDG_CONFIG_HOME", xdg->c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
        home ? setenv("HOME", home->c_str(), 1) : unsetenv("HOME");
    }
};

int main(int argc, char** argv) {
    VantoApplication app(argc, argv);
    ProgramTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "program_test.moc"
