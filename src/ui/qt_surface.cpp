#include "ui/qt_surface.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>

#include "ui/convert.h"
#include "ui/fonts.h"
#include "ui/input.h"

namespace vanto::ui {

namespace {
constexpr double TwipsPerInch = 1440;
}

QColor qcolour(Colour colour) {
    return QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

QFont qfont(const Font& font) {
    // The stand-ins must be known before the first font is matched.
    static const bool substituted = (installFontSubstitutions(), true);
    (void)substituted;
    QFont f(qs(font.name));
    f.setPointSizeF(font.size > 0 ? font.size : 1);
    f.setBold(font.bold);
    return f;
}

QtSurface::~QtSurface() {
    detach();
}

void QtSurface::attach(QPaintDevice* device, QSizeF size, double dpi, QPointF origin) {
    detach();
    device_ = device;
    size_ = QSizeF(std::max(size.width(), 1.0), std::max(size.height(), 1.0));
    origin_ = origin;
    dpi_ = dpi > 0 ? dpi : 96;
    resetScale();
}

void QtSurface::detach() {
    flush();
    device_ = nullptr;
}

void QtSurface::flush() {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

QPainter& QtSurface::painter() {
    if (!painter_) {
        painter_.emplace();
        if (device_) painter_->begin(device_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        painter_->setFont(qfont(font_));
        applyPen();
    }
    return *painter_;
}

int QtSurface::penPixels() const {
    return std::max(1, int(std::lround(lineWidth_ * dpi_ / 96.0)));
}

void QtSurface::applyPen() {
    if (!painter_ || !painter_->isActive()) return;
    QPen pen(qcolour(foreground_));
    pen.setCosmetic(true);
    pen.setWidth(penPixels());
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (style_) {
        case LineStyle::Solid:
            pen.setStyle(Qt::SolidLine);
            break;
        case LineStyle::Dash:
            pen.setStyle(Qt::DashLine);
            break;
        case LineStyle::Dot:
            pen.setStyle(Qt::DotLine);
            break;
    }
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
    const bool useXor = mode_ == PenMode::Xor && xorSupported_;
    painter_->setCompositionMode(useXor ? QPainter::RasterOp_SourceXorDestination
                                        : QPainter::CompositionMode_SourceOver);
}

QPointF QtSurface::toDevice(double x, double y) const {
    return QPointF(origin_.x() + (x - left_) * size_.width() / width_,
                   origin_.y() + (y - top_) * size_.height() / height_);
}

QPointF QtSurface::toUser(QPointF device) const {
    return QPointF(left_ + (device.x() - origin_.x()) * width_ / size_.width(),
                   top_ + (device.y() - origin_.y()) * height_ / size_.height());
}

double QtSurface::widthTwips() const {
    return size_.width() * TwipsPerInch / dpi_;
}
double QtSurface::heightTwips() const {
    return size_.height() * TwipsPerInch / dpi_;
}

void QtSurface::setScale(double left, double top, double width, double height) {
    if (width == 0 || height == 0 || !std::isfinite(width) || !std::isfinite(height)) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void QtSurface::resetScale() {
    left_ = 0;
    top_ = 0;
    width_ = widthTwips();
    height_ = heightTwips();
}

void QtSurface::setForeground(Colour colour) {
    if (colour == foreground_) return;
    foreground_ = colour;
    applyPen();
}

void QtSurface::setPenMode(PenMode mode) {
    mode_ = mode;
    applyPen();
}

void QtSurface::setLineWidth(int pixels) {
    lineWidth_ = std::max(1, pixels);
    applyPen();
}

void QtSurface::setLineStyle(LineStyle style) {
    style_ = style;
    applyPen();
}

void QtSurface::setFont(const Font& font) {
    font_ = font;
    if (painter_ && painter_->isActive()) painter_->setFont(qfont(font_));
}

void QtSurface::clear() {
    if (device_) {
        QPainter& p = painter();
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRectF(origin_, size_), qcolour(background_));
        applyPen();
        drawn();
    }
    curX_ = left_;
    curY_ = top_;
}

void QtSurface::moveTo(double x, double y) {
    curX_ = x;
    curY_ = y;
}

// One device pixel (or the pen's width) at p: the smallest mark there is.
void QtSurface::dot(QPointF p) {
    const int w = penPixels();
    const QPointF corner(std::floor(p.x() - (w - 1) / 2.0), std::floor(p.y() - (w - 1) / 2.0));
    painter().fillRect(QRectF(corner, QSizeF(w, w)), qcolour(foreground_));
}

void QtSurface::line(double x1, double y1, double x2, double y2) {
    curX_ = x2;
    curY_ = y2;
    if (!device_) return;
    const QPointF a = toDevice(x1, y1);
    const QPointF b = toDevice(x2, y2);
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
        !std::isfinite(b.y()))
        return;
    if (std::lround(a.x()) == std::lround(b.x()) && std::lround(a.y()) == std::lround(b.y()))
        dot(a);
    else
        painter().drawLine(a, b);
    drawn();
}

namespace {

// Cuts the segment to the box [0, w] × [0, h] (Liang–Barsky); false when
// nothing of it is inside.
bool clipToBox(QPointF& a, QPointF& b, double w, double h) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x(), w - a.x(), a.y(), h - a.y()};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const QPointF start = a;
    a = start + t0 * QPointF(dx, dy);
    b = start + t1 * QPointF(dx, dy);
    return true;
}

// One pixel wide, both ends included, every pixel written with `colour`.
void plotLine(QRgb* bits, qsizetype stride, int x0, int y0, int x1, int y1, QRgb colour) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
        bits[y0 * stride + x0] = colour;
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

}  // namespace

QImage* QtSurface::plainImage() const {
    if (!device_ || device_->devType() != QInternal::Image) return nullptr;
    auto* image = static_cast<QImage*>(device_);
    const bool opaqueRgb = image->format() == QImage::Format_RGB32 ||
                           image->format() == QImage::Format_ARGB32_Premultiplied;
    const bool plainPen = mode_ == PenMode::Copy && style_ == LineStyle::Solid && penPixels() == 1;
    return opaqueRgb && plainPen ? image : nullptr;
}

void QtSurface::lines(std::span<const Segment> segments) {
    if (segments.empty()) return;
    curX_ = segments.back().x2;
    curY_ = segments.back().y2;
    QImage* image = plainImage();
    if (!image) {
        for (const Segment& s : segments)
            line(s.x1, s.y1, s.x2, s.y2);
        curX_ = segments.back().x2;
        curY_ = segments.back().y2;
        return;
    }
    // Thousands of thin solid lines on an image: written straight into its
    // pixels, many times faster than the painter draws them one by one. The
    // painter lets go of the image first.
    flush();
    // On a high-resolution screen the image has more pixels than the picture
    // has logical ones; the line stays one pixel thin, as the painter draws it.
    const double ratio = image->devicePixelRatio();
    const double w = image->width(), h = image->height();
    QRgb* bits = reinterpret_cast<QRgb*>(image->bits());
    const qsizetype stride = image->bytesPerLine() / qsizetype(sizeof(QRgb));
    const QRgb colour = qcolour(foreground_).rgb();
    const auto pixel = [](double v, double size) { return int(std::clamp(v, 0.0, size - 1)); };
    for (const Segment& s : segments) {
        QPointF a = toDevice(s.x1, s.y1) * ratio, b = toDevice(s.x2, s.y2) * ratio;
        if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
            !std::isfinite(b.y()) || !clipToBox(a, b, w, h))
            continue;
        plotLine(bits, stride, pixel(a.x(), w), pixel(a.y(), h), pixel(b.x(), w), pixel(b.y(), h),
                 colour);
    }
    drawn();
}

