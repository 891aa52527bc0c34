#pragma once
// Recording fakes of the drawing surface, the printer and the windows' context.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/files.h"
#include "model/surface.h"
#include "support/fakes.h"
#include "ui/context.h"

namespace vanto::test {

// One drawing call as the fake saw it.
struct DrawCall {
    std::string op;  // "clear", "line", "point", "rectangle", "fillBox", "circle", "text"
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Colour colour = 0;
    PenMode mode = PenMode::Copy;
    std::string text;
};

// A surface (or printer) of a given size in twips that records what is drawn
// on it, with a fixed-pitch font of 100 twips per character and 200 per line.
template <class Base>
class Recorder : public Base {
  public:
    Recorder(double widthTwips = 3000, double heightTwips = 2000)
        : w_(widthTwips), h_(heightTwips) {
        resetScale();
    }
    double widthTwips() const override { return w_; }
    double heightTwips() const override { return h_; }
    void setScale(double left, double top, double width, double height) override {
        l_ = left, t_ = top, sw_ = width, sh_ = height;
    }
    void resetScale() override { setScale(0, 0, w_, h_); }
    double scaleLeft() const override { return l_; }
    double scaleTop() const override { return t_; }
    double scaleWidth() const override { return sw_; }
    double scaleHeight() const override { return sh_; }
    void setForeground(Colour c) override { fg_ = c; }
    void setBackground(Colour) override {}
    void setPenMode(PenMode m) override { mode_ = m; }
    void setLineWidth(int) override {}
    void setLineStyle(LineStyle) override {}
    void setFont(const Font& f) override { font = f; }
    void clear() override {
        calls.clear();
        add("clear", 0, 0, 0, 0);
        cx_ = l_, cy_ = t_;
    }
    void moveTo(double x, double y) override { cx_ = x, cy_ = y; }
    void line(double x1, double y1, double x2, double y2) override {
        add("line", x1, y1, x2, y2);
        cx_ = x2, cy_ = y2;
    }
    void lineTo(double x, double y) override { line(cx_, cy_, x, y); }
    void point(double x, double y) override { add("point", x, y, x, y); }
    void rectangle(double x1, double y1, double x2, double y2) override {
        add("rectangle", x1, y1, x2, y2);
    }
    void fillBox(double x1, double y1, double x2, double y2) override {
        add("fillBox", x1, y1, x2, y2);
    }
    void circle(double x, double y, double r, std::optional<Colour>) override {
        add("circle", x, y, r, r);
    }
    using Base::text;
    void text(std::string_view s) override {
        calls.push_back({"text", cx_, cy_, cx_, cy_, fg_, mode_, std::string(s)});
        cx_ += textWidth(s);
    }
    double textWidth(std::string_view s) override { return 100.0 * s.size() * sw_ / w_; }
    double textHeight(std::string_view) override { return 200.0 * sh_ / h_; }

    std::vector<DrawCall> of(const std::string& op) const {
        std::vector<DrawCall> out;
        for (const auto& c : calls)
            if (c.op == op) out.push_back(c);
        return out;
    }
    // The calls of `op` drawn in `colour`.
    std::vector<DrawCall> of(const std::string& op, Colour colour) const {
        std::vector<DrawCall> out;
        for (const auto& c : of(op))
            if (c.colour == colour) out.push_back(c);
        return out;
    }

    std::vector<DrawCall> calls;
    Font font;

  private:
    void add(const char* op, double x1, double y1, double x2, double y2) {
        calls.push_back({op, x1, y1, x2, y2, fg_, mode_, {}});
    }
    double w_, h_;
    double l_ = 0, t_ = 0, sw_ = 1, sh_ = 1;
    double cx_ = 0, cy_ = 0;
    Colour fg_ = 0;
    PenMode mode_ = PenMode::Copy;
};

using RecordingSurface = Recorder<Surface>;

// Keeps the calls of every finished page in `pages`.
class RecordingPrinter : public Recorder<Printer> {
  public:
    RecordingPrinter(double w = 11000, double h = 15000) : Recorder(w, h) {}
    void newPage() override { pages.push_back(std::exchange(calls, {})); }
    void endDocument() override {
        newPage();
        ended = true;
    }
    std::vector<std::vector<DrawCall>> pages;
    bool ended = false;
};

// A context for window tests: recorded messages, a fixed clock, recorded
// fatal errors and printers that record instead of printing.
class TestContext : public ui::AppContext {
  public:
    Session& session() override { return session_; }
    Messages& messages() override { return messages_; }
    const Clock& clock() override { return clock_; }
    void fatal(const FileError& error) override {
        fatalErrors.push_back(error.message());
        ending_ = true;
    }
    bool ending() const override { return ending_; }
    std::unique_ptr<Printer> openPrinter(const std::filesystem::path& dir,
                                         const std::string& name) override {
        printedTo.push_back(dir / name);
        return std::make_unique<ForwardingPrinter>(*this);
    }
    RecordingMessages& recorded() { return messages_; }

    std::vector<std::string> fatalErrors;
    std::vector<std::filesystem::path> printedTo;
    RecordingPrinter printer;  // what the last print drew

  private:
    // Hands the drawing to `printer` so that tests can read it afterwards.
    class ForwardingPrinter : public RecordingPrinter {
      public:
        explicit ForwardingPrinter(TestContext& c) : context_(c) {}
        ~ForwardingPrinter() override { context_.printer = *this; }

      private:
        TestContext& context_;
    };

    Session session_;
    RecordingMessages messages_;
    FixedClock clock_;
    bool ending_ = false;
};

}  // namespace vanto::test
