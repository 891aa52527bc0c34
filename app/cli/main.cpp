#include "app/cli/commands.h"

int main(int argc, char** argv) {
    return vanto::cli::cliMain(argc, argv);
}
