#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "mainwin/about.h"
#include "mainwin/splash.h"

namespace {

// Every label shows its whole text: it lies inside the window and is given at
// least the room it asks for.
void checkLabelsFit(QWidget& window) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        const QRect inWindow(label->mapTo(&window, QPoint(0, 0)), label->size());
        QVERIFY2(window.rect().contains(inWindow), qPrintable(label->text()));
        if (label->wordWrap()) {
            QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                     qPrintable(label->text()));
        } else {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            QVERIFY2(label->height() >= label->sizeHint().height(), qPrintable(label->text()));
        }
    }
}

}  // namespace

class SplashAboutTest : public QObject {
    Q_OBJECT

  private slots:
    void splashShowsTheVersion();
    void splashClosesItselfAfterAMoment();
    void splashClosesWhenClicked();
    void aboutWindowsAreModalAndCloseWithAceptar_data();
    void aboutWindowsAreModalAndCloseWithAceptar();
};

void SplashAboutTest::splashShowsTheVersion() {
    vanto::SplashWindow splash;
    QCOMPARE(splash.durationMs(), vanto::SplashWindow::DefaultDurationMs);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    auto* version = splash.findChild<QLabel*>("Version");
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("Vanto 2.11"));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    checkLabelsFit(splash);
    splash.close();
}

void SplashAboutTest::splashClosesItselfAfterAMoment() {
    vanto::SplashWindow splash(1000);
    QSignalSpy closed(&splash, &vanto::SplashWindow::closed);
    QElapsedTimer clock;
    clock.start();
    splash.show();
    // Still there well before its moment is over.
    QTest::qWait(100);
    QVERIFY(splash.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 3000);
    QVERIFY(clock.elapsed() >= 900);  // coarse timers may fire up to 5 % early
    QCOMPARE(closed.count(), 1);
}

void SplashAboutTest::splashClosesWhenClicked() {
    vanto::SplashWindow splash(60000);
    QSignalSpy closed(&splash, &vanto::SplashWindow::closed);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(!splash.isVisible());
    QCOMPARE(closed.count(), 1);
    // Clicking a label closes it as well: the whole card is the target.
    vanto::SplashWindow second(60000);
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QTest::mouseClick(second.findChild<QLabel*>("Version"), Qt::LeftButton);
    QVERIFY(!second.isVisible());
}

void SplashAboutTest::aboutWindowsAreModalAndCloseWithAceptar_data() {
    QTest::addColumn<vanto::AboutDialog::Kind>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("El autor") << vanto::AboutDialog::Kind::Author << QStringLiteral("El autor")
                              << QStringLiteral("equipo");
    QTest::newRow("Acerca de") << vanto::AboutDialog::Kind::Program
                               << QStringLiteral("Acerca de Vanto")
                               << QStringLiteral("licencia MIT");
}

void SplashAboutTest::aboutWindowsAreModalAndCloseWithAceptar() {
    QFETCH(vanto::AboutDialog::Kind, kind);
    QFETCH(QString, title);
    QFETCH(QString, mentions);

    QWidget main;
    main.show();
    vanto::AboutDialog about(kind, &main);
    QCOMPARE(about.windowTitle(), title);
    QVERIFY(about.isModal());
    about.open();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(QApplication::activeModalWidget(), &about);

    QCOMPARE(about.findChild<QLabel*>("Version")->text(), QStringLiteral("Vanto 2.11"));
    QVERIFY(about.findChild<QLabel*>("Texto")->text().contains(mentions));
    checkLabelsFit(about);
    // It fits on the smallest screen the program is meant for.
    QVERIFY(about.width() <= 1280 && about.height() <= 760);

    auto* aceptar = about.findChild<QPushButton*>("Aceptar");
    QCOMPARE(aceptar->text(), QStringLiteral("Aceptar"));
    QTest::mouseClick(aceptar, Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

QTEST_MAIN(SplashAboutTest)
#include "splash_about_test.moc"
