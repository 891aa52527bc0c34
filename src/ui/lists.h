#pragma once
// List helpers shared by the windows.

#include <QListWidget>
#include <string_view>

namespace vanto::ui {

// Marks selected every entry whose text equals `text` (only the first in a
// single-selection list); the list's selection handling runs as for a click.
// The first match is made current and visible.
void SelectListEntries(QListWidget& list, std::string_view text);

}  // namespace vanto::ui
