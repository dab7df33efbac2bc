#pragma once
// Carries out one command of varnik-cli over the same workbench the window program uses.

#include <iosfwd>

#include "batch/word_engine.h"
#include "cli/console.h"
#include "cli/options.h"

namespace cli {

// Prints the command's lines to out; returns the exit status.
int Run(const Options& options, std::ostream& out, Console& console,
        batch::WordEngineFactory engines);

}  // namespace cli
