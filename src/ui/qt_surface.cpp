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

void QtSurface::renew() {
    kx_ = size_.width() / width_;
    ky_ = size_.height() / height_;
    penPixels_ = std::max(1, int(std::lround(lineWidth_ * dpi_ / 96.0)));
    direct_ =
        raster_.bits && mode_ == PenMode::Copy && style_ == LineStyle::Solid && penPixels_ == 1;
}

void QtSurface::flush() {
    raster_ = {};
    direct_ = false;
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
        penDirty_ = true;
        // Begun, the painter has the image to itself: its pixels stay put
        // until it ends.
        if (device_ && device_->devType() == QInternal::Image && painter_->isActive()) {
            auto* image = static_cast<QImage*>(device_);
            const QImage::Format f = image->format();
            if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
                f == QImage::Format_ARGB32_Premultiplied)
                raster_ = {reinterpret_cast<std::uint32_t*>(image->bits()),
                           image->bytesPerLine() / 4, image->width(), image->height(),
                           image->devicePixelRatio()};
        }
        renew();
    }
    if (penDirty_) applyPen();
    return *painter_;
}

std::uint32_t QtSurface::pixel() const {
    return 0xFF000000u | (foreground_ & 0xFF) << 16 | (foreground_ & 0xFF00) |
           (foreground_ >> 16 & 0xFF);
}

// The pixels of the line a–b (logical pixels), as QPainter's one-pixel
// cosmetic pen lights them: the ends in 26.6 fixed point, along the major
// axis from the rounded lower end up to, not including, the rounded upper
// end, across it stepping in 16.16 fixed point from the middle of the first
// pixel.
void QtSurface::directLine(QPointF a, QPointF b) {
    const Raster& r = raster_;
    a *= r.ratio, b *= r.ratio;
    // So far out, the line is first cut to the image's neighbourhood.
    constexpr double Far = 1 << 20;
    if (std::max({std::abs(a.x()), std::abs(a.y()), std::abs(b.x()), std::abs(b.y())}) > Far &&
        !clipped(a, b, r.width, r.height))
        return;
    const auto fixed = [](double v) { return std::int64_t(v * 64); };
    std::int64_t x1 = fixed(a.x()), y1 = fixed(a.y()), x2 = fixed(b.x()), y2 = fixed(b.y());
    const bool across = std::abs(x2 - x1) >= std::abs(y2 - y1);
    if (!across) std::swap(x1, y1), std::swap(x2, y2);
    if (x2 < x1) std::swap(x1, x2), std::swap(y1, y2);
    if (x2 == x1) return;
    const std::int64_t step = (y2 - y1) * 65536 / (x2 - x1);
    const std::int64_t first = (x1 + 32) >> 6, last = (x2 + 32) >> 6;
    const std::int64_t m0 = (y1 << 10) + ((((first << 6) + (step > 0 ? 32 : 0) - x1) * step) >> 6);
    const std::int64_t major = across ? r.width : r.height, minor = across ? r.height : r.width;
    // Only the pixels over the image.
    std::int64_t k0 = std::max<std::int64_t>(0, -first), k1 = std::min(last, major) - first;
    if (step != 0) {
        const double enter = -double(m0) / double(step);
        const double leave = (double(minor) * 65536 - double(m0)) / double(step);
        k0 = std::max(k0, std::int64_t(std::floor(std::min(enter, leave))));
        k1 = std::min(k1, std::int64_t(std::ceil(std::max(enter, leave))) + 1);
    }
    const std::uint32_t colour = pixel();
    const qsizetype along = across ? 1 : r.stride, over = across ? r.stride : 1;
    for (std::int64_t k = k0; k < k1; ++k) {
        const std::int64_t m = (m0 + k * step) >> 16;
        if (m < 0 || m >= minor) continue;
        r.bits[qsizetype(first + k) * along + qsizetype(m) * over] = colour;
    }
}

