// The splash card and the two about windows.

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
        const bool fits = label->wordWrap()
                              ? label->height() >= label->heightForWidth(label->width())
                              : label->width() >= label->sizeHint().width() &&
                                    label->height() >= label->sizeHint().height();
        QVERIFY2(fits, qPrintable(label->text()));
    }
}

}  // namespace

class SplashAboutTest : public QObject {
    Q_OBJECT
  private slots:
    void splashClosesAfterAMomentOrWhenClickedAnywhere() {
        // Left alone, then clicked on the card and on its text.
        for (const char* target : {"-", "", "Version"}) {
            const bool alone = *target == '-';
            vanto::SplashWindow splash(alone ? 1000 : 60000);
            QSignalSpy closed(&splash, &vanto::SplashWindow::closed);
            QElapsedTimer clock;
            clock.start();
            splash.show();
            QVERIFY(QTest::qWaitForWindowExposed(&splash));
            checkLabelsFit(splash);
            if (alone) {
                QTest::qWait(700);
                QVERIFY(splash.isVisible());
                // Shown again (restored from an icon, say): the moment still
                // counts from the first time.
                splash.hide();
                splash.show();
                QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 3000);
                QVERIFY(clock.elapsed() >= 900);  // coarse timers may fire up to 5 % early
                QVERIFY(clock.elapsed() < 1650);  // from the second showing it would be 1700
            } else if (*target) {
                QTest::mouseClick(splash.findChild<QLabel*>(target), Qt::LeftButton);
            } else {
                QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(20, 20));
            }
            QVERIFY(!splash.isVisible());
            QCOMPARE(closed.count(), 1);
        }
    }

    void aboutWindowsAreModalAndCloseWithAceptar() {
        for (auto kind : {vanto::AboutDialog::Kind::Author, vanto::AboutDialog::Kind::Program}) {
            QWidget main;
            main.show();
            vanto::AboutDialog about(kind, &main);
            about.open();
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            QCOMPARE(QApplication::activeModalWidget(), &about);
            checkLabelsFit(about);
            // It fits on the smallest screen the program is meant for.
            QVERIFY(about.width() <= 1280 && about.height() <= 760);
            QTest::mouseClick(about.findChild<QPushButton*>("Aceptar"), Qt::LeftButton);
            QVERIFY(!about.isVisible());
            QCOMPARE(about.result(), int(QDialog::Accepted));
        }
    }
};

QTEST_MAIN(SplashAboutTest)
#include "splash_about_test.moc"