void QtSurface::lineTo(double x, double y) {
    line(curX_, curY_, x, y);
}

void QtSurface::point(double x, double y) {
    curX_ = x;
    curY_ = y;
    if (!device_) return;
    const QPointF p = toDevice(x, y);
    if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return;
    dot(p);
    drawn();
}

void QtSurface::rectangle(double x1, double y1, double x2, double y2) {
    curX_ = x2;
    curY_ = y2;
    if (!device_) return;
    const QRectF r = QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized();
    if (!r.isValid() && !(r.width() == 0 || r.height() == 0)) return;
    if (r.width() < 1 && r.height() < 1)
        dot(r.center());
    else
        painter().drawRect(r);
    drawn();
}

void QtSurface::fillBox(double x1, double y1, double x2, double y2) {
    curX_ = x2;
    curY_ = y2;
    if (!device_) return;
    QRectF r = QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized();
    if (!std::isfinite(r.width()) || !std::isfinite(r.height())) return;
    // Snap to whole pixels so that a box drawn twice in Xor mode cancels out,
    // and keep at least one pixel either way.
    const double l = std::round(r.left()), t = std::round(r.top());
    const double w = std::max(1.0, std::round(r.right()) - l);
    const double h = std::max(1.0, std::round(r.bottom()) - t);
    r = QRectF(l, t, w, h);
    QPainter& p = painter();
    if (mode_ == PenMode::Xor && xorSupported_) {
        p.setPen(Qt::NoPen);
        p.setBrush(qcolour(foreground_));
        p.drawRect(r);
        applyPen();
    } else {
        p.fillRect(r, qcolour(foreground_));
    }
    drawn();
}

