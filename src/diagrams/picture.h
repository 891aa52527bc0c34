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
#include "diagrams/paper.h"
#include "model/structure_data.h"
#include "model/surface.h"
#include "view/screen_view.h"

namespace vanto::diagrams {

// The codes of the diagram kinds, in drawing order.
inline constexpr const char* DiagramCodes = "XYZTFMD";

// The view a structure opens in: a frame in a vertical plane square on
// ("Alzado xz" or "Alzado yz"), anything else the editor's first view.
int openingView(const Structure& s);

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
    bool values = false;       // "Valores"
};

// How the values of "Valores" are written: type size, and paper colours.
struct LabelStyle {
    double points = 8;
    bool paper = false;
};

// S from the diagram-scale scroll bar: v/100 below 100, then (v − 90)/10.
double diagramScaleOf(int scrollValue);

inline constexpr Colour BarColour = rgb(45, 140, 131);
inline constexpr double ScreenMarkSize = 12;
// Pick tolerance of the bars in the large view, drawing units.
inline constexpr float PickTolerance = 45;

class DiagramPicture {
  public:
    DiagramPicture(DiagramData data, Structure structure);
    // Structure and results of `dir` for `shown` (case 1 by default), with
    // that set's loads; throws as loadShownSet.
    static DiagramPicture load(const std::filesystem::path& dir, const ShownSet& shown = {});

    const DiagramData& data() const { return data_; }
    const Structure& structure() const { return structure_; }
    const view::ScreenView& screen() const { return screen_; }

    // The view on a W × H surface: a fixed view, fitted; the screen tables
    // rebuilt for the view as it is; "Previo" (-1) or a fit afresh (0); a
    // zoom window (view/zoom_window.h), stepping back when too deep.
    void Perspec(int index, float W, float H);
    void Paso2D(float W, float H);
    void zoomnum(int mode, float W, float H);
    void zoomInto(const std::array<float, 3>& window, float W, float H);
    // Widens the view, keeping its centre of what is drawn, until what `o`
    // draws (diagrams, symbols and bar loads) lies inside the W × H surface
    // with a margin for the numbers. A view it holds already is kept.
    void fitDrawn(const PictureOptions& o, float W, float H);

    // DibujaEstr: on the screen the surface is cleared first and the bar
    // decorations drawn; `markSize` is the half-side of the node marks and
    // the unit of the number labels (12 on the screen).
    void DibujaEstr(Surface& s, double c, const PictureOptions& o, bool printer = false,
                    double markSize = ScreenMarkSize) const;
    // DiagramaDib: one kind's diagram (or the deformed shape, "D") of every bar.
    void DiagramaDib(char code, Surface& s, double c, double S) const;

    // "Valores": on every bar whose midpoint is on the surface, the values
    // of barLabelValues for each ticked kind, at their places on the drawn
    // diagram, in the kind's colour. A value that would cover a node mark,
    // another value or the surface's edge is moved along its bar or left out.
    void valueLabels(Surface& s, double c, const PictureOptions& o,
                     const LabelStyle& style = {}) const;

    // Print3D: what `screen` shows (bars, node symbols and marks, bar loads,
    // diagrams, numbers and values) framed on `page` above the title block
    // and enlarged to `percent` of the room, in the colours and type sizes of
    // paper. Returns the output scale used. The caller ends the document.
    double print(Surface& page, const Surface& screen, const PictureOptions& o, int percent,
                 const TitleBlock& title) const;

  private:
    // A diagram point in unscaled projection coordinates (right, −up): where
    // it lies at S = 0 and how far it moves per unit of S (every diagram point
    // and the deformed shape are linear in S, and so is the projection).
    struct Projected {
        float u, v, du, dv;
    };
    struct KindCache {
        bool valid = false;
        view::ViewRows rows;
        // 13 per outline from bar 1 (11 for "D"), one outline per bar or
        // the envelope's upper and lower ones.
        std::vector<Projected> points;
    };
    const std::vector<Projected>& projected(std::size_t kind) const;

    void DibujaNu(Surface& s, double c, const PictureOptions& o, double z) const;
    void DibujaBa(Surface& s, double c, const PictureOptions& o, bool printer) const;
    int outlines(char code) const { return code != 'D' && data_.isEnvelope() ? 2 : 1; }

    DiagramData data_;
    Structure structure_;
    view::ScreenView screen_{view::DiagramScreen};
    mutable std::array<KindCache, DiagramKinds.size()> cache_;
};

}  // namespace vanto::diagrams
