#pragma once
// vanto-cli: its subcommands and the tool's entry point, a library that the
// executable and the tests share.

#include "app/cli/cli.h"
#include "app/cli/options.h"

namespace vanto::cli {

// The tool on the arguments of `main`: returns its exit status.
int cliMain(int argc, char** argv);

// One file each; each reads the arguments its entry in the table of
// commands.cpp declares.
int runCalc(const Invocation& call);
int runList(const Invocation& call);
int runRenumber(const Invocation& call);
int runTypes(const Invocation& call);
int runLattice(const Invocation& call);
int runImport(const Invocation& call);
int runExportDxf(const Invocation& call);
int runDiagrams(const Invocation& call);
int runDraw(const Invocation& call);
int runReport(const Invocation& call);

}  // namespace vanto::cli
