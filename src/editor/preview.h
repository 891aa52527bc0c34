#pragma once
// Small previews of a structure as wire frames: the main window's, seen along
// a view direction of its own that the mouse turns and shaded by depth, and
// the import/export window's, in the fixed "DIN-5" view in one colour. Both
// fill 90% of the picture in its limiting direction, centred.
//
// The rotatable view's triad comes from the view direction and the roll angle
// by the rule that gives a bar its local axes (model/geometry.h). Its first
// axis runs along the view direction, towards the eye, and gives the depth;
// the second is screen right and the third screen up. From the initial view
// the eye is above the structure, global Z upright on the screen. Nearer bars
// (greater depth) are drawn in the full bar colour, the farthest 88% of the
// way to the background.

#include <array>
#include <filesystem>
#include <functional>

#include "model/arrays.h"
#include "model/helpers.h"
#include "model/input.h"
#include "model/structure_data.h"
#include "model/surface.h"
#include "view/projection.h"

namespace vanto::editor {

enum class PreviewState { Drawn, NoData, OtherVersion };

// Reads DATOS.DAT and, when it is of this version, BARRAS.DAT and
// COORDENA.DAT of `dir`. Throws FileError for a missing or damaged file.
PreviewState loadPreview(const std::filesystem::path& dir, Structure& data);

// Clears the picture, fits `view` to it and draws every bar whose nodes
// exist, in the colour `colourOf(origin, end)` gives.
void drawWireFrame(Surface& picture, const Structure& data, view::View& view,
                   const std::function<Colour(int, int)>& colourOf);

class Preview {
  public:
    static constexpr std::array<float, 3> InitialDirection{-1, -1, 2};
    static constexpr float InitialRoll = -101.55f;
    // Pointer travel (twips) for one 2° step of the view direction.
    static constexpr double DragThreshold = 40;

    Colour barColour = rgb(0, 0, 128);
    Colour backgroundColour = rgb(255, 255, 255);

    // Reads the structure of `dir`; when it is not the one previewed last,
    // the view goes back to its initial state. Throws FileError.
    PreviewState load(const std::filesystem::path& dir);
    // Forgets the structure (nothing to draw).
    void unload();
    bool loaded() const { return loaded_; }

    void draw(Surface& picture) const;

    // A press stores the pointer; moves with the left button held turn the
    // view direction, with the right button the roll angle. drag() is true
    // when the view changed and the preview is to be drawn again.
    void press(const PointerEvent& event);
    bool drag(const PointerEvent& event);

    const std::array<float, 3>& direction() const { return direction_; }
    float roll() const { return roll_; }
    void setView(const std::array<float, 3>& direction, float roll) {
        direction_ = direction;
        roll_ = roll;
    }
    int nodeCount() const { return data_.nodeCount; }
    int barCount() const { return data_.barCount; }

  private:
    std::array<Vec3, 3> triad() const;
    bool turnDirection(double x, double y);
    bool turnRoll();

    std::filesystem::path lastDirectory_;
    bool loaded_ = false;
    Structure data_;
    std::array<float, 3> direction_ = InitialDirection;
    float roll_ = InitialRoll;
    double pressX_ = 0, pressY_ = 0;
    double rollCounter_ = 0;
};

class DinPreview {
  public:
    static constexpr Colour Background = 0;  // Palette16 0, black
    static constexpr int BarColourIndex = 14;

    // False (nothing to draw) without DATOS.DAT or for another version.
    // Throws FileError.
    bool load(const std::filesystem::path& dir);
    void draw(Surface& picture) const;

    int nodeCount() const { return data_.nodeCount; }
    int barCount() const { return data_.barCount; }

  private:
    bool loaded_ = false;
    Structure data_;
};

}  // namespace vanto::editor
