#pragma once
// The fonts the program asks for by name ("Courier New", "Arial", "Letter
// Gothic") and the metric-compatible free fonts that stand in where they are
// absent.

namespace vanto::ui {

// Registers the stand-ins with Qt's font matching, after the application
// object exists. qfont() does it on first use; calling it again is harmless.
void installFontSubstitutions();

}  // namespace vanto::ui