void QtSurface::circle(double x, double y, double radius, std::optional<Colour> fill) {
    curX_ = x;
    curY_ = y;
    if (!device_) return;
    const QPointF c = toDevice(x, y);
    const double r = std::abs(radius * size_.width() / width_);
    if (!std::isfinite(c.x()) || !std::isfinite(c.y()) || !std::isfinite(r)) return;
    if (r < 1) {
        dot(c);
    } else {
        QPainter& p = painter();
        if (fill) p.setBrush(qcolour(*fill));
        p.drawEllipse(c, r, r);
        if (fill) p.setBrush(Qt::NoBrush);
    }
    drawn();
}

void QtSurface::text(std::string_view utf8) {
    if (!device_) return;
    QPainter& p = painter();
    const QString s = qs(utf8);
    const QFontMetricsF fm(p.font(), device_);
    const QPointF at = toDevice(curX_, curY_);
    if (!std::isfinite(at.x()) || !std::isfinite(at.y())) return;
    p.drawText(QPointF(at.x(), at.y() + fm.ascent()), s);
    curX_ += fm.horizontalAdvance(s) * width_ / size_.width();
    drawn();
}

double QtSurface::textWidth(std::string_view utf8) {
    const QFontMetricsF fm(qfont(font_), device_);
    return fm.horizontalAdvance(qs(utf8)) * std::abs(width_) / size_.width();
}

double QtSurface::textHeight(std::string_view) {
    const QFontMetricsF fm(qfont(font_), device_);
    return fm.height() * std::abs(height_) / size_.height();
}

// ---------------------------------------------------------------------------

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    recreate();
}

void PictureBox::WidgetSurface::drawn() {
    if (box_.updatePending_) return;
    box_.updatePending_ = true;
    box_.update();
}

QImage PictureBox::image() {
    surface_.flush();
    return image_;
}

void PictureBox::setBackgroundColour(Colour colour) {
    background_ = colour;
    surface_.setBackground(colour);
}

void PictureBox::recreate() {
    surface_.detach();
    const QSize logical = size().expandedTo(QSize(1, 1));
    const double ratio = devicePixelRatioF();
    image_ = QImage((QSizeF(logical) * ratio).toSize(), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image_.setDotsPerMeterX(dotsPerMeter);
    image_.setDotsPerMeterY(dotsPerMeter);
    image_.fill(qcolour(background_));
    surface_.attach(&image_, QSizeF(logical), dpi);
    surface_.setBackground(background_);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    updatePending_ = false;
    surface_.flush();
    QPainter p(this);
    p.drawImage(event->rect(), image_,
                QRectF(QPointF(event->rect().topLeft()) * image_.devicePixelRatio(),
                       QSizeF(event->rect().size()) * image_.devicePixelRatio()));
}

void PictureBox::resizeEvent(QResizeEvent*) {
    const Colour fg = surface_.foreground();
    recreate();
    surface_.setForeground(fg);
    emit resized();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(pointerEvent(*event, surface_));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(pointerEvent(*event, surface_));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(pointerEvent(*event, surface_));
}

}  // namespace vanto::ui
