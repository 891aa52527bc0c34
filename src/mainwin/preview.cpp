#include "mainwin/preview.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "analysis/element.h"
#include "model/files.h"
#include "model/structure.h"

namespace vanto {

namespace {

constexpr double Pi = 3.14159265358979323846;
// The step of the view direction: 2°, with π as the program has always taken it.
constexpr double Step = 2.0 / 180.0 * 3.141593;

double sign(double v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}

// Turns the pair (p, q) by `delta`, with a measured from q towards p.
void turn(double& p, double& q, double delta) {
    const double r = std::sqrt(p * p + q * q);
    const double a = std::atan2(p, q) + delta;
    q = r * std::cos(a);
    p = r * std::sin(a);
}

}  // namespace

PreviewState Preview::load(const std::filesystem::path& dir) {
    if (dir != lastDirectory_) {
        direction_ = InitialDirection;
        roll_ = InitialRoll;
        rollCounter_ = 0;
        lastDirectory_ = dir;
    }
    unload();
    StructureCounts counts;
    switch (DiscoX::readDatos(dir, counts)) {
        case DiscoX::Status::Missing:
            return PreviewState::NoData;
        case DiscoX::Status::OtherVersion:
            return PreviewState::OtherVersion;
        case DiscoX::Status::Read:
            break;
    }
    bars_ = DiscoX::readBars(dir, counts.BarCount);
    xyz_ = DiscoX::readCoordinates(dir, counts.NodeCount);
    nodeCount_ = counts.NodeCount;
    barCount_ = counts.BarCount;
    loaded_ = true;
    return PreviewState::Drawn;
}

void Preview::unload() {
    loaded_ = false;
    nodeCount_ = barCount_ = 0;
    xyz_ = {};
    bars_ = {};
}

std::array<std::array<double, 3>, 3> Preview::triad() const {
    const auto axes = analysis::axesFor(direction_[0], direction_[1], direction_[2], roll_);
    return {axes[0], axes[1], axes[2]};
}

void Preview::draw(Surface& picture) const {
    picture.setBackground(backgroundColour);
    picture.clear();
    if (!loaded_ || nodeCount_ < 1) return;

    const auto t = triad();
    struct Projected {
        double x, y, d;
    };
    std::vector<Projected> p(std::size_t(nodeCount_) + 1);
    double lo[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                    std::numeric_limits<double>::max()};
    double hi[3] = {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest(),
                    std::numeric_limits<double>::lowest()};
    for (int n = 1; n <= nodeCount_; ++n) {
        const double c[3] = {xyz_(n, 1), xyz_(n, 2), xyz_(n, 3)};
        // Screen x, screen y (up) and depth: the triad's second, third and
        // first axis; the first runs along the view direction, towards the eye.
        double v[3];
        for (int k = 0; k < 3; ++k) {
            const auto& axis = t[(k + 1) % 3];
            v[k] = c[0] * axis[0] + c[1] * axis[1] + c[2] * axis[2];
            lo[k] = std::min(lo[k], v[k]);
            hi[k] = std::max(hi[k], v[k]);
        }
        p[n] = {v[0], v[1], v[2]};
    }
    double range[3];
    for (int k = 0; k < 3; ++k) {
        range[k] = hi[k] - lo[k];
        if (range[k] == 0) range[k] = 0.1;
    }

    const double pw = std::abs(picture.scaleWidth());
    const double ph = std::abs(picture.scaleHeight());
    const double scale = range[1] / ph > range[0] / pw ? 0.9 * ph / range[1] : 0.9 * pw / range[0];
    const double cx = picture.scaleLeft() + picture.scaleWidth() / 2;
    const double cy = picture.scaleTop() + picture.scaleHeight() / 2;
    const double mx = (lo[0] + hi[0]) / 2;
    const double my = (lo[1] + hi[1]) / 2;

    float br, bg, bb, fr, fg, fb;
    RGBinv(barColour, br, bg, bb);
    RGBinv(backgroundColour, fr, fg, fb);
    for (int b = 1; b <= barCount_; ++b) {
        const int i = itemNumber(bars_(b, Origin));
        const int j = itemNumber(bars_(b, End));
        // A bar naming a node the structure lacks is not drawn.
        if (i < 1 || i > nodeCount_ || j < 1 || j > nodeCount_) continue;
        // The bar takes the shade of its middle: the mean of its two ends.
        const double depth = (p[i].d + p[j].d) / 2;
        const float shade = float(0.88 * (hi[2] - depth) / range[2]);
        picture.setForeground(BlendColour(br, bg, bb, fr, fg, fb, shade));
        picture.line(cx + (p[i].x - mx) * scale, cy - (p[i].y - my) * scale,
                     cx + (p[j].x - mx) * scale, cy - (p[j].y - my) * scale);
    }
}

void Preview::press(double x, double y) {
    pressX_ = x;
    pressY_ = y;
}

bool Preview::dragLeft(double x, double y) {
    bool changed = false;
    double v1 = direction_[0], v2 = direction_[1], v3 = direction_[2];
    if (std::abs(x - pressX_) > DragThreshold) {
        const double s = sign(x - pressX_);
        pressX_ = x;
        turn(v1, v3, s * Step);
        direction_ = {float(v1), float(v2), float(v3)};
        changed = true;
    }
    if (std::abs(y - pressY_) > DragThreshold) {
        const double s = sign(y - pressY_);
        pressY_ = y;
        // The third axis of the triad drawn so far, turned with the direction.
        std::array<double, 3> w = triad()[2];
        turn(v2, v3, -s * Step);
        turn(w[1], w[2], -s * Step);
        direction_ = {float(v1), float(v2), float(v3)};
        const double u[3] = {-double(direction_[2]), 0, double(direction_[0])};
        const double nw = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
        const double nu = std::sqrt(u[0] * u[0] + u[2] * u[2]);
        // Looking along Y (no horizontal reference): the roll stays.
        if (nw > 0 && nu > 0) {
            const double cosine = std::clamp((w[0] * u[0] + w[2] * u[2]) / (nw * nu), -1.0, 1.0);
            double roll = std::abs(cosine - 1) < 0.000001 ? 0 : std::acos(cosine);
            if (w[1] < 0) roll = -roll;
            roll_ = float(roll * 180 / Pi);
        }
        changed = true;
    }
    return changed;
}

bool Preview::dragRight() {
    rollCounter_ += 0.6;
    if (rollCounter_ <= 2) return false;
    const double s = sign(rollCounter_);
    rollCounter_ = (std::abs(rollCounter_) - 1) * s;
    roll_ += float(s);
    return true;
}

}  // namespace vanto
