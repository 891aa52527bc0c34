#include "mainwin/splash.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

#include "model/structure.h"

namespace vanto {

SplashWindow::SplashWindow(int durationMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      durationMs_(durationMs) {
    setObjectName(QStringLiteral("Splash"));
    setWindowTitle(QString::fromUtf8(VersionText));
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Pulse para continuar"));

    auto* title = new QLabel(QString::fromUtf8(VersionText), this);
    title->setObjectName(QStringLiteral("Version"));
    QFont big(QStringLiteral("Arial"));
    big.setPointSize(30);
    big.setBold(true);
    title->setFont(big);

    auto* subtitle = new QLabel(
        QStringLiteral("Cálculo matricial de estructuras\nde barras en tres dimensiones"), this);
    QFont medium(QStringLiteral("Arial"));
    medium.setPointSize(12);
    subtitle->setFont(medium);

    auto* loading = new QLabel(QStringLiteral("Cargando..."), this);
    QFont small(QStringLiteral("Arial"));
    small.setPointSize(9);
    loading->setFont(small);

    for (QLabel* l : {title, subtitle, loading}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(p);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 28, 32, 20);
    layout->addWidget(title);
    layout->addSpacing(6);
    layout->addWidget(subtitle);
    layout->addStretch(1);
    layout->addWidget(loading);

    // Room on the right for the drawing of a frame.
    const QSize text = layout->sizeHint();
    setFixedSize(std::max(text.width() + 200, 540), std::max(text.height() + 40, 280));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - rect().center());
    }

    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &QWidget::close);
}

void SplashWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The moment counts from the first time the window is on screen.
    if (!timerStarted_) {
        timerStarted_ = true;
        timer_.start(durationMs_);
    }
}

void SplashWindow::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    close();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    timer_.stop();
    QWidget::closeEvent(event);
    if (!closedEmitted_) {
        closedEmitted_ = true;
        emit closed();
    }
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(22, 48, 92));
    sky.setColorAt(1, QColor(40, 92, 150));
    p.fillRect(rect(), sky);

    // A small space frame in perspective: two portal frames joined by beams,
    // bars in light blue, supports as triangles.
    const double w = width();
    const double h = height();
    const QPointF o(w - 190, h - 60);  // front left foot
    const double span = 120, hgt = 110, dx = 48, dy = -34;
    auto pt = [&](double x, double z, double back) {
        return QPointF(o.x() + x + back * dx, o.y() - z + back * dy);
    };
    QPen bar(QColor(170, 210, 255), 3);
    bar.setCapStyle(Qt::RoundCap);
    for (int back = 1; back >= 0; --back) {
        p.setPen(back ? QPen(QColor(120, 160, 210), 3) : bar);
        p.drawLine(pt(0, 0, back), pt(0, hgt, back));
        p.drawLine(pt(span, 0, back), pt(span, hgt, back));
        p.drawLine(pt(0, hgt, back), pt(span / 2, hgt + 28, back));
        p.drawLine(pt(span / 2, hgt + 28, back), pt(span, hgt, back));
    }
    p.setPen(QPen(QColor(140, 185, 235), 2));
    for (double x : {0.0, span / 2, span}) {
        const double z = x == span / 2 ? hgt + 28 : hgt;
        p.drawLine(pt(x, z, 0), pt(x, z, 1));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 90));
    for (int back = 0; back <= 1; ++back) {
        for (double x : {0.0, span}) {
            const QPointF f = pt(x, 0, back);
            QPainterPath support;
            support.moveTo(f);
            support.lineTo(f + QPointF(-8, 12));
            support.lineTo(f + QPointF(8, 12));
            support.closeSubpath();
            p.drawPath(support);
        }
    }
    // Joints.
    p.setBrush(Qt::white);
    for (int back = 0; back <= 1; ++back) {
        for (const QPointF& j :
             {pt(0, hgt, back), pt(span, hgt, back), pt(span / 2, hgt + 28, back)})
            p.drawEllipse(j, 3.5, 3.5);
    }

    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vanto
