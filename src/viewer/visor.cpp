#include "viewer/visor.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/files.h"
#include "model/structure.h"
#include "model/textfile.h"

namespace vanto::viewer {

namespace fs = std::filesystem;

Colour redSwatch(int v) {
    v = std::clamp(v, -ScrollLimit, ScrollLimit);
    return v > 0 ? rgb(255 - v, 0, 0) : rgb(255, -v, -v);
}

Colour blueSwatch(int v) {
    v = std::clamp(v, -ScrollLimit, ScrollLimit);
    return v > 0 ? rgb(0, 0, 255 - v) : rgb(-v, -v, 255);
}

std::optional<ColourSettings> readColours(const fs::path& dir) {
    const auto text = readTextFile(findFile(dir, SettingsFile));
    if (!text) return std::nullopt;
    ValueReader in(*text);
    int values[2];
    for (int& value : values) {
        const auto v = in.number();
        if (!v || *v != std::floor(*v) || std::abs(*v) > ScrollLimit) return std::nullopt;
        value = int(*v);
    }
    return ColourSettings{values[0], values[1]};
}

std::string coloursText(const ColourSettings& colours) {
    TextWriter w;
    for (int v : {colours.red, colours.blue})
        w.line((v < 0 ? "" : " ") + std::to_string(v) + " ");
    return w.content();
}

void writeColours(const fs::path& dir, const ColourSettings& colours) {
    replaceFile(dir, SettingsFile, coloursText(colours));
}

// ---------------------------------------------------------------------------

bool LinR(float& x1, float& y1, float& x2, float& y2, float w, float h) {
    if (x1 == x2) {
        if (x1 >= 0 && x1 <= w) {
            y1 = std::clamp(y1, 0.0f, h);
            y2 = std::clamp(y2, 0.0f, h);
        }
    } else if (y1 == y2) {
        if (y1 >= 0 && y1 <= h) {
            x1 = std::clamp(x1, 0.0f, w);
            x2 = std::clamp(x2, 0.0f, w);
        }
    } else {
        const bool sameSide =
            (x1 < 0 && x2 < 0) || (x1 > w && x2 > w) || (y1 < 0 && y2 < 0) || (y1 > h && y2 > h);
        if (!sameSide) {
            const float m = (y2 - y1) / (x2 - x1);
            for (auto [x, y] : {std::pair{&x1, &y1}, std::pair{&x2, &y2}}) {
                if (*x < 0) {
                    *y -= m * *x;
                    *x = 0;
                }
                if (*y < 0) {
                    *x -= *y / m;
                    *y = 0;
                }
                if (*x > w) {
                    *y += m * (w - *x);
                    *x = w;
                }
                if (*y > h) {
                    *x += (h - *y) / m;
                    *y = h;
                }
            }
        }
    }
    return !((x1 <= 0 && x2 <= 0) || (x1 >= w && x2 >= w) || (y1 <= 0 && y2 <= 0) ||
             (y1 >= h && y2 >= h));
}

// ---------------------------------------------------------------------------

namespace {

// The structure's axis to be seen in depth: x for a body in three dimensions
// (and for a frame in yz); for a plane structure its thinnest extent, ties
// going to x, then y, then z.
int depthAxisOf(const Structure& data) {
    std::array<float, 3> extent{};
    for (int a = 1; a <= 3; ++a) {
        float lo = std::numeric_limits<float>::infinity(), hi = -lo;
        for (int n = 1; n <= data.nodeCount; ++n) {
            lo = std::min(lo, data.coordinates(n, a));
            hi = std::max(hi, data.coordinates(n, a));
        }
        extent[std::size_t(a - 1)] = data.nodeCount > 0 ? hi - lo : 0;
    }
    const auto thinnest = std::min_element(extent.begin(), extent.end());
    const float largest = *std::max_element(extent.begin(), extent.end());
    if (*thinnest > Visor::PlaneRatio * largest) return 1;
    return int(thinnest - extent.begin()) + 1;
}

// Right-handed: screen right, screen up, towards the observer.
std::array<float, 3> toViewer(float x, float y, float z, int depth) {
    switch (depth) {
        case 2:
            return {x, z, -y};
        case 3:
            return {x, y, z};
        default:
            return {y, z, x};
    }
}

}  // namespace

void Visor::load(const Structure& data) {
    nodes_.clear();
    bars_.clear();
    depthAxis_ = depthAxisOf(data);
    for (int n = 1; n <= data.nodeCount; ++n)
        nodes_.push_back(toViewer(data.coordinates(n, 1), data.coordinates(n, 2),
                                  data.coordinates(n, 3), depthAxis_));
    for (int b = 1; b <= data.barCount; ++b) {
        const int i = itemNumber(data.bars(b, Origin));
        const int j = itemNumber(data.bars(b, End));
        if (i < 1 || i > data.nodeCount || j < 1 || j > data.nodeCount) continue;
        const int type = itemNumber(data.bars(b, Type));
        bars_.push_back({i, j, palette16((type % 14 + 14) % 14 + 1)});
    }
    // Coloured by type, the bars go out colour by colour, so that the pen
    // changes a few times rather than at every bar.
    byColour_ = bars_;
    std::stable_sort(byColour_.begin(), byColour_.end(),
                     [](const Bar& p, const Bar& q) { return p.typeColour < q.typeColour; });
    work_ = nodes_;
    proj_.assign(nodes_.size(), {});
}

void Visor::reset(float w, float h) {
    w_ = w;
    h_ = h;
    state_ = {};
    work_ = nodes_;
    fitToPicture();
}

void Visor::fitToPicture() {
    state_.displacement = {};
    const auto half = centre();
    // The observer stands four half-extents away, that of the picture's
    // limiting direction or the depth's if larger, so every node is in front.
    const float hX = half[0], hY = half[1];
    const float across = h_ / w_ < hY / hX ? hY : hX;
    state_.D = state_.F = 4 * std::max(across, half[2]);
    k_ = Fill * edgeScale();
}

std::array<float, 3> Visor::centre() {
    std::array<float, 3> half{1, 1, 1};
    if (work_.empty()) return half;
    for (std::size_t a = 0; a < 3; ++a) {
        auto [lo, hi] = std::minmax_element(
            work_.begin(), work_.end(), [a](const auto& p, const auto& q) { return p[a] < q[a]; });
        const float min = (*lo)[a], max = (*hi)[a];
        half[a] = std::max((max - min) / 2, 1.0f);
        const float middle = min + (max - min) / 2;
        for (auto& p : work_)
            p[a] -= middle;
    }
    return half;
}

float Visor::edgeScale() const {
    // Largest |X| / t and |Y| / t; t > 0, as D exceeds every node's depth.
    float across = 0, up = 0;
    for (const auto& p : work_) {
        const float t = (state_.D - p[2]) / state_.F;
        float x = std::abs(p[0]);
        if (anaglyph) x = std::max(x, std::abs(p[0] + EyeOffset));
        across = std::max(across, x / t);
        up = std::max(up, std::abs(p[1]) / t);
    }
    float k = std::numeric_limits<float>::infinity();
    if (across > 0) k = w_ / 2 / across;
    if (up > 0) k = std::min(k, h_ / 2 / up);
    // A figure that is one point: a metre to the nearer edge.
    return std::isfinite(k) ? k : std::min(w_, h_) / 2;
}

Visor::Projected Visor::projectPoint(const std::array<float, 3>& p) const {
    Projected out;
    out.t = (state_.D - p[2]) / state_.F;
    const float t = out.t <= 0 ? 0.0000001f : out.t;
    out.u = k_ * p[0] / t + w_ / 2;
    out.v = h_ / 2 - k_ * p[1] / t;
    out.u2 = anaglyph ? k_ * (p[0] + EyeOffset) / t + w_ / 2 : out.u;
    return out;
}

void Visor::project() {
    for (std::size_t n = 0; n < work_.size(); ++n)
        proj_[n] = projectPoint(work_[n]);
}

bool Visor::ends(const Bar& bar, Projected& a, Projected& b) const {
    a = proj_[std::size_t(bar.a - 1)];
    b = proj_[std::size_t(bar.b - 1)];
    const bool aIn = a.t >= NearT, bIn = b.t >= NearT;
    if (aIn && bIn) return true;
    if (!aIn && !bIn) return false;
    // Where t, linear along the bar, reaches the near plane.
    const auto& pa = work_[std::size_t(bar.a - 1)];
    const auto& pb = work_[std::size_t(bar.b - 1)];
    const float s = (a.t - NearT) / (a.t - b.t);
    std::array<float, 3> cut;
    for (std::size_t i = 0; i < 3; ++i)
        cut[i] = pa[i] + s * (pb[i] - pa[i]);
    (aIn ? b : a) = projectPoint(cut);
    return true;
}

void Visor::draw(Surface& picture) const {
    picture.setBackground(Background);
    picture.setPenMode(PenMode::Copy);
    picture.clear();
    const float left = float(picture.scaleLeft()), top = float(picture.scaleTop());
    // The lines go out colour by colour, each colour in one call: in the
    // anaglyph the blue image first and the red one over it.
    std::vector<Segment> batch;
    batch.reserve(bars_.size());
    const auto flush = [&](Colour colour) {
        if (batch.empty()) return;
        picture.setForeground(colour);
        picture.lines(batch);
        batch.clear();
    };
    const int images = anaglyph ? 2 : 1;
    const bool byType = !anaglyph && colourByType;
    for (int image = 0; image < images; ++image) {
        Colour colour = anaglyph ? (image == 0 ? blue : red) : palette16(BarColourIndex);
        for (const Bar& bar : byType ? byColour_ : bars_) {
            Projected a, b;
            if (!ends(bar, a, b)) continue;
            float x1 = image == 1 ? a.u2 : a.u, y1 = a.v;
            float x2 = image == 1 ? b.u2 : b.u, y2 = b.v;
            if (!LinR(x1, y1, x2, y2, w_, h_)) continue;
            if (byType && bar.typeColour != colour) {
                flush(colour);
                colour = bar.typeColour;
            }
            batch.push_back({left + x1, top + y1, left + x2, top + y2});
        }
        flush(colour);
    }
}

// ---------------------------------------------------------------------------

void Visor::turn(int axis, float delta) {
    if (axis < 1 || axis > 3) return;
    float& total = state_.turn[std::size_t(axis - 1)];
    total = std::fmod(total + delta, FullTurn);
    // The two other axes in cyclic order.
    const std::size_t i = std::size_t(axis % 3), j = std::size_t((axis + 1) % 3);
    const float c = std::cos(delta), s = std::sin(delta);
    for (auto& p : work_) {
        const float pi = p[i], pj = p[j];
        p[i] = c * pi - s * pj;
        p[j] = s * pi + c * pj;
    }
}

void Visor::move(int axis, float distance) {
    if (axis < 1 || axis > 3) return;
    const std::size_t a = std::size_t(axis - 1);
    state_.displacement[a] += distance;
    for (auto& p : work_)
        p[a] += distance;
}

namespace {
// Axis and sign of button index 1..6.
bool axisOf(int index, int& axis, int& sign) {
    if (index < 1 || index > 6) return false;
    axis = index <= 3 ? index : index - 3;
    sign = index <= 3 ? 1 : -1;
    return true;
}

bool scaled(float& value, float factor) {
    const float next = value * factor;
    if (!(next > 0) || !std::isfinite(next)) return false;
    value = next;
    return true;
}

float plusMinus(int index) {
    return index == 1 ? 1.0f : index == 2 ? -1.0f : 0.0f;
}
}  // namespace

void Visor::Giro(int index) {
    int axis, sign;
    if (axisOf(index, axis, sign)) turn(axis, float(sign * step) * Pi / 180);
}

void Visor::Desp(int index) {
    int axis, sign;
    if (axisOf(index, axis, sign)) move(axis, float(sign * step) / 10);
}

bool Visor::scaleDistance(float factor) {
    return scaled(state_.D, factor);
}

bool Visor::scalePerspective(float factor) {
    return scaled(state_.F, factor);
}

bool Visor::DistObs(int index) {
    const float s = plusMinus(index);
    return s != 0 && scaleDistance(1 + s / float(step));
}

bool Visor::Angulo(int index) {
    const float s = -plusMinus(index);
    return s != 0 && scalePerspective(1 + s / float(step));
}

// ---------------------------------------------------------------------------

void Visor::press(const PointerEvent& event) {
    pressX_ = event.x;
    pressY_ = event.y;
}

bool Visor::drag(const PointerEvent& event) {
    if (event.held(Button::Left)) {
        // Whole degrees only, the rest of the travel kept for the next move,
        // so a drag turns exactly as the one-degree buttons do.
        const int across = int((event.x - pressX_) / DragPerDegree);
        const int down = int((event.y - pressY_) / DragPerDegree);
        pressX_ += across * DragPerDegree;
        pressY_ += down * DragPerDegree;
        const float degree = Pi / 180;
        for (int n = 0; n < std::abs(across); ++n)
            turn(2, across > 0 ? degree : -degree);
        for (int n = 0; n < std::abs(down); ++n)
            turn(1, down > 0 ? degree : -degree);
        return across != 0 || down != 0;
    }
    if (event.held(Button::Right) || event.held(Button::Middle)) {
        const double dx = event.x - pressX_, dy = event.y - pressY_;
        pressX_ = event.x;
        pressY_ = event.y;
        if (dx == 0 && dy == 0) return false;
        // Metres per picture unit at the working origin's depth.
        const double perUnit = double(state_.D) / double(state_.F) / double(k_);
        if (dx != 0) move(1, float(dx * perUnit));
        if (dy != 0) move(2, float(-dy * perUnit));
        return true;
    }
    return false;
}

bool Visor::wheel(const PointerEvent& event) {
    wheelNotches_ += event.wheel;
    const int notches = int(wheelNotches_);
    wheelNotches_ -= notches;
    bool changed = false;
    const float ratio = 1.0f / LargeStep;
    for (int n = 0; n < std::abs(notches); ++n)
        changed |= scaleDistance(notches > 0 ? 1 - ratio : 1 + ratio);
    return changed;
}

}  // namespace vanto::viewer
