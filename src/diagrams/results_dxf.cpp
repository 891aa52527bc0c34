#include "diagrams/results_dxf.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "model/dxf.h"
#include "model/files.h"
#include "model/structure.h"
#include "model/textfile.h"

namespace vanto::diagrams {

namespace fs = std::filesystem;

double sheetWidth(double maxBarLength) {
    return std::floor(maxBarLength + 0.5) + RulerWidth + 1;
}

Sheet sheetOf(int bar, double width) {
    const int column = (bar - 1) / 10;
    const int row = (bar - 1) - 10 * column;
    const double x = SheetX0 + column * width;
    const double top = SheetY0 - row * SheetH;
    return {x + SheetMargin, x + width - SheetMargin, top - SheetH + SheetMargin,
            top - SheetMargin};
}

double rulerStep(double span, double S, double limit) {
    double step = 0.25;
    if (!(S > 0)) return step;
    while (!(span / (S * step) < limit))
        step *= 2;
    return step;
}

namespace {

// One drawing being written: a temporary file beside its target, renamed over
// it by commit(); removed if never committed.
class DxfFile {
  public:
    explicit DxfFile(fs::path target) : target_(std::move(target)) {
        std::random_device rd;
        tmp_ = target_.parent_path() /
               ("." + target_.filename().string() + ".tmp" + std::to_string(rd() % 1000000));
        file_ = std::fopen(tmp_.c_str(), "wb");
        if (!file_) fail(errno);
        buffer_.reserve(Chunk + 4096);
    }
    ~DxfFile() {
        if (file_) std::fclose(file_);
        if (!committed_) {
            std::error_code ignored;
            fs::remove(tmp_, ignored);
        }
    }
    DxfFile(const DxfFile&) = delete;
    DxfFile& operator=(const DxfFile&) = delete;

    void put(std::string_view text) {
        buffer_ += text;
        buffer_ += "\r\n";
    }
    void line(const Vec3& a, const Vec3& b, std::string_view layer) {
        lines_.append(buffer_, layer, a, b);
    }
    void line2(double x1, double y1, double x2, double y2, std::string_view layer) {
        line({x1, y1, 0}, {x2, y2, 0}, layer);
    }
    void text(const Vec3& at, double height, std::string_view layer, std::string_view text) {
        buffer_ += "  0\r\nTEXT\r\n  8\r\n";
        buffer_ += layer;
        buffer_ += "\r\n 10\r\n";
        textNumber(at[0]);
        buffer_ += " 20\r\n";
        textNumber(at[1]);
        buffer_ += " 30\r\n";
        textNumber(at[2]);
        buffer_ += " 40\r\n";
        textNumber(height);
        buffer_ += "  1\r\n";
        put(text);
    }
    void text2(double x, double y, double height, std::string_view layer, std::string_view s) {
        text({x, y, 0}, height, layer, s);
    }
    // Hands a full buffer to the file; called once per bar.
    void spill() {
        if (buffer_.size() >= Chunk) flush();
    }
    void finish() {
        flush();
        const bool ok = std::fflush(file_) == 0 && ::fsync(fileno(file_)) == 0;
        const int err = errno;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!ok || !closed) fail(ok ? errno : err);
    }
    void commit() {
        std::error_code ec;
        fs::rename(tmp_, target_, ec);
        if (ec) throw FileError(FileError::Kind::WriteFailed, target_, ec.message());
        committed_ = true;
    }

  private:
    static constexpr std::size_t Chunk = 1 << 20;

