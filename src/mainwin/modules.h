#pragma once
// The modules the main window can open, by code.

namespace vanto {

class AppController;

// Registers every module window of the program with the controller.
void registerModules(AppController& controller);

}  // namespace vanto
