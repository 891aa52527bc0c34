#pragma once
// The perspective viewer: the bars of a structure as a wire frame in central
// perspective, turned, moved and zoomed, as one image or as a red/blue
// anaglyph, and the file visor.dat that keeps the anaglyph's two colours.
//
// Viewer axes: 1 = X (screen right), 2 = Y (screen up), 3 = Z (towards the
// observer); metres. A structure in three dimensions is seen along its x:
// X = y, Y = z, Z = x. A plane one faces the observer, seen along its thinnest
// extent: a frame in yz as a body, one in xz as X = x, Y = z, Z = −y, a
// horizontal grillage from above as X = x, Y = y, Z = z. Working
// coordinates are these after centring, turning and moving, changed in place
// by every turn and move. A point projects by
//     t = (D − Z) / F,   u = k·X / t + W/2,   v = H/2 − k·Y / t
// with the observer distance D (m), the perspective factor F (m) and the scale
// k (picture units per metre); the anaglyph's second eye sits 0.5 m to the
// right. Arithmetic is in 32-bit floats.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/helpers.h"
#include "model/input.h"
#include "model/structure_data.h"
#include "model/surface.h"

namespace vanto::viewer {

// The picture's background and the single image's bar colour (Palette16).
inline constexpr Colour Background = 0;
inline constexpr int BarColourIndex = 14;

// ---------------------------------------------------------------------------
// The anaglyph's colours: two scroll values from −255 to 255, 0 giving pure
// red and pure blue; a positive value darkens, a negative one whitens.

struct ColourSettings {
    int red = 0;   // VScrollR
    int blue = 0;  // VScrollB
    bool operator==(const ColourSettings&) const = default;
};
inline constexpr int ScrollLimit = 255;
inline constexpr int ScrollLargeStep = 16;

Colour redSwatch(int value);
Colour blueSwatch(int value);

inline constexpr const char* SettingsFile = "visor.dat";
// visor.dat of `dir`; nullopt when it is missing, unreadable or not two whole
// numbers within the scroll range.
std::optional<ColourSettings> readColours(const std::filesystem::path& dir);
// The file's bytes: each value with a blank before (or its minus sign) and one
// after, lines ending in CR LF.
std::string coloursText(const ColourSettings& colours);
// Throws FileError (WriteFailed) when the file cannot be written.
void writeColours(const std::filesystem::path& dir, const ColourSettings& colours);

// ---------------------------------------------------------------------------

// Clips the segment to the picture from (0, 0) to (w, h), moving its ends in
// place; false when nothing of it is to be drawn. A segment lying on the
// border is not drawn.
bool LinR(float& x1, float& y1, float& x2, float& y2, float w, float h);

// What a reset forgets: displacements along and turns about the three axes
// (turns in radians, within one full turn, keeping their sign), and the two
// distances of the projection.
struct ViewState {
    std::array<float, 3> displacement{};
    std::array<float, 3> turn{};
    float D = 4;  // observer distance
    float F = 4;  // perspective factor
};

class Visor {
  public:
    static constexpr float Pi = 3.141592765f;
    static constexpr float FullTurn = 6.28318553f;
    static constexpr int LargeStep = 15;
    static constexpr int SmallStep = 1;
    // Depth of the near plane, as a value of t: a bar is cut where it crosses
    // it, so no point behind (or nearly at) the observer is ever projected.
    static constexpr float NearT = 0.01f;
    // The anaglyph's second eye, to the right of the first (m).
    static constexpr float EyeOffset = 0.5f;
    // A fitted figure's outermost projected point lies this fraction of the
    // way from the picture's centre to its edge, in the limiting direction.
    static constexpr float Fill = 0.75f;
    // A structure whose thinnest extent is at most this fraction of its
    // largest counts as plane, and opens facing the observer.
    static constexpr float PlaneRatio = 0.01f;
    // Pointer travel, in picture units, for one turn of one degree.
    static constexpr double DragPerDegree = 45;

