#pragma once
// The subcommands of vanto-cli, one file each.

#include "app/cli/cli.h"

namespace vanto::cli {

int runCalc(const Args& args);
int runList(const Args& args);
int runRenumber(const Args& args);
int runTypes(const Args& args);
int runLattice(const Args& args);
int runImport(const Args& args);
int runExportDxf(const Args& args);

}  // namespace vanto::cli
