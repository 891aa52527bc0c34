// The new, copy and delete dialogs: what they do on disk, the messages they
// show, and the main window's list afterwards.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "mainwin/app_controller.h"
#include "mainwin/main_window.h"
#include "mainwin/modules.h"
#include "mainwin/structure_dialogs.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/recording.h"

using namespace vanto;
namespace fs = std::filesystem;

class StructureDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void newCreatesAnEmptyStructure() {
        test::TempDir work;
        test::TestContext context;
        NewStructureDialog d(context, work.path());
        QCOMPARE(d.windowTitle(), QString("Nueva estructura"));
        QCOMPARE(d.Nuev->text(), QString("NoNombre"));
        QCOMPARE(d.Nuev->selectedText(), QString("NoNombre"));
        d.Nuev->setText("Nave");
        QTest::mouseClick(d.si, Qt::LeftButton);
        QVERIFY(fs::is_directory(work / "-Nave"));
        QVERIFY(fs::is_empty(work / "-Nave"));
        QVERIFY(d.changed());
        QCOMPARE(d.createdName(), std::string("Nave"));
        QCOMPARE(context.session().settings.StructureName, std::string("Nave"));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(context.recorded().shown.empty());
    }

    void newRefusesAnExistingNameAndUnsafeNames() {
        test::TempDir work;
        test::portal().write(work / "-Nave");
        const std::string before = test::snapshot(work / "-Nave");
        test::TestContext context;
        NewStructureDialog d(context, work.path());
        d.Nuev->setText("Nave");
        QTest::mouseClick(d.si, Qt::LeftButton);
        QCOMPARE(context.recorded().shown.size(), size_t(1));
        QCOMPARE(context.recorded().shown[0].title, std::string("Error"));
        QCOMPARE(context.recorded().shown[0].text,
                 std::string("Ese trabajo ya existe en el directorio actual"));
        QCOMPARE(test::snapshot(work / "-Nave"), before);
        QVERIFY(!d.changed());
        QVERIFY(!d.isVisible());  // closed in every case

        // A name with a separator would land outside the work directory.
        NewStructureDialog bad(context, work.path());
        bad.Nuev->setText("../fuera");
        QTest::mouseClick(bad.si, Qt::LeftButton);
        QVERIFY(!fs::exists(work.path().parent_path() / "fuera"));
        QVERIFY(!fs::exists(work / "-.."));
        QCOMPARE(context.recorded().shown.size(), size_t(2));
        QVERIFY(!bad.changed());

        // Blanks around a name are not part of it; an empty name does nothing.
        NewStructureDialog padded(context, work.path());
        padded.Nuev->setText("  Puente  ");
        QTest::mouseClick(padded.si, Qt::LeftButton);
        QVERIFY(fs::is_directory(work / "-Puente"));
        NewStructureDialog empty(context, work.path());
        empty.Nuev->setText("   ");
        QTest::mouseClick(empty.si, Qt::LeftButton);
        QVERIFY(!empty.changed());
        QCOMPARE(context.recorded().shown.size(), size_t(2));

        NewStructureDialog cancelled(context, work.path());
        cancelled.Nuev->setText("Otra");
        QTest::mouseClick(cancelled.cancelar, Qt::LeftButton);
        QVERIFY(!fs::exists(work / "-Otra"));
    }

    void copyCopiesEveryFileButNotSubdirectories() {
        test::TempDir work;
        test::portal().write(work / "-Nave");
        std::ofstream(work / "-Nave" / "INCOG.RES", std::ios::binary) << "0\r\n";
        std::ofstream(work / "-Nave" / "listado.txt", std::ios::binary) << "Programa\r\n";
        fs::create_directories(work / "-Nave" / "viejos");
        test::TestContext context;
        CopyStructureDialog d(context, work.path(), "Nave");
        QCOMPARE(d.windowTitle(), QString("Copiar estructura"));
        QCOMPARE(d.NombAct->text(), QString("Nave"));
        QCOMPARE(d.Nuev->selectedText(), QString("Nave"));
        d.Nuev->setText("Nave 2");
        QTest::mouseClick(d.si, Qt::LeftButton);
        QCOMPARE(test::snapshot(work / "-Nave 2"), test::snapshot(work / "-Nave"));
        QVERIFY(!fs::exists(work / "-Nave 2" / "viejos"));
        QCOMPARE(d.createdName(), std::string("Nave 2"));
        QVERIFY(context.recorded().shown.empty());
    }

    void copyReportsAMissingSourceAndAnExistingCopy() {
        test::TempDir work;
        test::portal().write(work / "-Nave");
        test::TestContext context;
        CopyStructureDialog missing(context, work.path(), "Nave");
        missing.NombAct->setText("Fantasma");
        missing.Nuev->setText("Copia");
        QTest::mouseClick(missing.si, Qt::LeftButton);
        QCOMPARE(context.recorded().texts(),
                 std::vector<std::string>{
                     "No encuentro la estructura a copiar en el directorio actual"});
        QVERIFY(!fs::exists(work / "-Copia"));

        fs::create_directories(work / "-Copia");
        CopyStructureDialog existing(context, work.path(), "Nave");
        existing.Nuev->setText("Copia");
        QTest::mouseClick(existing.si, Qt::LeftButton);
        QCOMPARE(context.recorded().shown.back().title, std::string("Error"));
        QCOMPARE(
            context.recorded().shown.back().text,
            std::string(
                "El nombre de la copia ya existe en el directorio actual, debe borrarla primero."));
        QVERIFY(fs::is_empty(work / "-Copia"));

        // With nothing selected there is nothing to copy.
        CopyStructureDialog none(context, work.path(), "");
        QCOMPARE(none.NombAct->text(), QString());
        QTest::mouseClick(none.si, Qt::LeftButton);
        QCOMPARE(context.recorded().shown.size(), size_t(2));
        QVERIFY(!none.changed());
    }

    void deleteRemovesTheStructure() {
        test::TempDir work;
        test::portal().write(work / "-Nave");
        std::ofstream(work / "-Nave" / "Resultad.res", std::ios::binary) << "x";
        test::TestContext context;
        DeleteStructureDialog d(context, work.path(), "Nave");
        QCOMPARE(d.windowTitle(), QString("Borrar estructura"));
        QCOMPARE(d.Borr->text(), QString("Nave"));
        QVERIFY(!d.findChildren<QLabel*>().isEmpty());
        bool asked = false;
        for (QLabel* l : d.findChildren<QLabel*>())
            asked |= l->text() == "¿ Seguro que desea borrar la estructura siguiente ?";
        QVERIFY(asked);
        QVERIFY(d.cancelar->isDefault());  // Enter alone does not delete
        QTest::mouseClick(d.si, Qt::LeftButton);
        QVERIFY(!fs::exists(work / "-Nave"));
        QVERIFY(d.changed());
        QVERIFY(context.recorded().shown.empty());
    }

    void deleteReportsAMissingStructureAndKeepsForeignDirectories() {
        test::TempDir work;
        test::TestContext context;
        DeleteStructureDialog d(context, work.path(), "Nave");
        QTest::mouseClick(d.si, Qt::LeftButton);
        QCOMPARE(context.recorded().shown.size(), size_t(1));
        QCOMPARE(context.recorded().shown[0].title, std::string("Error"));
        QCOMPARE(context.recorded().shown[0].text,
                 "Este trabajo no existe: " + (work / "-Nave").string());

        // A structure holding a directory of the user's is left whole.
        test::portal().write(work / "-Puente");
        fs::create_directories(work / "-Puente" / "fotos");
        const std::string before = test::snapshot(work / "-Puente");
        DeleteStructureDialog keep(context, work.path(), "Puente");
        QTest::mouseClick(keep.si, Qt::LeftButton);
        QCOMPARE(test::snapshot(work / "-Puente"), before);
        QVERIFY(fs::is_directory(work / "-Puente" / "fotos"));
        QCOMPARE(context.recorded().shown.size(), size_t(2));

        DeleteStructureDialog cancelled(context, work.path(), "Puente");
        QTest::mouseClick(cancelled.cancelar, Qt::LeftButton);
        QVERIFY(fs::exists(work / "-Puente" / "DATOS.DAT"));
    }

    void theMainWindowListsTheChanges() {
        test::TempDir program, work;
        test::portal().write(work / "-Nave");
        std::ofstream(program / "NOMBRE.DAT", std::ios::binary)
            << "\"/\"\r\n\"" << work.path().string() << "\"\r\n\"Nave\"\r\n\"\"\r\n\"\"\r\n0\r\n";
        test::RecordingMessages messages;
        AppController controller(program.path(), program.path(), &messages);
        controller.setQuit([](int) {});
        registerModules(controller);
        controller.start();
        MainWindow& w = *controller.mainWindow();
        auto* list = w.findChild<QListWidget*>("List1");

        // Through the menu: the dialog is modal, answered when it shows.
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<NewStructureDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            d->Nuev->setText("Puente");
            d->si->click();
        });
        w.entry("Nueva")->trigger();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->selectedItems().first()->text(), QString("Puente"));  // the new one
        QCOMPARE(w.findChild<QPlainTextEdit*>("descr")->toPlainText(),
                 QString("La estructura no tiene los datos básicos."));

        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<DeleteStructureDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            QCOMPARE(d->Borr->text(), QString("Puente"));
            d->si->click();
        });
        w.entry("Eliminar")->trigger();
        QCOMPARE(list->count(), 1);
        QVERIFY(list->selectedItems().isEmpty());
        QVERIFY(!w.entry("Eliminar")->isEnabled());
        QVERIFY(!fs::exists(work / "-Puente"));
        QVERIFY(messages.shown.empty());
    }
};

QTEST_MAIN(StructureDialogsTest)
#include "structure_dialogs_test.moc"
