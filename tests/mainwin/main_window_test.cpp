// The main window as the user meets it: the structures of the work
// directory, the start on the remembered one, the menus, the description, the
// preview and the launching of modules.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
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
#include "mainwin/structure_dialogs.h"
#include "mainwin/types_window.h"
#include "support/message_answerer.h"
#include "ui/qt_surface.h"
#include "window_support.h"

using namespace vanto;
namespace fs = std::filesystem;

namespace {

// A program directory, a work directory with structures remembered in the
// settings, and the program's controller on them.
struct Program {
    explicit Program(const std::string& remembered = "") {
        test::portal().write(work / "-Nave");
        test::portal().write(work / "-Puente");
        fs::create_directories(work / "Nave");  // no dash: not a structure
        fs::create_directories(work / "-Vacia");
        test::portal().write(work / "-Vieja");
        std::ofstream(work / "-Vieja" / "DATOS.DAT", std::ios::binary)
            << "\"Otro programa 3.0\"\r\n4\r\n3\r\n";
        program.write("NOMBRE.DAT", "\"/\"\r\n\"" + work.string() + "\"\r\n\"" + remembered +
                                        "\"\r\n\"\"\r\n\"\"\r\n0\r\n");
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
    QStringList items(const char* list) { return test::texts(control<QListWidget>(list)); }
    QString selected() {
        const auto items = control<QListWidget>("List1")->selectedItems();
        return items.isEmpty() ? QString() : items.first()->text();
    }
    void click(const QString& name) { test::clickItem(control<QListWidget>("List1"), name); }
    QPlainTextEdit* descr() { return control<QPlainTextEdit>("descr"); }
    bool enabled(std::initializer_list<const char*> names) {
        return std::all_of(names.begin(), names.end(),
                           [&](const char* n) { return window().entry(n)->isEnabled(); });
    }

    test::TempDir program;
    test::TempDir workDir;
    fs::path work = workDir.path();
    test::RecordingMessages messages;
    test::FixedClock clock;
    std::vector<int> quits;
    std::unique_ptr<AppController> controller;
};

// Answers the modal dialog of type T as soon as it shows.
template <class T>
void whenModal(std::function<void(T&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
        QVERIFY(d);
        answer(*d);
    });
}

const std::initializer_list<const char*> SelectionEntries = {"Eliminar", "Listad",
                                                             "Calculo_MatricialGE", "ListRe"};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void startsOnTheRememberedStructureAndFollowsTheDirectory() {
        Program p("Puente");
        fs::create_directories(p.program / "-Propia");
        p.start();
        QCOMPARE(p.control<DirectoryList>("Dire")->path(), p.work);
        QCOMPARE(p.items("List1"), (QStringList{"Nave", "Puente", "Vacia", "Vieja"}));
        QCOMPARE(p.selected(), QString("Puente"));
        const QString dir = QString::fromStdString((p.work / "-Puente").string());
        QCOMPARE(p.window().windowTitle(), "Vanto 2.11   [" + dir + "]");
        QCOMPARE(p.items("List2"), (QStringList{"BARRAS.DAT", "CARGAS.DAT", "COACCION.DAT",
                                                "COORDENA.DAT", "DATOS.DAT", "TIPOS.DAT"}));
        auto* dib = p.control<ui::PictureBox>("Dib");
        QVERIFY(dib->isVisible());
        QVERIFY(p.messages.shown.empty());
        // Dragging the preview turns it.
        const QImage before = dib->image();
        QTest::mousePress(dib, Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY(dib->toolTip().isEmpty());
        test::mouse(dib, QEvent::MouseMove, {70, 50}, Qt::NoButton, Qt::LeftButton);
        QTest::mouseRelease(dib, Qt::LeftButton, {}, QPoint(70, 50));
        QVERIFY(p.window().preview().direction() != editor::Preview::InitialDirection);
        QVERIFY(dib->image() != before);

        // Changing the directory lists its structures.
        auto* dire = p.control<DirectoryList>("Dire");
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
        QCOMPARE(p.items("List1"), QStringList{"Propia"});
        QCOMPARE(p.selected(), QString());
        QVERIFY(!p.enabled({"Eliminar"}));
        QCOMPARE(p.window().windowTitle(), QString("Vanto 2.11"));
        QVERIFY(p.program.read("NOMBRE.DAT").find("\"" + p.program.path().string() + "\"") !=
                std::string::npos);

        // A work directory gone since: the program's own, with nothing selected.
        Program gone("Nave");
        fs::remove_all(gone.work);
        gone.start();
        QCOMPARE(gone.control<DirectoryList>("Dire")->path(), gone.program.path());
        QCOMPARE(gone.selected(), QString());
    }

    void entriesFollowTheSelectionAndWhatItHolds() {
        Program p;
        p.start({"CMGE", "LIST", "LSTR"});
        MainWindow& w = p.window();
        // Only the modules that exist have entries.
        QVERIFY(!w.entry("EditarM") && !w.entry("Diagram") && !w.entry("Reticulado"));
        QVERIFY(!p.enabled({"Eliminar"}) && !p.enabled({"Calculo_MatricialGE"}));
        QVERIFY(!p.descr()->isEnabled());
        bool author = false;
        whenModal<AboutDialog>([&](AboutDialog& d) {
            author = d.kind() == AboutDialog::Kind::Author;
            d.accept();
        });
        w.entry("ElAutor")->trigger();
        QVERIFY(author);

        p.click("Nave");
        QVERIFY(p.enabled(SelectionEntries));
        // Another version: its entries off, the reason in red, the preview crossed out.
        p.click("Vieja");
        for (const char* name : SelectionEntries)
            QVERIFY2(!w.entry(name)->isEnabled(), name);
        QVERIFY(p.enabled({"Nueva", "Copi"}));
        QCOMPARE(p.descr()->toPlainText(),
                 QString("Estructura no compatible con la versión actual del programa"));
        QCOMPARE(p.descr()->palette().color(QPalette::Text), QColor(255, 0, 0));
        QVERIFY(p.control<ui::PictureBox>("tachado")->isVisible());
        // No data: entries on, the reason shown.
        p.click("Vacia");
        QVERIFY(p.enabled(SelectionEntries));
        QCOMPARE(p.descr()->toPlainText(), QString("La estructura no tiene los datos básicos."));
    }

    void theDescriptionIsSavedToItsOwnStructure() {
        Program p("Nave");
        p.start();
        QVERIFY(QTest::qWaitForWindowActive(&p.window()));
        p.descr()->setFocus();
        QTest::keyClicks(p.descr(), "Nave de dos aguas");
        QTest::keyClick(p.descr(), Qt::Key_Return);
        QTest::keyClicks(p.descr(), "Luz 20 m");
        QVERIFY(!fs::exists(p.work / "-Nave" / "NOTAS.DAT"));
        p.control<QListWidget>("List1")->setFocus();  // leaving the box
        QCOMPARE(p.workDir.read("-Nave/NOTAS.DAT"),
                 std::string("Nave de dos aguas\r\nLuz 20 m\r\n"));

        // An edit still in the box goes with its structure when the selection moves.
        p.descr()->setPlainText("Solo para Nave");
        p.click("Puente");
        QCOMPARE(p.workDir.read("-Nave/NOTAS.DAT"), std::string("Solo para Nave\r\n"));
        QVERIFY(!fs::exists(p.work / "-Puente" / "NOTAS.DAT"));
        p.click("Nave");
        QCOMPARE(p.descr()->toPlainText(), QString("Solo para Nave."));
        QCOMPARE(p.descr()->palette().color(QPalette::Text), QColor(0, 0, 0));
    }

    void launchingAModuleUnloadsAndItsClosingBringsTheWindowBack() {
        Program p;
        p.start();
        p.click("Puente");
        p.window().entry("Calculo_MatricialGE")->trigger();
        QVERIFY(!p.window().isVisible());
        auto* calc = qobject_cast<CalculationWindow*>(p.controller->moduleWindow());
        QVERIFY(calc && calc->isVisible());
        QVERIFY(p.program.read("NOMBRE.DAT").find("\"Puente\"\r\n") != std::string::npos);
        calc->close();
        QVERIFY(p.window().isVisible());
        QCOMPARE(p.selected(), QString("Puente"));
        QTRY_VERIFY(!p.controller->moduleWindow());  // deleted
        QVERIFY(p.quits.empty());

        p.controller->dispatch("ZZZZ");
        QCOMPARE(p.messages.texts(), std::vector<std::string>{"No existe la subrutina ZZZZ"});
        QCOMPARE(p.messages.shown[0].title, std::string("Aviso de error"));
        QCOMPARE(p.quits, std::vector<int>{0});
    }

    void helpOpensOverTheWindowAndSalirAsksAboutItsEditsThenEnds() {
        Program p;
        p.program.write("tutor.rtf", "{\\rtf1\\ansi Tutorial}");
        p.start();
        p.click("Nave");
        p.window().entry("Helptutor")->trigger();
        auto* viewer = p.window().findChild<HelpViewer*>();
        QVERIFY(viewer && viewer->isVisible() && p.window().isVisible());
        QCOMPARE(viewer->path(), p.program / "tutor.rtf");
        viewer->findChild<QTextEdit*>("RichTextBox1")->insertPlainText("Nota. ");
        {
            MessageAnswerer answer("Cancelar");
            p.window().entry("Salir")->trigger();
            QVERIFY(answer.answered);
        }
        QVERIFY(p.quits.empty());
        fs::remove(p.program / "NOMBRE.DAT");
        {
            MessageAnswerer answer("Guardar");
            p.window().entry("Salir")->trigger();
            QVERIFY(answer.answered);
        }
        QCOMPARE(p.quits, std::vector<int>{0});
        QVERIFY(!p.window().isVisible());
        QVERIFY(p.program.read("ayuda/tutor.rtf").find("Nota.") != std::string::npos);
        QVERIFY(p.program.read("NOMBRE.DAT").find("\"Nave\"") != std::string::npos);
    }

    void theKeyboardReachesEveryMenuAndTheStructures() {
        Program p("Nave");
        p.start({"LIST"});
        MainWindow& w = p.window();
        QSet<QKeySequence> keys;
        for (QAction* menu : w.menuBar()->actions())
            keys.insert(QKeySequence::mnemonic(menu->text()));
        QCOMPARE(keys.size(), w.menuBar()->actions().size());  // one access key each
        QVERIFY(keys.contains(QKeySequence("Alt+E")));
        QCOMPARE(w.entry("HelpMenu")->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(w.entry("Nueva")->shortcut(), QKeySequence("Ctrl+N"));

        auto* list = p.control<QListWidget>("List1");
        whenModal<DeleteStructureDialog>([](auto& d) { d.cancelar->click(); });
        QTest::keyClick(list, Qt::Key_Delete);  // asks, and Cancelar keeps it
        QVERIFY(fs::exists(p.work / "-Nave"));
        QTest::keyClick(list, Qt::Key_Return);  // opens the listing
        ui::ModuleWindow* module = p.controller->moduleWindow();
        QVERIFY(module && module->isVisible() && !w.isVisible());
        QVERIFY(QTest::qWaitForWindowActive(module));
        QTest::keyClick(module, Qt::Key_F1);
        QTRY_VERIFY(module->findChild<HelpViewer*>());
        QTest::keyClick(module, Qt::Key_Escape);  // as its "Salir"
        QTRY_VERIFY(w.isVisible());
    }

    void theMenusOpenTheDialogsAndTheModules() {
        Program p("Nave");
        p.start();
        MainWindow& w = p.window();
        for (const char* name : {"Renumerar", "tiposbarras", "Reticulado", "ImpExp"})
            QVERIFY2(w.entry(name) && w.entry(name)->isEnabled(), name);
        // The structure dialogs are modal, answered when they show.
        whenModal<NewStructureDialog>([](auto& d) { d.Nuev->setText("Arco"), d.si->click(); });
        w.entry("Nueva")->trigger();
        QVERIFY(fs::is_directory(p.work / "-Arco"));
        QCOMPARE(p.items("List1"), (QStringList{"Arco", "Nave", "Puente", "Vacia", "Vieja"}));
        QCOMPARE(p.selected(), QString("Arco"));
        whenModal<DeleteStructureDialog>([](auto& d) {
            QCOMPARE(d.Borr->text(), QString("Arco"));
            d.si->click();
        });
        w.entry("Eliminar")->trigger();
        QVERIFY(!fs::exists(p.work / "-Arco"));
        QCOMPARE(p.items("List1").size(), 4);
        QCOMPARE(p.selected(), QString());
        QVERIFY(!p.enabled({"Eliminar"}));

        // From the menu the types window is the user's, even with a module's flag left up.
        p.click("Nave");
        p.controller->session().OpenedByModule = true;
        w.entry("tiposbarras")->trigger();
        auto* types = qobject_cast<TypesWindow*>(p.controller->moduleWindow());
        QVERIFY(types && !types->unattended() && types->isVisible());
        QVERIFY(!p.controller->session().OpenedByModule);
        QVERIFY(p.messages.shown.empty());
    }

    void aDamagedFileEndsTheProgramAndForgetsTheSettings() {
        Program p;
        std::ofstream(p.work / "-Puente" / "BARRAS.DAT", std::ios::binary) << "1,2,2,0\r\n2,x\r\n";
        p.start();
        p.click("Puente");
        QCOMPARE(p.messages.shown.size(), size_t(1));
        QVERIFY(p.messages.shown[0].text.rfind("Error en rutina DiscoX.\n", 0) == 0);
        QCOMPARE(p.quits, std::vector<int>{2});
        QVERIFY(!fs::exists(p.program / "NOMBRE.DAT"));
        p.window().close();  // nothing writes the settings back afterwards
        QVERIFY(!fs::exists(p.program / "NOMBRE.DAT"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
