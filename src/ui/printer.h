#pragma once
// The default printer as a drawing surface. No dialog is shown. Where the
// machine has no printer the document becomes a PDF file in a directory the
// caller names (the structure's), and a message tells the user where it is.

#include <QPrinter>
#include <filesystem>
#include <memory>
#include <string>

#include "model/platform.h"
#include "model/surface.h"
#include "ui/qt_surface.h"

namespace vanto::ui {

class QtPrinter : public Printer {
  public:
    // The system's default printer, or, when there is none (or `systemPrinter`
    // is false), the file `documentName`.pdf in `fallbackDirectory`.
    static std::unique_ptr<QtPrinter> openDefault(const std::filesystem::path& fallbackDirectory,
                                                  const std::string& documentName,
                                                  Messages& messages, bool systemPrinter = true);
    ~QtPrinter() override;

    // The PDF file the document goes to; empty when it goes to a printer.
    const std::filesystem::path& pdfPath() const { return pdfPath_; }

    double widthTwips() const override { return surface_.widthTwips(); }
    double heightTwips() const override { return surface_.heightTwips(); }
    void setScale(double left, double top, double width, double height) override {
        surface_.setScale(left, top, width, height);
    }
    void resetScale() override { surface_.resetScale(); }
    double scaleLeft() const override { return surface_.scaleLeft(); }
    double scaleTop() const override { return surface_.scaleTop(); }
    double scaleWidth() const override { return surface_.scaleWidth(); }
    double scaleHeight() const override { return surface_.scaleHeight(); }
    void setForeground(Colour colour) override { surface_.setForeground(colour); }
    void setBackground(Colour colour) override { surface_.setBackground(colour); }
    void setPenMode(PenMode mode) override { surface_.setPenMode(mode); }
    void setLineWidth(int pixels) override { surface_.setLineWidth(pixels); }
    void setLineStyle(LineStyle style) override { surface_.setLineStyle(style); }
    void setFont(const Font& font) override { surface_.setFont(font); }
    void clear() override { surface_.clear(); }
    void moveTo(double x, double y) override { surface_.moveTo(x, y); }
    void line(double x1, double y1, double x2, double y2) override {
        surface_.line(x1, y1, x2, y2);
    }
    void lines(std::span<const Segment> segments) override { surface_.lines(segments); }
    void lineTo(double x, double y) override { surface_.lineTo(x, y); }
    void point(double x, double y) override { surface_.point(x, y); }
    void rectangle(double x1, double y1, double x2, double y2) override {
        surface_.rectangle(x1, y1, x2, y2);
    }
    void fillBox(double x1, double y1, double x2, double y2) override {
        surface_.fillBox(x1, y1, x2, y2);
    }
    void circle(double x, double y, double radius, std::optional<Colour> fill) override {
        surface_.circle(x, y, radius, fill);
    }
    using Surface::text;
    void text(std::string_view utf8) override { surface_.text(utf8); }
    double textWidth(std::string_view utf8) override { return surface_.textWidth(utf8); }
    double textHeight(std::string_view utf8) override { return surface_.textHeight(utf8); }

    void newPage() override;
    void endDocument() override;

  private:
    QtPrinter(std::unique_ptr<QPrinter> printer, std::filesystem::path pdfPath,
              std::filesystem::path temporary, Messages& messages);

    std::unique_ptr<QPrinter> printer_;
    QtSurface surface_;
    std::filesystem::path pdfPath_;
    std::filesystem::path temporary_;
    Messages& messages_;
    bool ended_ = false;
};

}  // namespace vanto::ui
