#pragma once
// varnik-cli pages: where each page of a document starts and what put it there. It asks the
// built-in document server directly: Word's member table has no such question.

#include <iosfwd>

#include "cli/console.h"
#include "cli/options.h"

namespace cli {

// Prints the first line (the count against the count Word saved) and one line per page;
// returns the exit status.
int PrintPages(const Options& options, std::ostream& out, Console& console);

}  // namespace cli
