// The Qt drawing surface: twips, user scale, the smallest mark, Xor mode,
// progress bars, fonts and the printer's PDF fallback.

#include <QFontInfo>
#include <QImage>
#include <QtTest>
#include <cmath>
#include <functional>
#include <random>

#include "support/tempdir.h"
#include "ui/fonts.h"
#include "ui/printer.h"
#include "ui/qt_surface.h"
#include "ui/recording.h"

using namespace vanto;

namespace {

// An image of w × h pixels at 96 dpi with a surface on it, white, drawing black.
struct Canvas {
    Canvas(int w, int h) : image(w, h, QImage::Format_RGB32) {
        image.fill(Qt::white);
        surface.attach(&image, QSizeF(w, h), 96);
        surface.setForeground(0);
    }
    QImage done() {
        surface.flush();
        return image;
    }
    int count(QRgb colour) {
        const QImage im = done();
        int n = 0;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
                n += (im.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
        return n;
    }
    QImage image;
    ui::QtSurface surface;
};

constexpr QRgb Black = 0x000000;

}  // namespace

class SurfaceTest : public QObject {
    Q_OBJECT
  private slots:

    void twipsAndUserScalesMapToPixels() {
        Canvas c(200, 100);
        QCOMPARE(c.surface.widthTwips(), 200 * 15.0);
        QCOMPARE(c.surface.scaleHeight(), 100 * 15.0);
        // 1440 twips is one inch, 96 pixels at 96 dpi.
        c.surface.line(0, 15 * 10, 1440, 15 * 10);
        const QImage im = c.done();
        int run = 0;
        for (int x = 0; x < 200; ++x)
            run += qGray(im.pixel(x, 10)) == 0;
        QVERIFY2(run >= 96 && run <= 97, qPrintable(QString::number(run)));
        QCOMPARE(qGray(im.pixel(120, 10)), 255);

        // A user scale: half its width is half the picture.
        Canvas half(200, 100);
        half.surface.setScale(0, 0, 100, 100);
        half.surface.fillBox(0, 0, 50, 100);
        QCOMPARE(half.count(Black), 100 * 100);
        // A flipped vertical axis: v grows upwards from the bottom edge.
        Canvas d(100, 100);
        d.surface.setScale(0, 10, 10, -10);
        d.surface.fillBox(0, 0, 10, 1);
        QCOMPARE(qGray(d.done().pixel(50, 95)), 0);
        QCOMPARE(qGray(d.done().pixel(50, 5)), 255);
    }

    void noMarkIsSmallerThanOnePixel() {
        // Far below a pixel, or of zero size: one pixel each.
        const std::function<void(ui::QtSurface&)> marks[] = {
            [](ui::QtSurface& s) {
                s.setScale(0, 0, 1e6, 1e6);
                s.point(500000, 500000);
            },
            [](ui::QtSurface& s) { s.rectangle(100, 100, 101, 101); },
            [](ui::QtSurface& s) { s.line(300, 300, 302, 301); },
            [](ui::QtSurface& s) { s.circle(300, 300, 2); },
            [](ui::QtSurface& s) { s.fillBox(300, 300, 300, 300); },
        };
        for (const auto& draw : marks) {
            Canvas c(50, 50);
            draw(c.surface);
            QCOMPARE(c.count(Black), 1);
        }
    }

    // Solid lines set straight to an image's pixels light the pixels QPainter
    // lights; the overlay of a picture box shows over it, never in it.
    void linesAsQPainterDrawsThemAndTheOverlay() {
        std::mt19937 random(3);
        std::uniform_real_distribution<double> at(-150, 1050), offset(-300, 300);
        Canvas direct(64, 64);
        QImage painted(64, 64, QImage::Format_RGB32);
        painted.fill(Qt::white);
        QPainter p(&painted);
        QPen pen(Qt::black, 1);
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        for (int i = 0; i < 400; ++i) {
            const double x = at(random), y = at(random), u = x + offset(random),
                         v = y + offset(random);
            direct.surface.line(x, y, u, v);
            p.drawLine(direct.surface.toDevice(x, y), direct.surface.toDevice(u, v));
        }
        p.end();
        const QImage mine = direct.done();
        int differ = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                differ += mine.pixel(x, y) != painted.pixel(x, y);
        QVERIFY2(differ <= 8, qPrintable(QString::number(differ)));

        ui::PictureBox box;
        box.resize(40, 30);
        box.surface().fillBox(0, 0, 600, 450);
        box.overlay().setForeground(rgb(255, 0, 0));
        box.overlay().line(0, 150, 600, 150);
        const QImage picture = box.image();
        QCOMPARE(box.shown().pixel(20, 10) & 0xFFFFFF, 0xFF0000u);
        QCOMPARE(picture.pixel(20, 10) & 0xFFFFFF, 0u);
        box.overlay().clear();
        QCOMPARE(box.shown(), picture);
    }