// Cuts the line a–b to the box a pixel wider than w × h; false when none of
// it lies there.
bool QtSurface::clipped(QPointF& a, QPointF& b, int w, int h) {
    double t0 = 0, t1 = 1;
    const double d[2] = {b.x() - a.x(), b.y() - a.y()}, p[2] = {a.x(), a.y()};
    const double high[2] = {double(w) + 1, double(h) + 1};
    for (int axis = 0; axis < 2; ++axis) {
        for (const double bound : {-1.0, high[axis]}) {
            if (d[axis] == 0) {
                if ((bound < 0 && p[axis] < bound) || (bound > 0 && p[axis] > bound)) return false;
                continue;
            }
            const double t = (bound - p[axis]) / d[axis];
            const bool entering = (bound < 0) == (d[axis] > 0);
            if (entering)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
    }
    if (!(t0 <= t1)) return false;
    const QPointF from = a;
    a = from + (b - from) * t0;
    b = from + (b - from) * t1;
    return true;
}

// A box of whole logical pixels.
void QtSurface::directBox(const QRectF& box) {
    const Raster& r = raster_;
    const int x0 = std::max(0, int(std::lround(box.left() * r.ratio)));
    const int y0 = std::max(0, int(std::lround(box.top() * r.ratio)));
    const int x1 = std::min(r.width, int(std::lround(box.right() * r.ratio)));
    const int y1 = std::min(r.height, int(std::lround(box.bottom() * r.ratio)));
    const std::uint32_t colour = pixel();
    for (int y = y0; y < y1; ++y)
        std::fill(r.bits + y * r.stride + x0, r.bits + y * r.stride + std::max(x0, x1), colour);
}

void QtSurface::applyPen() {
    penDirty_ = false;
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
    renew();
}

void QtSurface::resetScale() {
    left_ = 0;
    top_ = 0;
    width_ = widthTwips();
    height_ = heightTwips();
    renew();
}

// The pen goes to the painter when QPainter next draws.
void QtSurface::setForeground(Colour colour) {
    if (colour == foreground_) return;
    foreground_ = colour;
    penDirty_ = true;
}

void QtSurface::setPenMode(PenMode mode) {
    mode_ = mode;
    renew();
    penDirty_ = true;
}

void QtSurface::setLineWidth(int pixels) {
    lineWidth_ = std::max(1, pixels);
    renew();
    penDirty_ = true;
}

void QtSurface::setLineStyle(LineStyle style) {
    style_ = style;
    renew();
    penDirty_ = true;
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
    const QRectF box(QPointF(std::floor(p.x() - (w - 1) / 2.0), std::floor(p.y() - (w - 1) / 2.0)),
                     QSizeF(w, w));
    if (!painter_) painter();
    if (raster_.bits && mode_ == PenMode::Copy)
        directBox(box);
    else
        painter().fillRect(box, qcolour(foreground_));
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
    if (!painter_) painter();
    const auto rounded = [](double v) { return std::floor(v + 0.5); };
    if (rounded(a.x()) == rounded(b.x()) && rounded(a.y()) == rounded(b.y()))
        dot(a);
    else if (direct_)
        directLine(a, b);
    else
        painter().drawLine(a, b);
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
    if (!painter_) painter();
    if (raster_.bits && mode_ == PenMode::Copy) {
        directBox(r);
        drawn();
        return;
    }
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

void PictureBox::scheduleUpdate() {
    if (updatePending_) return;
    updatePending_ = true;
    update();
}

void PictureBox::WidgetSurface::drawn() {
    box_.scheduleUpdate();
}

void PictureBox::OverlaySurface::drawn() {
    box_.overlayUsed_ = true;
    box_.scheduleUpdate();
}

void PictureBox::OverlaySurface::clear() {
    flush();
    box_.overlayImage_.fill(Qt::transparent);
    moveTo(scaleLeft(), scaleTop());
    if (!box_.overlayUsed_) return;
    box_.overlayUsed_ = false;
    box_.scheduleUpdate();
}

QImage PictureBox::image() {
    surface_.flush();
    return image_;
}

QImage PictureBox::shown() {
    QImage out = image();
    overlay_.flush();
    if (overlayUsed_) QPainter(&out).drawImage(0, 0, overlayImage_);
    return out;
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
    overlay_.detach();
    overlayImage_ = QImage(image_.size(), QImage::Format_ARGB32_Premultiplied);
    overlayImage_.setDevicePixelRatio(ratio);
    overlayImage_.setDotsPerMeterX(dotsPerMeter);
    overlayImage_.setDotsPerMeterY(dotsPerMeter);
    overlayImage_.fill(Qt::transparent);
    overlayUsed_ = false;
    overlay_.attach(&overlayImage_, QSizeF(logical), dpi);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    updatePending_ = false;
    surface_.flush();
    overlay_.flush();
    const QRect area = event->rect();
    const QRectF source(QPointF(area.topLeft()) * image_.devicePixelRatio(),
                        QSizeF(area.size()) * image_.devicePixelRatio());
    QPainter p(this);
    p.drawImage(area, image_, source);
    if (overlayUsed_) p.drawImage(area, overlayImage_, source);
}

void PictureBox::resizeEvent(QResizeEvent*) {
    const Colour fg = surface_.foreground(), marks = overlay_.foreground();
    recreate();
    surface_.setForeground(fg);
    overlay_.setForeground(marks);
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
