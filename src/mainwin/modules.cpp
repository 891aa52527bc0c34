#include "mainwin/modules.h"

#include "mainwin/app_controller.h"
#include "mainwin/calculation_window.h"
#include "mainwin/diagram_window.h"
#include "mainwin/editor_window.h"
#include "mainwin/exchange_window.h"
#include "mainwin/lattice_window.h"
#include "mainwin/listing_window.h"
#include "mainwin/renumber_window.h"
#include "mainwin/results_viewer.h"
#include "mainwin/types_window.h"
#include "mainwin/viewer_window.h"

namespace vanto {

namespace {
template <class Window>
ModuleFactory windowOf() {
    return [](ui::AppContext& context) -> ui::ModuleWindow* { return new Window(context); };
}
}  // namespace

// A module's menu entry appears once its code is registered here.
void registerModules(AppController& controller) {
    controller.registerModule("EDIT", windowOf<EditorWindow>());
    controller.registerModule("CMGE", windowOf<CalculationWindow>());
    controller.registerModule("DBDG", windowOf<DiagramWindow>());
    controller.registerModule("LIST", windowOf<ListingWindow>());
    controller.registerModule("LSTR", windowOf<ResultsViewer>());
    controller.registerModule("RENU", windowOf<RenumberWindow>());
    controller.registerModule("CRET", windowOf<TypesWindow>());
    controller.registerModule("RETI", windowOf<LatticeWindow>());
    controller.registerModule("IMEX", windowOf<ExchangeWindow>());
    controller.registerModule("VI3D", windowOf<Visor3D>());
}

}  // namespace vanto