    // Many lines at once, 15 twips to a pixel: each line's pixels as QPainter
    // lights them, its upper end left out, cut at the picture's edge; nothing
    // for a line off to infinity; the current point at the last end. In Xor
    // mode, as line() after line().
    void linesInOneCallMarkEveryPixelOfEachLine() {
        const Segment segments[] = {{150, 300, 750, 300},  // pixels 10..49 of row 20
                                    {0, 0, 450, 450},      // the diagonal 0..29
                                    {1000, 1000, 1001, 1001},
                                    {0, 0, INFINITY, 5},
                                    {3600, 600, 2700, 600}};  // 199..180 of row 40
        Canvas c(200, 100);
        c.surface.lines(segments);
        QCOMPARE(c.count(Black), 40 + 30 + 1 + 20 - 1);  // (20, 20) is on two lines
        c.surface.lineTo(2700, 1200);                    // down from pixel (180, 40)
        const QImage im = c.done();
        for (const QPoint p : {QPoint(10, 20), QPoint(49, 20), QPoint(29, 29), QPoint(66, 66),
                               QPoint(199, 40), QPoint(180, 60)})
            QCOMPARE(qGray(im.pixel(p)), 0);

        Canvas many(200, 100), one(200, 100);
        for (Canvas* x : {&many, &one})
            x->surface.setPenMode(PenMode::Xor);
        many.surface.lines(segments);
        for (const Segment& l : segments)
            one.surface.line(l.x1, l.y1, l.x2, l.y2);
        QCOMPARE(many.done(), one.done());
    }

    void xorDrawnTwiceRestoresThePicture() {
        Canvas c(160, 120);
        ui::QtSurface& s = c.surface;
        // A picture with some content under the figures.
        s.setForeground(rgb(0, 128, 0));
        s.fillBox(0, 0, 1200, 1800);
        s.setForeground(rgb(200, 10, 30));
        s.line(0, 0, 2400, 1800);
        s.circle(1200, 900, 400, rgb(10, 20, 240));
        s.setFont(Font{"Arial", 10, true});
        s.text(200, 200, "Nudo 12");
        const QImage before = c.done().copy();

        auto figures = [&] {
            s.setPenMode(PenMode::Xor);
            s.setForeground(rgb(255, 255, 255));
            s.rectangle(150, 150, 2100, 1500);
            s.line(30, 1700, 2300, 60);
            s.lineTo(2000, 1700);
            s.fillBox(600, 600, 900, 1000);
            s.circle(1500, 700, 300, rgb(0, 255, 255));
            s.point(1000, 1000);
            s.setForeground(rgb(0, 255, 0));
            s.text(400, 1200, "Barra 7");
            s.setPenMode(PenMode::Copy);
        };
        figures();
        const QImage once = c.done().copy();
        QVERIFY(once != before);
        figures();
        QCOMPARE(c.done(), before);
    }

    void drawProgressFillsValueOverTotal() {
        // On the fake: the box runs from the left edge over the full height,
        // nothing for no total or no value, never beyond the right edge.
        test::RecordingSurface fake(3000, 300);
        fake.setScale(0, 0, 100, 10);
        const double cases[][3] = {{30, 120, 25}, {5, 0, -1}, {0, 10, -1}, {200, 100, 100}};
        for (const auto& [value, total, right] : cases) {
            fake.calls.clear();
            DrawProgress(fake, value, total);
            QCOMPARE(fake.calls.size(), size_t(right < 0 ? 0 : 1));
            if (right < 0) continue;
            const test::DrawCall& box = fake.calls[0];
            QCOMPARE(box.op, std::string("fillBox"));
            QCOMPARE((QList<double>{box.x1, box.y1, box.x2, box.y2}),
                     (QList<double>{0, 0, right, 10}));
        }
    }

