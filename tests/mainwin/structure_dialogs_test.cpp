// The new, copy and delete dialogs: "Aceptar" reaches the disk, a refusal
// shows its message, and the main window lists the changes.

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
    void aceptarReachesTheDiskAndARefusalIsShown() {
        test::TempDir work;
        test::portal().write(work / "-Nave");
        test::TestContext context;

        NewStructureDialog made(context, work.path());
        made.Nuev->setText("Puente");
        QTest::mouseClick(made.si, Qt::LeftButton);
        QVERIFY(fs::is_directory(work / "-Puente"));
        QCOMPARE(made.createdName(), std::string("Puente"));
        QCOMPARE(context.session().settings.StructureName, std::string("Puente"));
        QCOMPARE(made.result(), int(QDialog::Accepted));

        CopyStructureDialog copied(context, work.path(), "Nave");
        copied.Nuev->setText("Nave 2");
        QTest::mouseClick(copied.si, Qt::LeftButton);
        QCOMPARE(test::snapshot(work / "-Nave 2"), test::snapshot(work / "-Nave"));
        QCOMPARE(copied.createdName(), std::string("Nave 2"));

        DeleteStructureDialog deleted(context, work.path(), "Puente");
        QTest::mouseClick(deleted.si, Qt::LeftButton);
        QVERIFY(!fs::exists(work / "-Puente"));
        QVERIFY(made.changed() && copied.changed() && deleted.changed());
        QVERIFY(context.recorded().shown.empty());

        NewStructureDialog cancelled(context, work.path());
        cancelled.Nuev->setText("Otra");
        QTest::mouseClick(cancelled.cancelar, Qt::LeftButton);
        QVERIFY(!fs::exists(work / "-Otra"));
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));

        // A refusal shows its message and the dialog closes all the same.
        const std::string before = test::snapshot(work / "-Nave");
        NewStructureDialog d(context, work.path());
        d.show();
        d.Nuev->setText("Nave");
        QTest::mouseClick(d.si, Qt::LeftButton);
        QCOMPARE(context.recorded().shown.size(), size_t(1));
        QCOMPARE(context.recorded().shown[0].title, std::string("Error"));
        QCOMPARE(context.recorded().shown[0].text,
                 std::string("Ese trabajo ya existe en el directorio actual"));
        QCOMPARE(context.recorded().shown[0].icon, MessageIcon::Critical);
        QCOMPARE(test::snapshot(work / "-Nave"), before);
        QVERIFY(!d.changed());
        QVERIFY(!d.isVisible());
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
