#pragma once
// The report's figures, drawn by the diagram window's own picture code on a
// page, with the colours and type sizes of paper. Every call into the view
// and diagram drawing code of the windows is made here.

#include <string>

#include "calcreport/document.h"
#include "diagrams/extremes.h"
#include "diagrams/picture.h"

namespace vanto::calcreport {

class ReportFigures {
  public:
    // Plane frames are seen square on; other structures in the editor's
    // first view.
    ReportFigures(const diagrams::DiagramData& data, Structure structure);

    // Up to this many bars the figures carry node marks, and the
    // structure's figure its bar loads and numbers; beyond, they would cover
    // the drawing.
    static constexpr int DetailedBarsLimit = 300;
    bool detailed() const { return picture_.structure().barCount <= DetailedBarsLimit; }

    // The structure with its supports and node loads, and when detailed its
    // bar loads and node and bar numbers.
    void structure(Surface& page, const Box& area);
    // One diagram kind at the scale S over the structure in black, its
    // largest and smallest values marked with their numbers.
    void diagram(Surface& page, const Box& area, char code, double S,
                 const diagrams::KindExtremes& extremes, const std::string& unit);

    // The caption of the view the figures are seen in.
    const char* viewCaption() const;

  private:
    void fit(Surface& page, const Box& area);
    void markExtreme(Surface& page, const Box& area, char code, double S,
                     const diagrams::Extreme& e, const std::string& label);

    diagrams::DiagramPicture picture_;
    int view_;
};

}  // namespace vanto::calcreport
