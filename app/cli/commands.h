#pragma once
// vanto-cli: its subcommands and the tool's entry point, a library that the
// executable and the tests share.

#include "app/cli/cli.h"
#include "app/cli/options.h"

#include <optional>

#include "diagrams/diagram_data.h"

namespace vanto::cli {

// The tool on the arguments of `main`: returns its exit status.
int cliMain(int argc, char** argv);

// One file each; each reads the arguments its entry in the table of
// commands.cpp declares.
int runCalc(const Invocation& call);
int runList(const Invocation& call);
int runCases(const Invocation& call);
int runRenumber(const Invocation& call);
int runTypes(const Invocation& call);
int runLattice(const Invocation& call);
int runImport(const Invocation& call);
int runExportDxf(const Invocation& call);
int runDiagrams(const Invocation& call);
int runDraw(const Invocation& call);
// --scale S of diagrams and draw: a finite S ≥ 0, or a usage error.
std::optional<double> scaleOption(const Invocation& call, int& status);
// --case of diagrams and draw: case 1 when absent, or a usage error.
std::optional<diagrams::ShownSet> caseOption(const Invocation& call, int& status);
int runReport(const Invocation& call);

}  // namespace vanto::cli
