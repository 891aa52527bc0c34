#pragma once
// The explanation behind `Ang` in the bar panel.

#include "model/surface.h"

namespace vanto::editor {

// A section turned by `angleDegrees` about the bar axis, which comes out of
// the picture, with local y and z before and after the turn. Fills the whole
// surface.
void drawAnglePicture(Surface& out, float angleDegrees = 30);

}  // namespace vanto::editor
