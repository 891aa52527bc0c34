// The main window as the user meets it: the structures of the work
// directory, starting from the settings as they are found, the menus, the
// description, the preview and the launching of modules.

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "mainwin/about.h"
#include "mainwin/app_controller.h"
#include "mainwin/calculation_window.h"
#include "mainwin/directory_list.h"
#include "mainwin/help_viewer.h"
#include "mainwin/main_window.h"
#include "mainwin/modules.h"
#include "support/message_answerer.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/qt_surface.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {

void writeSettings(const fs::path& dir, const std::string& work, const std::string& name) {
    const std::string structure = work + "/-" + name;
    std::ofstream(dir / "NOMBRE.DAT", std::ios::binary)
        << "\"/\"\r\n\"" << work << "\"\r\n\"" << name << "\"\r\n\"" << structure
        << "\"\r\n\"\"\r\n0\r\n";
}

// A program directory, a work directory with structures, and the program's
// controller on them.
struct Program {
    Program() {
        test::portal().write(work / "-Nave");
        test::portal().write(work / "-Puente");
        fs::create_directories(work / "Nave");  // no dash: not a structure
        fs::create_directories(work / "-Vacia");
        test::portal().write(work / "-Vieja");
        std::ofstream(work / "-Vieja" / "DATOS.DAT", std::ios::binary)
            << "\"Otro programa 3.0\"\r\n4\r\n3\r\n";
        fs::create_directories(program.path() / "-Propia");
        fs::create_directories(program.path() / "-Otra");
    }
    // `modules`: the codes to register (plain windows); the program's own set when empty.
    AppController& start(const std::vector<std::string>& modules = {}) {
        controller =
            std::make_unique<AppController>(program.path(), program.path(), &messages, &clock);
        controller->setQuit([this](int status) { quits.push_back(status); });
        controller->setSystemPrinter(false);
        if (modules.empty()) registerModules(*controller);
        for (const std::string& code : modules)
            controller->registerModule(code, [](ui::AppContext& c) -> ui::ModuleWindow* {
                return new ui::ModuleWindow(c);
            });
        controller->start();
        return *controller;
    }
    MainWindow& window() { return *controller->mainWindow(); }
    template <class T>
    T* control(const char* name) {
        return window().findChild<T*>(name);
    }
    QListWidget* List1() { return control<QListWidget>("List1"); }
    QStringList structures() {
        QStringList out;
        for (int i = 0; i < List1()->count(); ++i)
            out << List1()->item(i)->text();
        return out;
    }
    QString selected() {
        const auto items = List1()->selectedItems();
        return items.isEmpty() ? QString() : items.first()->text();
    }
    void click(const QString& name) {
        const auto items = List1()->findItems(name, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        QTest::mouseClick(List1()->viewport(), Qt::LeftButton, {},
                          List1()->visualItemRect(items.first()).center());
    }
    std::string settingsFile() { return program.read("NOMBRE.DAT"); }

    test::TempDir program;
    test::TempDir workDir;
    fs::path work = workDir.path();
    test::RecordingMessages messages;
    test::FixedClock clock;
    std::vector<int> quits;
    std::unique_ptr<AppController> controller;
};

QColor textColour(QPlainTextEdit* e) {
    return e->palette().color(QPalette::Text);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void listsStructuresButNotOtherDirectories() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "");
        p.start();
        QCOMPARE(p.structures(), (QStringList{"Nave", "Puente", "Vacia", "Vieja"}));
        QCOMPARE(p.control<DirectoryList>("Dire")->path(), p.work);
        QCOMPARE(p.control<QComboBox>("Drive1")->currentText(), QString("/"));
    }

    void startsWithoutSettingsOnTheProgramDirectory() {
        Program p;
        p.start();
        QCOMPARE(p.control<DirectoryList>("Dire")->path(), p.program.path());
        QCOMPARE(p.structures(), (QStringList{"Otra", "Propia"}));
        QCOMPARE(p.selected(), QString());
        QCOMPARE(p.window().windowTitle(), QString("Vanto 2.11"));
        QVERIFY(!p.window().entry("Eliminar")->isEnabled());
        QVERIFY(!p.window().entry("Calculo_MatricialGE")->isEnabled());
        QVERIFY(p.window().entry("Nueva")->isEnabled());
        QVERIFY(p.window().entry("Copi")->isEnabled());
        QVERIFY(!p.control<QPlainTextEdit>("descr")->isEnabled());
        QVERIFY(p.messages.shown.empty());
    }

    void startsOnTheRememberedStructure() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "Puente");
        p.start();
        QCOMPARE(p.selected(), QString("Puente"));
        const QString dir = QString::fromStdString((p.work / "-Puente").string());
        QCOMPARE(p.window().windowTitle(), "Vanto 2.11   [" + dir + "]");
        QStringList files;
        auto* list2 = p.control<QListWidget>("List2");
        for (int i = 0; i < list2->count(); ++i)
            files << list2->item(i)->text();
        QCOMPARE(files, (QStringList{"BARRAS.DAT", "CARGAS.DAT", "COACCION.DAT", "COORDENA.DAT",
                                     "DATOS.DAT", "TIPOS.DAT"}));
        QVERIFY(p.control<ui::PictureBox>("Dib")->isVisible());
        QVERIFY(!p.control<ui::PictureBox>("tachado")->isVisible());
    }

    void aDeletedStructureOrWorkDirectoryIsForgotten() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "Derribada");
        p.start();
        QCOMPARE(p.control<DirectoryList>("Dire")->path(), p.work);
        QCOMPARE(p.selected(), QString());
        QCOMPARE(p.window().windowTitle(), QString("Vanto 2.11"));

        Program q;
        writeSettings(q.program.path(), (q.work / "ya-no-existe").string(), "Nave");
        q.start();
        QCOMPARE(q.control<DirectoryList>("Dire")->path(), q.program.path());
        QCOMPARE(q.selected(), QString());
    }

    void enabledEntriesFollowTheSelection() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "");
        p.start({"CMGE", "LIST", "LSTR"});
        MainWindow& w = p.window();
        // Only the modules that exist have entries; a menu left empty is left out.
        for (const char* name :
             {"Nueva", "Copi", "Eliminar", "Salir", "Listad", "Calculo_MatricialGE", "ListRe",
              "HelpMenu", "Helptutor", "HelpMatricial", "ElAutor", "Acerca"})
            QVERIFY2(w.entry(name), name);
        for (const char* name : {"EditarM", "Diagram", "Reticulado", "Visoren3D"})
            QVERIFY2(!w.entry(name), name);
        QStringList menus;
        for (QAction* a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{"Estructura", "Edición", "Calculo", "Resultados", "Ayuda"}));

        p.click("Nave");
        for (const char* name : {"Eliminar", "Listad", "Calculo_MatricialGE", "ListRe"})
            QVERIFY2(w.entry(name)->isEnabled(), name);
        // A structure of another version: its entries off, the reason in red.
        p.click("Vieja");
        for (const char* name : {"Eliminar", "Listad", "Calculo_MatricialGE", "ListRe"})
            QVERIFY2(!w.entry(name)->isEnabled(), name);
        QVERIFY(w.entry("Nueva")->isEnabled() && w.entry("Copi")->isEnabled());
        auto* descr = p.control<QPlainTextEdit>("descr");
        QCOMPARE(descr->toPlainText(),
                 QString("Estructura no compatible con la versión actual del programa"));
        QCOMPARE(textColour(descr), QColor(255, 0, 0));
        QVERIFY(!p.control<ui::PictureBox>("Dib")->isVisible());
        QVERIFY(p.control<ui::PictureBox>("tachado")->isVisible());
        // A structure without data: entries on, the reason in red.
        p.click("Vacia");
        QVERIFY(w.entry("Calculo_MatricialGE")->isEnabled());
        QCOMPARE(descr->toPlainText(), QString("La estructura no tiene los datos básicos."));
        QCOMPARE(textColour(descr), QColor(255, 0, 0));
        QVERIFY(p.control<ui::PictureBox>("tachado")->isVisible());
    }

    void descriptionIsSavedOnLeavingTheBox() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "Nave");
        p.start();
        QVERIFY(QTest::qWaitForWindowActive(&p.window()));
        auto* descr = p.control<QPlainTextEdit>("descr");
        QCOMPARE(descr->toPlainText(), QString());
        QCOMPARE(descr->placeholderText(), QString("[Sin descripción...]"));
        QCOMPARE(descr->palette().color(QPalette::PlaceholderText), QColor(0, 120, 0));

        descr->setFocus();
        QTest::keyClicks(descr, "Nave de dos aguas");
        QTest::keyClick(descr, Qt::Key_Return);
        QTest::keyClicks(descr, "Luz 20 m");
        QVERIFY(!fs::exists(p.work / "-Nave" / "NOTAS.DAT"));
        p.List1()->setFocus();  // leaving the box
        std::ifstream in(p.work / "-Nave" / "NOTAS.DAT", std::ios::binary);
        const std::string notes((std::istreambuf_iterator<char>(in)), {});
        QCOMPARE(notes, std::string("Nave de dos aguas\r\nLuz 20 m\r\n"));

        // Coming back shows it in black; another structure shows its own.
        p.click("Puente");
        QCOMPARE(descr->toPlainText(), QString());
        p.click("Nave");
        QCOMPARE(descr->toPlainText(), QString("Nave de dos aguas\nLuz 20 m."));
        QCOMPARE(textColour(descr), QColor(0, 0, 0));
    }

    void anEditIsSavedToItsOwnStructureWhenTheSelectionMoves() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "Nave");
        p.start();
        auto* descr = p.control<QPlainTextEdit>("descr");
        descr->setPlainText("Solo para Nave");  // typed, still in the box
        p.click("Puente");
        std::ifstream in(p.work / "-Nave" / "NOTAS.DAT", std::ios::binary);
        const std::string notes((std::istreambuf_iterator<char>(in)), {});
        QCOMPARE(notes, std::string("Solo para Nave\r\n"));
        QVERIFY(!fs::exists(p.work / "-Puente" / "NOTAS.DAT"));
    }

    void launchingAModuleUnloadsAndItsClosingBringsTheWindowBack() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "");
        p.start();
        p.click("Puente");
        p.window().entry("Calculo_MatricialGE")->trigger();
        QVERIFY(!p.window().isVisible());
        auto* calc = qobject_cast<CalculationWindow*>(p.controller->moduleWindow());
        QVERIFY(calc);
        QVERIFY(calc->isVisible());
        const std::string settings = p.settingsFile();
        QVERIFY(settings.find("\"Puente\"\r\n") != std::string::npos);
        QVERIFY(settings.find("\"" + (p.work / "-Puente").string() + "\"") != std::string::npos);
        QVERIFY(calc->windowTitle().endsWith("-Puente]"));

        calc->close();
        QVERIFY(p.window().isVisible());
        QCOMPARE(p.selected(), QString("Puente"));
        QTRY_VERIFY(!p.controller->moduleWindow());  // deleted
        QVERIFY(p.quits.empty());
    }

    void helpOpensOverTheWindowAndAboutBoxesAreModal() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "Nave");
        p.program.write("tutor.rtf", "{\\rtf1\\ansi Tutorial}");
        p.start();
        p.window().entry("Helptutor")->trigger();
        QCOMPARE(p.controller->session().HelpTopic, std::string("tutor"));
        auto* viewer = p.window().findChild<HelpViewer*>();
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->path(), p.program / "tutor.rtf");
        QVERIFY(p.window().isVisible());  // not unloaded
        p.window().entry("HelpMenu")->trigger();
        QCOMPARE(p.controller->session().HelpTopic, std::string("menu"));

        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            shown = about && about->kind() == AboutDialog::Kind::Program;
            if (about) about->accept();
        });
        p.window().entry("Acerca")->trigger();
        QVERIFY(shown);
        QVERIFY(p.window().isVisible());
    }

    void salirSavesTheSettingsAndEnds() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "");
        p.start();
        p.click("Nave");
        fs::remove(p.program.path() / "NOMBRE.DAT");
        p.window().entry("Salir")->trigger();
        QCOMPARE(p.quits, std::vector<int>{0});
        QVERIFY(!p.window().isVisible());
        QVERIFY(p.settingsFile().find("\"Nave\"") != std::string::npos);
    }

    void salirAsksAboutAHelpDocumentWithUnsavedEdits() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "Nave");
        p.program.write("tutor.rtf", "{\\rtf1\\ansi Tutorial}");
        p.start();
        p.window().entry("Helptutor")->trigger();
        auto* viewer = p.window().findChild<HelpViewer*>();
        QVERIFY(viewer);
        viewer->findChild<QTextEdit*>("RichTextBox1")->insertPlainText("Nota. ");
        {
            MessageAnswerer answer("Cancelar");
            p.window().entry("Salir")->trigger();
            QVERIFY(answer.answered);
        }
        QVERIFY(p.quits.empty());
        QVERIFY(p.window().isVisible());
        {
            MessageAnswerer answer("Guardar");
            p.window().entry("Salir")->trigger();
            QVERIFY(answer.answered);
        }
        QCOMPARE(p.quits, std::vector<int>{0});
        QVERIFY(p.program.read("tutor.rtf").find("Nota.") != std::string::npos);
    }

    void unknownModuleCodeIsReportedAndEnds() {
        Program p;
        p.start();
        p.controller->dispatch("ZZZZ");
        QCOMPARE(p.messages.shown.size(), size_t(1));
        QCOMPARE(p.messages.shown[0].title, std::string("Aviso de error"));
        QCOMPARE(p.messages.shown[0].text, std::string("No existe la subrutina ZZZZ"));
        QCOMPARE(p.quits, std::vector<int>{0});
    }

    void aDamagedFileEndsTheProgramAndForgetsTheSettings() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "");
        std::ofstream(p.work / "-Puente" / "BARRAS.DAT", std::ios::binary) << "1,2,2,0\r\n2,x\r\n";
        p.start();
        QVERIFY(fs::exists(p.program.path() / "NOMBRE.DAT"));
        p.click("Puente");
        QCOMPARE(p.messages.shown.size(), size_t(1));
        QCOMPARE(p.messages.shown[0].title, std::string("Error"));
        QCOMPARE(p.messages.shown[0].text,
                 std::string("Error en rutina DiscoX.\n"
                             "La estructura a la que intentaba acceder debe tener corrompido algún "
                             "fichero.\nIntente solucionarlo y arranque de nuevo el programa."));
        QCOMPARE(p.quits, std::vector<int>{2});
        QVERIFY(!fs::exists(p.program.path() / "NOMBRE.DAT"));
        // Nothing writes the settings back afterwards.
        p.window().close();
        QVERIFY(!fs::exists(p.program.path() / "NOMBRE.DAT"));
    }

    void draggingThePreviewTurnsIt() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "Nave");
        p.start();
        auto* dib = p.control<ui::PictureBox>("Dib");
        QCOMPARE(dib->toolTip(), QString("Usa el ratón para girar."));
        const QImage before = dib->image();
        QTest::mousePress(dib, Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY(dib->toolTip().isEmpty());
        QMouseEvent move(QEvent::MouseMove, QPointF(70, 50), dib->mapToGlobal(QPointF(70, 50)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dib, &move);
        QTest::mouseRelease(dib, Qt::LeftButton, {}, QPoint(70, 50));
        QVERIFY(p.window().preview().direction() != editor::Preview::InitialDirection);
        QVERIFY(dib->image() != before);
        // The preview has something drawn in it, in the bar colour's shades.
        const QImage im = dib->image();
        int inked = 0;
        for (int y = 0; y < im.height(); y += 2)
            for (int x = 0; x < im.width(); x += 2)
                inked += qGray(im.pixel(x, y)) < 200;
        QVERIFY(inked > 20);
    }

    void changingTheDirectoryListsItsStructures() {
        Program p;
        writeSettings(p.program.path(), p.work.string(), "Nave");
        p.start();
        auto* dire = p.control<DirectoryList>("Dire");
        // Double-clicking the program's directory in the list opens it.
        dire->setPath(p.program.path().parent_path());
        QListWidgetItem* target = nullptr;
        for (int i = 0; i < dire->count(); ++i)
            if (dire->pathOf(dire->item(i)) == p.program.path()) target = dire->item(i);
        QVERIFY(target);
        dire->scrollToItem(target);
        const QPoint at = dire->visualItemRect(target).center();
        QTest::mouseClick(dire->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(dire->path(), p.program.path().parent_path());  // one click only selects
        QTest::mouseDClick(dire->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(dire->path(), p.program.path());
        QCOMPARE(p.structures(), (QStringList{"Otra", "Propia"}));
        QCOMPARE(p.selected(), QString());
        QVERIFY(!p.control<ui::PictureBox>("Dib")->isVisible());
        QVERIFY(!p.window().entry("Eliminar")->isEnabled());
        QCOMPARE(p.window().windowTitle(), QString("Vanto 2.11"));
        QVERIFY(p.settingsFile().find("\"" + p.program.path().string() + "\"") !=
                std::string::npos);

        // Enter on an entry opens it too.
        dire->setCurrentRow(0);
        QTest::keyClick(dire, Qt::Key_Return);
        QCOMPARE(dire->path(), fs::path("/"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