    // Takes the nodes (in viewer axes, oriented by the structure's extents)
    // and the bars of `data`; bars naming a node the structure lacks are left
    // out.
    void load(const Structure& data);

    // Forgets turns, moves and zooms for a picture of w × h units, then fits.
    void reset(float w, float h);
    // "Encuadrar": keeps the turns, forgets moves and zooms, centres the figure
    // and chooses the distances and the scale so that every node, at whatever
    // depth, projects inside the picture (both images in the anaglyph).
    void fitToPicture();
    void project();
    // Clears the picture and draws every bar, through LinR.
    void draw(Surface& picture) const;

    // The buttons. Giro and Desp: index 1..3 about / along axis 1..3 in the
    // positive sense, 4..6 in the negative one, by the current step.
    // DistObs and Angulo: index 1 "+", 2 "-"; a click that would leave the
    // value not positive (or not finite) is refused and returns false.
    void Giro(int index);
    void Desp(int index);
    bool DistObs(int index);
    bool Angulo(int index);

    // The operations behind the buttons and the mouse.
    void turn(int axis, float delta);
    void move(int axis, float distance);
    bool scaleDistance(float factor);
    bool scalePerspective(float factor);

    // The mouse on the picture: dragging with the left button turns (each
    // DragPerDegree of horizontal travel one degree about axis 2, of vertical
    // travel about axis 1), with the right or middle button moves so that the
    // centre plane follows the pointer; a wheel notch away from the user
    // brings the observer nearer by the large step's ratio, towards the user
    // takes him away. Each returns true when the picture is to be drawn again.
    void press(const PointerEvent& event);
    bool drag(const PointerEvent& event);
    bool wheel(const PointerEvent& event);

    int step = LargeStep;
    bool anaglyph = false;      // "3D": the red/blue pair
    bool colourByType = false;  // "Si": Palette16((type mod 14) + 1)
    Colour red = redSwatch(0);
    Colour blue = blueSwatch(0);

    // The structure's axis seen in depth: 1 x, 2 y, 3 z.
    int depthAxis() const { return depthAxis_; }
    int nodeCount() const { return int(nodes_.size()); }
    int barCount() const { return int(bars_.size()); }
    const ViewState& state() const { return state_; }
    float scale() const { return k_; }
    // Working coordinates of node n (from 1).
    const std::array<float, 3>& working(int n) const { return work_[std::size_t(n - 1)]; }
    // Projected coordinates of node n: u, v, and u of the second image.
    float u(int n) const { return proj_[std::size_t(n - 1)].u; }
    float v(int n) const { return proj_[std::size_t(n - 1)].v; }
    float u2(int n) const { return proj_[std::size_t(n - 1)].u2; }

  private:
    struct Bar {
        int a, b;
        Colour typeColour;
    };
    struct Projected {
        float u, v, u2, t;
    };
    Projected projectPoint(const std::array<float, 3>& p) const;
    // The bar's ends in the picture, cut at the near plane; false when the
    // whole bar lies behind it.
    bool ends(const Bar& bar, Projected& a, Projected& b) const;
    // Moves the centre of the working figure's bounding box to the origin;
    // returns its half-extents, each at least 1 m.
    std::array<float, 3> centre();
    // The scale at which the outermost projected node reaches the edge.
    float edgeScale() const;

    std::vector<std::array<float, 3>> nodes_;  // permuted, as read
    std::vector<std::array<float, 3>> work_;
    std::vector<Projected> proj_;
    std::vector<Bar> bars_;
    std::vector<Bar> byColour_;
    ViewState state_;
    int depthAxis_ = 1;
    float k_ = 1, w_ = 1, h_ = 1;
    double pressX_ = 0, pressY_ = 0;
    double wheelNotches_ = 0;
};

}  // namespace vanto::viewer
