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

void Visor::load(const Structure& data) {
    nodes_.clear();
    bars_.clear();
    for (int n = 1; n <= data.nodeCount; ++n)
        nodes_.push_back({data.coordinates(n, 2), data.coordinates(n, 3), data.coordinates(n, 1)});
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
    std::array<float, 3> half{1, 1, 1};
    if (!work_.empty()) {
        for (int a = 0; a < 3; ++a) {
            auto [lo, hi] =
                std::minmax_element(work_.begin(), work_.end(), [a](const auto& p, const auto& q) {
                    return p[std::size_t(a)] < q[std::size_t(a)];
                });
            const float min = (*lo)[std::size_t(a)], max = (*hi)[std::size_t(a)];
            half[std::size_t(a)] = std::max((max - min) / 2, 1.0f);
            const float centre = min + half[std::size_t(a)];
            for (auto& p : work_)
                p[std::size_t(a)] -= centre;
        }
    }
    const float hX = half[0], hY = half[1];
    if (h / w < hY / hX) {
        state_.D = state_.F = 4 * hY;
        k_ = h / (2 * hY);
    } else {
        state_.D = state_.F = 4 * hX;
        k_ = w / (2 * hX);
    }
    k_ *= 0.75f;
}

Visor::Projected Visor::projectPoint(const std::array<float, 3>& p) const {
    Projected out;
    out.t = (state_.D - p[2]) / state_.F;
    const float t = out.t <= 0 ? 0.0000001f : out.t;
    out.u = k_ * p[0] / t + w_ / 2;
    out.v = h_ / 2 - k_ * p[1] / t;
    out.u2 = anaglyph ? k_ * (p[0] + 0.5f) / t + w_ / 2 : out.u;
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
