// The structure dialogs on their own: "Aceptar" reaches the disk, "Cancelar"
// does not, a refusal shows its message. The menus that open them are the
// main window's tests.

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

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

        // New and delete are answered through the menus below.
        CopyStructureDialog copied(context, work.path(), "Nave");
        copied.Nuev->setText("Nave 2");
        QTest::mouseClick(copied.si, Qt::LeftButton);
        QCOMPARE(test::snapshot(work / "-Nave 2"), test::snapshot(work / "-Nave"));
        QCOMPARE(copied.createdName(), std::string("Nave 2"));
        QCOMPARE(copied.result(), int(QDialog::Accepted));
        QVERIFY(copied.changed() && context.recorded().shown.empty());

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
};

QTEST_MAIN(StructureDialogsTest)
#include "structure_dialogs_test.moc"