    void textAdvancesTheCurrentPoint() {
        Canvas c(400, 60);
        c.surface.setFont(Font{"Courier New", 10, false});
        const double w = c.surface.textWidth("12345");
        QVERIFY(w > 0);
        QCOMPARE(c.surface.textWidth("1234567890"), 2 * w);
        c.surface.text(100, 100, "12345");
        c.surface.text("x");
        c.surface.lineTo(0, 100);  // from where the text ended
        const QImage im = c.done();
        const int endPx = int((100 + w + c.surface.textWidth("x")) / 15);
        QCOMPARE(qGray(im.pixel(endPx - 2, 100 / 15)), 0);
    }

    void namedFontsHaveStandIns() {
        for (const auto& [name, fixed] :
             {std::pair{"Courier New", true}, {"Letter Gothic", true}, {"Arial", false}}) {
            const QFontInfo info(ui::qfont(Font{name, 9, !fixed}));
            QVERIFY2(info.fixedPitch() == fixed, qPrintable(info.family()));
            QCOMPARE(info.bold(), !fixed);
        }
    }

    void printerWithoutPrinterWritesPdfAndSaysWhereUnlessAbandoned() {
        test::TempDir dir;
        test::RecordingMessages messages;
        {
            auto printer = ui::QtPrinter::openDefault(dir.path(), "listado", messages, false);
            QCOMPARE(printer->pdfPath(), dir.path() / "listado.pdf");
            QVERIFY(printer->widthTwips() > 8000);  // a page, not a window
            printer->setFont(Font{"Courier New", 9, false});
            printer->text(0, 0, "Programa: Vanto 2.11");
            printer->newPage();
            printer->setPenMode(PenMode::Xor);  // drawn as copy on paper
            printer->line(0, 0, 1440, 1440);
            printer->endDocument();
        }
        const std::string pdf = dir.read("listado.pdf");
        QVERIFY(pdf.rfind("%PDF", 0) == 0);
        QVERIFY(!std::filesystem::exists(dir / "~listado.pdf.tmp"));
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].title, std::string("Imprimir"));
        QCOMPARE(
            messages.shown[0].text,
            "No hay ninguna impresora instalada.\nEl documento se ha guardado en el fichero:\n" +
                (dir.path() / "listado.pdf").string());

        // An abandoned print leaves no file and says nothing.
        {
            auto printer = ui::QtPrinter::openDefault(dir.path(), "resto", messages, false);
            printer->text(0, 0, "a medias");
        }
        QVERIFY(!std::filesystem::exists(dir / "resto.pdf"));
        QVERIFY(!std::filesystem::exists(dir / "~resto.pdf.tmp"));
        QCOMPARE(messages.shown.size(), size_t(1));
    }

    void pictureBoxKeepsWhatWasDrawnAndReportsMouseInUserUnits() {
        ui::PictureBox box;
        box.resize(120, 80);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.surface().setScale(0, 0, 12, 8);
        box.surface().setForeground(0);
        box.surface().fillBox(0, 0, 6, 8);
        QImage im = box.image();
        QCOMPARE(qGray(im.pixel(10, 40)), 0);
        QCOMPARE(qGray(im.pixel(100, 40)), 255);
        double gotX = -1, gotY = -1;
        connect(&box, &ui::PictureBox::mouseDown, this, [&](const PointerEvent& e) {
            gotX = e.x;
            gotY = e.y;
        });
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(60, 20));
        QCOMPARE(gotX, 6.0);
        QCOMPARE(gotY, 2.0);
        // A resize clears the picture and tells the owner to redraw.
        QSignalSpy resized(&box, &ui::PictureBox::resized);
        box.resize(140, 90);
        QCOMPARE(resized.count(), 1);
        QCOMPARE(qGray(box.image().pixel(10, 40)), 255);
    }
};

QTEST_MAIN(SurfaceTest)
#include "surface_test.moc"
