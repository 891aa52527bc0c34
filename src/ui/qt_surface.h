#pragma once
// The drawing surface over a QPainter: widgets (through PictureBox), images
// and the printer. Coordinates are mapped to the device's logical pixels by
// the device's resolution; see model/surface.h for units and modes.
//
// On a 32-bit image, solid lines one pixel wide and filled boxes drawn in
// copy mode are set pixel by pixel, without QPainter: a large structure is
// hundreds of thousands of such figures, and QPainter takes some twenty times
// as long for each. The pixels are the ones QPainter lights.

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSizeF>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "model/input.h"
#include "model/surface.h"

namespace vanto::ui {

QColor qcolour(Colour colour);
// The Qt font for a font of the model; the size is in points. The stand-ins of
// fonts the machine lacks are registered on first use.
QFont qfont(const Font& font);

class QtSurface : public Surface {
  public:
    QtSurface() = default;
    ~QtSurface() override;
    QtSurface(const QtSurface&) = delete;
    QtSurface& operator=(const QtSurface&) = delete;

    // Draws on `device`, whose drawing area is `size` logical pixels starting
    // at `origin`, at `dpi` logical pixels per inch. The scale goes back to twips.
    void attach(QPaintDevice* device, QSizeF size, double dpi, QPointF origin = {});
    // Ends painting and forgets the device.
    void detach();
    // Ends the painter, so that the device can be shown or read; the next
    // drawing call begins a new one.
    void flush();
    // Begins painting now (a printer then starts its document).
    void begin() { painter(); }
    // Draws Xor as Copy on devices without raster operations (printers).
    void setXorSupported(bool supported) { xorSupported_ = supported; }

    QPointF toDevice(double x, double y) const {
        return QPointF(origin_.x() + (x - left_) * kx_, origin_.y() + (y - top_) * ky_);
    }
    QPointF toUser(QPointF device) const;
    double dpi() const { return dpi_; }

    double widthTwips() const override;
    double heightTwips() const override;
    void setScale(double left, double top, double width, double height) override;
    void resetScale() override;
    double scaleLeft() const override { return left_; }
    double scaleTop() const override { return top_; }
    double scaleWidth() const override { return width_; }
    double scaleHeight() const override { return height_; }

    void setForeground(Colour colour) override;
    void setBackground(Colour colour) override { background_ = colour; }
    void setPenMode(PenMode mode) override;
    void setLineWidth(int pixels) override;
    void setLineStyle(LineStyle style) override;
    void setFont(const Font& font) override;

    void clear() override;
    void moveTo(double x, double y) override;
    void line(double x1, double y1, double x2, double y2) override;
    void lineTo(double x, double y) override;
    void point(double x, double y) override;
    void rectangle(double x1, double y1, double x2, double y2) override;
    void fillBox(double x1, double y1, double x2, double y2) override;
    void circle(double x, double y, double radius,
                std::optional<Colour> fill = std::nullopt) override;
    using Surface::text;
    void text(std::string_view utf8) override;
    double textWidth(std::string_view utf8) override;
    double textHeight(std::string_view utf8) override;

    Colour foreground() const { return foreground_; }
    Colour background() const { return background_; }

  protected:
    // Called after something was drawn; widgets schedule a repaint.
    virtual void drawn() {}
    QPainter& painter();

  private:
    // The pixels of a 32-bit image being painted on.
    struct Raster {
        std::uint32_t* bits = nullptr;
        qsizetype stride = 0;  // pixels
        int width = 0, height = 0;
        double ratio = 1;  // device pixels per logical pixel
    };

    void applyPen();
    void dot(QPointF p);
    int penPixels() const { return penPixels_; }
    // Renews what follows from the scale, the pen and the device.
    void renew();
    void directLine(QPointF a, QPointF b);
    static bool clipped(QPointF& a, QPointF& b, int width, int height);
    void directBox(const QRectF& r);
    std::uint32_t pixel() const;

    QPaintDevice* device_ = nullptr;
    Raster raster_;
    // Logical pixels per unit across and down.
    double kx_ = 1, ky_ = 1;
    int penPixels_ = 1;
    // The pen changed since QPainter last had it.
    bool penDirty_ = true;
    // Solid one-pixel lines in copy mode straight to the pixels.
    bool direct_ = false;
    std::optional<QPainter> painter_;
    QSizeF size_{1, 1};
    QPointF origin_{};
    double dpi_ = 96;
    double left_ = 0, top_ = 0, width_ = 1, height_ = 1;
    double curX_ = 0, curY_ = 0;
    Colour foreground_ = 0;
    Colour background_ = 0xFFFFFF;
    PenMode mode_ = PenMode::Copy;
    int lineWidth_ = 1;
    LineStyle style_ = LineStyle::Solid;
    Font font_;
    bool xorSupported_ = true;
};

// A picture control: a widget with a drawing surface kept in an image of its
// own size, so that what was drawn stays until it is cleared (and survives
// being covered). Mouse events are reported as plain events (ui/input.h), in the
// surface's current units.
//
// Over the picture lies an overlay for transient marks (what is picked, a
// rubber band): a surface of the same size and units whose clear() leaves it
// transparent. Drawing or clearing it never touches the picture underneath.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    Surface& surface() { return surface_; }
    Surface& overlay() { return overlay_; }
    QtSurface& qtSurface() { return surface_; }
    // The picture as drawn so far, without the overlay.
    QImage image();
    // What the box shows: the picture with the overlay over it.
    QImage shown();
    // Background used when the picture is created or resized.
    void setBackgroundColour(Colour colour);

    QSize sizeHint() const override { return {200, 24}; }

  signals:
    // The picture was resized and cleared; owners redraw.
    void resized();
    void mouseDown(const vanto::PointerEvent& event);
    void mouseMove(const vanto::PointerEvent& event);
    void mouseUp(const vanto::PointerEvent& event);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    class WidgetSurface : public QtSurface {
      public:
        explicit WidgetSurface(PictureBox& box) : box_(box) {}

      protected:
        void drawn() override;

      private:
        PictureBox& box_;
    };
    class OverlaySurface : public QtSurface {
      public:
        explicit OverlaySurface(PictureBox& box) : box_(box) {}
        void clear() override;

      protected:
        void drawn() override;

      private:
        PictureBox& box_;
    };

    void recreate();
    void scheduleUpdate();

    QImage image_;
    QImage overlayImage_;
    WidgetSurface surface_{*this};
    OverlaySurface overlay_{*this};
    Colour background_ = 0xFFFFFF;
    bool updatePending_ = false;
    bool overlayUsed_ = false;
};

}  // namespace vanto::ui
