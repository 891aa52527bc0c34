#pragma once
// The main window's preview of a structure: a wire frame seen along a view
// direction of its own, turned with the mouse and shaded by depth. Drawing
// logic only; the window hands it a surface measured in twips.
//
// The view triad comes from the view direction and the roll angle by the rule
// that gives a bar its local axes (analysis/element.h). Its first axis runs
// along the view direction, towards the eye, and gives the depth; the second
// is the screen x and the third the screen y (up). From the initial view the
// eye is above the structure, global Z upright on the screen. Nearer nodes
// (greater depth) are drawn in the full bar colour, the farthest 88% of the way
// to the background.

#include <array>
#include <filesystem>

#include "model/arrays.h"
#include "model/helpers.h"
#include "model/surface.h"

namespace vanto {

enum class PreviewState { Drawn, NoData, OtherVersion };

class Preview {
  public:
    static constexpr std::array<float, 3> InitialDirection{-1, -1, 2};
    static constexpr float InitialRoll = -101.55f;
    // Pointer travel (twips) for one 2° step of the view direction.
    static constexpr double DragThreshold = 40;

    Colour barColour = rgb(0, 0, 128);
    Colour backgroundColour = rgb(255, 255, 255);

    // Reads DATOS.DAT, BARRAS.DAT and COORDENA.DAT of `dir`. When `dir` is not
    // the structure previewed last, the view goes back to its initial state.
    // Throws FileError for a missing or damaged file.
    PreviewState load(const std::filesystem::path& dir);
    // Forgets the structure (nothing to draw).
    void unload();
    bool loaded() const { return loaded_; }

    // Clears the surface and draws the structure filling 90% of it.
    void draw(Surface& picture) const;

    // Mouse: a press stores the pointer; moves with the left button turn the
    // view direction, moves with the right button turn the roll angle. They
    // return true when the view changed and the preview is to be redrawn.
    void press(double x, double y);
    bool dragLeft(double x, double y);
    bool dragRight();

    const std::array<float, 3>& direction() const { return direction_; }
    float roll() const { return roll_; }
    void setView(const std::array<float, 3>& direction, float roll) {
        direction_ = direction;
        roll_ = roll;
    }
    int nodeCount() const { return nodeCount_; }
    int barCount() const { return barCount_; }

  private:
    std::array<std::array<double, 3>, 3> triad() const;

    std::filesystem::path lastDirectory_;
    bool loaded_ = false;
    int nodeCount_ = 0;
    int barCount_ = 0;
    Table<float> xyz_;   // (node, axis)
    Table<float> bars_;  // (bar, field)
    std::array<float, 3> direction_ = InitialDirection;
    float roll_ = InitialRoll;
    double pressX_ = 0, pressY_ = 0;
    double rollCounter_ = 0;
};

}  // namespace vanto
