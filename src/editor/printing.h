#pragma once
// Printing the structure as the editor's surface shows it (same view, zoom and
// clipping), enlarged to fill the page's limiting dimension and reduced by a
// percentage (view/page.h), in black.

#include "editor/editor.h"
#include "model/surface.h"

namespace vanto::editor {

struct PrintOptions {
    bool loads = true;       // ChCar "Cargas": node and bar loads
    bool restraints = true;  // ChCoa "Coacciones"
    bool localAxes = false;  // ChEje "Ejes locales": local axes and bar marks
    int percent = 100;       // HPrn "Escalar:", 0..100
};

// Draws the page on `page` (a printer's page, or any surface of the page's
// size); the caller ends the document.
void printStructure(Surface& page, const Editor& editor, const PrintOptions& options);

}  // namespace vanto::editor
