#include "editor/preview.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "model/files.h"
#include "model/structure.h"

namespace vanto::editor {

using view::Din5View;
using view::FixedViews;
using view::PreviewFit;
using view::triadRows;
using view::View;

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

bool nodeExists(const Structure& data, int n) {
    return n >= 1 && n <= data.nodeCount;
}

}  // namespace

PreviewState loadPreview(const std::filesystem::path& dir, Structure& data) {
    data = {};
    StructureCounts counts;
    switch (DiscoX::readDatos(dir, counts)) {
        case DiscoX::Status::Missing:
            return PreviewState::NoData;
        case DiscoX::Status::OtherVersion:
            return PreviewState::OtherVersion;
        case DiscoX::Status::Read:
            break;
    }
    data = Structure(counts);
    data.read(dir, part::Geometry);
    return PreviewState::Drawn;
}

void drawWireFrame(Surface& picture, const Structure& data, View& view,
                   const std::function<Colour(int, int)>& colourOf) {
    picture.clear();
    if (data.nodeCount < 1) return;
    view.fit(data.coordinates, data.nodeCount, float(picture.scaleWidth()),
             float(picture.scaleHeight()), PreviewFit);
    const double left = picture.scaleLeft(), top = picture.scaleTop();
    auto at = [&](int n, double& u, double& v) {
        float a, b;
        view.axo3d2d(data.coordinates(n, 1), data.coordinates(n, 2), data.coordinates(n, 3), a, b);
        u = left + a;
        v = top + b;
    };
    for (int b = 1; b <= data.barCount; ++b) {
        const int i = itemNumber(data.bars(b, Origin));
        const int j = itemNumber(data.bars(b, End));
        // A bar naming a node the structure lacks is not drawn.
        if (!nodeExists(data, i) || !nodeExists(data, j)) continue;
        double u1, v1, u2, v2;
        at(i, u1, v1);
        at(j, u2, v2);
        picture.setForeground(colourOf(i, j));
        picture.line(u1, v1, u2, v2);
    }
}

// ---------------------------------------------------------------------------

PreviewState Preview::load(const std::filesystem::path& dir) {
    if (dir != lastDirectory_) {
        direction_ = InitialDirection;
        roll_ = InitialRoll;
        rollCounter_ = 0;
        lastDirectory_ = dir;
    }
    unload();
    const PreviewState state = loadPreview(dir, data_);
    loaded_ = state == PreviewState::Drawn;
    return state;
}

void Preview::unload() {
    loaded_ = false;
    data_ = {};
}

std::array<Vec3, 3> Preview::triad() const {
    return axesFor(direction_[0], direction_[1], direction_[2], roll_);
}

void Preview::draw(Surface& picture) const {
    picture.setBackground(backgroundColour);
    if (!loaded_) {
        picture.clear();
        return;
    }
    const auto t = triad();
    // Depth along the first axis, towards the eye.
    std::vector<double> depth(std::size_t(data_.nodeCount) + 1);
    double nearest = std::numeric_limits<double>::lowest();
    double farthest = std::numeric_limits<double>::max();
    for (int n = 1; n <= data_.nodeCount; ++n) {
        const double d = data_.coordinates(n, 1) * t[0][0] + data_.coordinates(n, 2) * t[0][1] +
                         data_.coordinates(n, 3) * t[0][2];
        depth[std::size_t(n)] = d;
        nearest = std::max(nearest, d);
        farthest = std::min(farthest, d);
    }
    double range = nearest - farthest;
    if (range == 0) range = PreviewFit.zeroExtent;

    float br, bg, bb, fr, fg, fb;
    RGBinv(barColour, br, bg, bb);
    RGBinv(backgroundColour, fr, fg, fb);
    View view(triadRows(t));
    drawWireFrame(picture, data_, view, [&](int i, int j) {
        // The bar takes the shade of its middle: the mean of its two ends.
        const double d = (depth[std::size_t(i)] + depth[std::size_t(j)]) / 2;
        return BlendColour(br, bg, bb, fr, fg, fb, float(0.88 * (nearest - d) / range));
    });
}

void Preview::press(const PointerEvent& event) {
    pressX_ = event.x;
    pressY_ = event.y;
}

bool Preview::drag(const PointerEvent& event) {
    if (event.held(Button::Left)) return turnDirection(event.x, event.y);
    if (event.held(Button::Right)) return turnRoll();
    return false;
}

bool Preview::turnDirection(double x, double y) {
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
        Vec3 w = triad()[2];
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

bool Preview::turnRoll() {
    rollCounter_ += 0.6;
    if (rollCounter_ <= 2) return false;
    const double s = sign(rollCounter_);
    rollCounter_ = (std::abs(rollCounter_) - 1) * s;
    roll_ += float(s);
    return true;
}

// ---------------------------------------------------------------------------

bool DinPreview::load(const std::filesystem::path& dir) {
    loaded_ = loadPreview(dir, data_) == PreviewState::Drawn;
    return loaded_;
}

void DinPreview::draw(Surface& picture) const {
    picture.setBackground(Background);
    View view(FixedViews[Din5View]);
    const Colour bar = palette16(BarColourIndex);
    if (!loaded_) {
        picture.clear();
        return;
    }
    drawWireFrame(picture, data_, view, [bar](int, int) { return bar; });
}

}  // namespace vanto::editor
