#pragma once

#include "service/cli/LookupOptions.h"
#include "service/core/GeoData.h"

#include <istream>
#include <ostream>

namespace cli {

// wherix-lookup --summary, once the databases are loaded: counts the lines of every source
// (a source that cannot be read, or breaks off, is named on the error stream and the others
// are still counted), writes the summary and the HTML report whole or not at all, and
// returns the exit status. errorsOnTerminal tells whether a progress line may be shown.
int RunSummaryCommand(const LookupOptions& options, const service::GeoData& data, std::istream& in,
                      std::ostream& out, std::ostream& errors, bool errorsOnTerminal);

}  // namespace cli
