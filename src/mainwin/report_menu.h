#pragma once
// "Memoria de cálculo (PDF)..." of the main window's "Resultados" menu: the
// calculation report of a structure written into its directory, with a
// progress window while a large one is written (its "Cancelar" stops it and
// nothing is written), and a message naming the file.

#include <filesystem>

#include "ui/context.h"

class QWidget;

namespace vanto {

// Writes memoria.pdf into `dir`; the file written, or empty when the
// structure has no results (the user is told), the user stopped it, or the
// file could not be written (the user is told).
std::filesystem::path writeReportFromMenu(ui::AppContext& context, QWidget* parent,
                                          const std::filesystem::path& dir);

}  // namespace vanto