    // Text values are single-precision numbers.
    void textNumber(double v) {
        textPoint_.appendPoint(buffer_, float(v));
        buffer_ += "\r\n";
    }
    void flush() {
        if (!buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
            fail(errno);
        buffer_.clear();
    }
    [[noreturn]] void fail(int err) {
        throw FileError(FileError::Kind::WriteFailed, target_, std::strerror(err));
    }

    fs::path target_, tmp_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool committed_ = false;
    const dxf::LineWriter lines_{"0.0####"};
    const NumberPattern textPoint_{"0.0#####"};
};

Vec3 plus(const Vec3& p, double s, const Vec3& v) {
    return {p[0] + s * v[0], p[1] + s * v[1], p[2] + s * v[2]};
}

// Loads and restraints of one node, in the order of the global axes.
void nodeSymbols(DxfFile& f, const Vec3& P, const std::array<double, 6>& load,
                 const std::array<double, 6>& restraint) {
    for (int k = 0; k < 3; ++k) {
        Vec3 e{}, fw{};
        e[k] = 0.3;
        fw[(k + 1) % 3] = 0.3;
        const auto at = [&](double a, double b) {  // P + a·e + b·f
            return plus(plus(P, a, e), b, fw);
        };
        if (const double M = load[k + 3]; M != 0) {
            const double s = std::copysign(std::log(1 + std::abs(M)), M);
            f.line(at(1.4 * s, 0), P, "CargaN");
            f.line(at(1.4 * s, 0), at(s, 0.25 * s), "CargaN");
            f.line(at(1.4 * s, 0), at(s, -0.25 * s), "CargaN");
        }
        if (!isFree(restraint[k + 3])) {
            f.line(at(0.9, 0), P, "CoaccionG");
            f.line(at(0.9, 0.9 * 0.25), at(0.9, -0.9 * 0.25), "CoaccionG");
        }
        if (const double F = load[k]; F != 0) {
            const double s = std::copysign(std::log(1 + std::abs(F)), F);
            f.line(at(s, 0), P, "CargaN");
            f.line(at(s, 0), at(s, 0.3 * s), "CargaN");
            f.line(at(s, 0.3 * s), at(1.3 * s, 0), "CargaN");
            f.line(at(s, -0.3 * s), at(1.3 * s, 0), "CargaN");
            f.line(at(s, 0), at(s, -0.3 * s), "CargaN");
        }
        if (!isFree(restraint[k])) {
            f.line(at(0.7, 0.7 * 0.3), P, "CoaccionD");
            f.line(at(0.7, 0.7 * 0.3), at(0.7, -0.7 * 0.3), "CoaccionD");
            f.line(at(0.7, -0.7 * 0.3), P, "CoaccionD");
        }
    }
}

// The value ruler in the right column of a sheet.
void ruler(DxfFile& f, const Sheet& sheet, double ya, double S) {
    static const NumberPattern label("##0.00");
    const double left = sheet.right - RulerWidth;
    const double half = SheetH / 2 - SheetMargin;
    const double step = rulerStep(half, S, 14);
    std::string text;
    const auto tick = [&](double y, double value) {
        f.line2(left, y, sheet.right, y, "000");
        text.clear();
        label.appendPadded(text, value);
        f.text2(left + 0.05, y - 0.1, 0.05, "000", text);
    };
    tick(ya, 0);
    if (S > 0)
        for (int k = 1;; ++k) {
            const double d = k * S * step;
            if (!(d < half - 0.09)) break;
            tick(ya + d, -k * step);
            tick(ya - d, k * step);
        }
    f.text2(left + 0.03, ya + SheetH / 2 - SheetMargin - 0.07, 0.06, "000", "t,mt,cm");
}

void writeBar(DxfFile& f3, DxfFile& f2, const DiagramData& data, int b, double S, double W) {
    const DiagramBar& bar = data.bars[b];
    const double L = bar.in.L;
    const auto& [ex, ey, ez] = bar.axes;
    const std::string number = std::to_string(b);
    Vec3 mid{};
    for (int a = 0; a < 3; ++a)
        mid[a] = (bar.p1[a] + bar.p2[a]) / 2;

    f3.line(bar.p1, bar.p2, "Barras");
    f3.text({mid[0], mid[1] + 0.1, mid[2] + 0.1}, 0.15, "NumBarras", number);

    const Sheet sheet = sheetOf(b, W);
    f2.line2(sheet.left, sheet.top, sheet.right, sheet.top, "000");
    f2.line2(sheet.right, sheet.top, sheet.right, sheet.bottom, "000");
    f2.line2(sheet.right, sheet.bottom, sheet.left, sheet.bottom, "000");
    f2.line2(sheet.left, sheet.bottom, sheet.left, sheet.top, "000");
    f2.line2(sheet.right - RulerWidth, sheet.top, sheet.right - RulerWidth, sheet.bottom, "000");
    f2.text2(sheet.left + 0.1, sheet.top - 0.4, 0.3, "000", number);

    const double x0 = sheet.left + 0.4, ya = sheet.top + 0.1 - SheetH / 2;
    f2.line2(x0, ya, x0 + L, ya, "Barras");
    f2.text2(x0 - 0.35, ya - 0.07, 0.15, "NumNudos", std::to_string(bar.i));
    f2.text2(x0 + L + 0.15, ya - 0.07, 0.15, "NumNudos", std::to_string(bar.j));
    f2.text2(x0 + L / 2 - 0.1, ya + 0.07, 0.15, "NumBarras", number);
    ruler(f2, sheet, ya, S);

    // An envelope draws its upper and its lower outline.
    for (const DiagramKind& kind : DiagramKinds) {
        if (kind.side == 0) continue;
        for (int outline = 0; outline < (data.isEnvelope() ? 2 : 1); ++outline) {
            const auto values =
                barValues(data, b, kind.code, outline ? Bound::Lower : Bound::Upper);
            const std::array<Vec3, 13> p = diagramOutline(bar, kind.code, values, S);
            for (int k = 1; k < 13; ++k)
                f3.line(p[k - 1], p[k], kind.layer);
            double px = x0, py = ya;
            for (int i = 0; i <= 10; ++i) {
                const double x = x0 + i * L / 10, y = ya - S * values[std::size_t(i)];
                f2.line2(px, py, x, y, kind.layer);
                px = x;
                py = y;
            }
            f2.line2(px, py, x0 + L, ya, kind.layer);
        }
    }
    if (!data.isEnvelope()) {
        const std::array<Vec3, 11> shape = deformedShape(data, bar, S);
        for (int k = 1; k < 11; ++k)
            f3.line(shape[k - 1], shape[k], "Deformada");
        const Deflections w = deflections(bar);
        const double A = 100 * S;
        for (int k = 1; k < 11; ++k) {
            const double xa = x0 + (k - 1) * L / 10, xb = x0 + k * L / 10;
            f2.line2(xa, ya + A * w.y[k - 1], xb, ya + A * w.y[k], "DeformadaY");
        }
        for (int k = 1; k < 11; ++k) {
            const double xa = x0 + (k - 1) * L / 10, xb = x0 + k * L / 10;
            f2.line2(xa, ya - A * w.z[k - 1], xb, ya - A * w.z[k], "DeformadaZ");
        }
    }

    f3.line(mid, plus(mid, 0.4, ex), "EjeLocalXY");
    f3.line(mid, plus(mid, 0.4, ey), "EjeLocalXY");
    f3.line(mid, plus(mid, 0.4, ez), "EjeLocalZ");

    const Vec3 up{0, 0, 1};
    const Vec3* directions[3] = {&up, &ey, &ez};
    for (int l = 0; l < 3; ++l) {
        const double q = bar.loads[l];
        if (q == 0) continue;
        const double s = -q * S;
        const Vec3& d = *directions[l];
        f3.line(plus(bar.p1, s, d), bar.p1, "CargaB");
        f3.line(plus(bar.p2, s, d), bar.p2, "CargaB");
        f3.line(plus(bar.p2, s, d), plus(bar.p1, s, d), "CargaB");
        for (int k = 1;; ++k) {
            const double t = 0.2 * k;
            if (!(t < L)) break;
            const Vec3 at = plus(bar.p1, t, ex);
            f3.line(plus(at, s, d), at, "CargaB");
        }
    }
}

}  // namespace

std::string dxfSuffix(const ShownSet& shown) {
    return shown.set == ResultSet{} && !shown.envelope ? "" : "-" + shown.code();
}

std::string dxfName(const char* name, const std::string& suffix) {
    const std::string n = name;
    return n.substr(0, n.size() - 4) + suffix + ".dxf";
}

DxfOutcome writeResultsDxf(const DiagramData& data, const fs::path& dir,
                           const fs::path& programDirectory, double S, Progress* progress,
                           const std::string& suffix) {
    const fs::path headerPath = programDirectory / LayersFileName;
    const auto header = readTextFile(headerPath);
    if (!header)
        throw DiagramError("No se encuentra el fichero de capas " + headerPath.string() +
                           ",\nque debe estar junto al programa. No se ha escrito ningún DXF.");

    DxfFile f3(dir / dxfName(Dxf3DName, suffix)), f2(dir / dxfName(Dxf2DName, suffix));
    for (DxfFile* f : {&f3, &f2}) {
        for (const std::string& l : splitLines(*header))
            f->put(l);
        f->put("  0");
        f->put("SECTION");
        f->put("  2");
        f->put("ENTITIES");
    }

    const double W = sheetWidth(data.maxBarLength);
    std::string scale = "ESCALA:  1t(axil,cort), 1m*t(mtos), 1cm(deform) = ";
    scale += FormatPoint(S, "0.##");
    scale += " ud. de dibujo";
    f2.text({0, 50.1, 0}, 0.25, "000", scale);
    f3.text({-3, -1.5, 0}, 0.25, "000", scale);
    if (!suffix.empty()) {
        const std::string which = "RESULTADOS: " + suffix.substr(1);
        f2.text({0, 50.5, 0}, 0.25, "000", which);
        f3.text({-3, -2, 0}, 0.25, "000", which);
    }

    for (int n = 1; n <= data.nodeCount; ++n) {
        const Vec3& P = data.nodes[n];
        f3.text({P[0], P[1] + 0.1, P[2] + 0.1}, 0.15, "NumNudos", std::to_string(n));
        nodeSymbols(f3, P, data.nodeLoads[n], data.restraints[n]);
        f3.spill();
    }

    for (int b = 1; b <= data.barCount; ++b) {
        if (progress) {
            progress->report(1, b, data.barCount);
            if (progress->stopRequested()) return DxfOutcome::Stopped;
        }
        writeBar(f3, f2, data, b, S, W);
        f3.spill();
        f2.spill();
    }

    for (DxfFile* f : {&f3, &f2}) {
        f->put("  0");
        f->put("ENDSEC");
        f->put(" 0 ");
        f->put("EOF");
        f->finish();
    }
    f3.commit();
    f2.commit();
    return DxfOutcome::Written;
}

}  // namespace vanto::diagrams
