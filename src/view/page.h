#pragma once
// The page layout of a printed picture: the picture as a surface shows it,
// enlarged to fill the page's limiting dimension, then reduced to a share of
// that. Every screen coordinate times scale() is its printed place.

#include "model/surface.h"

namespace vanto::view {

struct PageLayout {
    double fit;       // page over surface in the limiting dimension
    double fraction;  // the share of the page asked for, 0..1

    double scale() const { return fit * fraction; }
};

// A W × H picture on a PW × PH page at `percent` of it.
PageLayout pageLayout(double W, double H, double PW, double PH, int percent);
// The picture of `screen` on `page`.
inline PageLayout pageLayout(const Surface& screen, const Surface& page, int percent) {
    return pageLayout(screen.scaleWidth(), screen.scaleHeight(), page.scaleWidth(),
                      page.scaleHeight(), percent);
}
// Screen units to page units: pageLayout(...).scale().
inline double pageFactor(double W, double H, double PW, double PH, int percent) {
    return pageLayout(W, H, PW, PH, percent).scale();
}

}  // namespace vanto::view
