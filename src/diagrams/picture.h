#pragma once
// The diagram window's picture without its window: the structure in the
// editor's view (with the diagram window's fit), the 3D diagrams of the
// ticked kinds, the deformed shape and the number labels, on any surface.
//
// Units: the view's drawing units (twips on the screen). Every point handed
// to the surface is multiplied by the output scale c: 1 on the screen and in
// an SVG, page fraction × fit factor on the printer. The geometry of every
// diagram comes from diagram_data.h; nothing is recomputed here.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "diagrams/diagram_data.h"
#include "editor/view.h"
#include "model/structure_data.h"
#include "model/surface.h"

namespace vanto::diagrams {

// The codes of the diagram kinds, in drawing order.
inline constexpr const char* DiagramCodes = "XYZTFMD";

// What the window's check boxes and scroll bars say.
struct PictureOptions {
    std::string codes;         // ticked diagram kinds, from "XYZTFMD"
    double S = 1;              // DiagramScale
    int HScal = 30;            // detail scale 0..100: symbols HScal / 50 m long
    bool localAxes = false;    // "Ejes barras"
    bool restraints = false;   // "Coacciones"
    bool loads = false;        // "Cargas"
    bool types = false;        // "Tipos barras"
    bool nodeNumbers = false;  // "Num.Nudos"
    bool barNumbers = false;   // "Num.Barras"
};

// S from the diagram-scale scroll bar: v/100 below 100, then (v − 90)/10.
double diagramScaleOf(int scrollValue);

inline constexpr Colour BarColour = rgb(45, 140, 131);
inline constexpr double ScreenMarkSize = 12;

class DiagramPicture {
  public:
    // The structure's bars are drawn from their lower-numbered node, as the
    // results take them.
    DiagramPicture(DiagramData data, Structure structure);
    // Structure and results of `dir`; throws as loadDiagramData.
    static DiagramPicture load(const std::filesystem::path& dir);

    const DiagramData& data() const { return data_; }
    const Structure& structure() const { return structure_; }
    editor::ScreenView& screen() { return screen_; }
    const editor::ScreenView& screen() const { return screen_; }

    // Rebuilds the screen tables for the view as it is on a W × H surface;
    // an unfitted view is fitted first.
    void Paso2D(float W, float H);
    // zoomnum of the view, then Paso2D; a zoom so deep that the coordinates
    // overflow goes back to the previous view.
    void zoomnum(int mode, float W, float H, double a1 = 0, double a2 = 0, double esc0 = 0);
    // The (hm1, hm2, esc) showing the window (x1, y1)–(x2, y2) with no margin.
    // Small windows are kept as drawn; one of zero width or height is widened
    // as the editor widens it.
    std::array<float, 3> zoomWindow(float x1, float y1, float x2, float y2, float W, float H) const;

    // DibujaEstr: on the screen the surface is cleared first and the bar
    // decorations drawn; `markSize` is the half-side of the node marks and
    // the unit of the number labels (12 on the screen).
    void DibujaEstr(Surface& s, double c, const PictureOptions& o, bool printer = false,
                    double markSize = ScreenMarkSize) const;
    // DiagramaDib: one kind's diagram (or the deformed shape, "D") of every bar.
    void DiagramaDib(char code, Surface& s, double c, double S) const;

    // Bar midpoints and node positions on the surface (index 0 unused).
    std::vector<std::array<float, 2>> midpoints() const;
    std::vector<std::array<float, 2>> nodePositions() const;

  private:
    // A diagram point in unscaled projection coordinates (right, −up): where
    // it lies at S = 0 and how far it moves per unit of S (every diagram point
    // and the deformed shape are linear in S, and so is the projection).
    struct Projected {
        float u, v, du, dv;
    };
    struct KindCache {
        bool valid = false;
        editor::ViewRows rows;
        std::vector<Projected> points;  // 13 per bar from bar 1 (11 for "D")
    };
    const std::vector<Projected>& projected(std::size_t kind) const;

    void DibujaNu(Surface& s, double c, const PictureOptions& o, double z) const;
    void DibujaBa(Surface& s, const PictureOptions& o) const;

    DiagramData data_;
    Structure structure_;
    editor::ScreenView screen_{editor::DiagramScreen};
    mutable std::array<KindCache, DiagramKinds.size()> cache_;
};

}  // namespace vanto::diagrams
