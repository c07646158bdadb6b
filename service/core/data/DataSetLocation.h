#pragma once

#include <string>

namespace service {

// A data folder is either a compiled set itself (make geodata, the data package) or a store
// of sets kept by wherix-update: its sets in sets/<id>/, the one in use named by the link
// `current`, the one before it by `previous`. Sets are never changed once made; a new one
// is put in use by replacing the link with a rename.
inline constexpr char kStoredSetsFolder[] = "sets";
inline constexpr char kCurrentSetLink[] = "current";
inline constexpr char kPreviousSetLink[] = "previous";

// The folder of the set in use: the target of folder/current when there is one, else the
// folder itself. The link is resolved once, so that a reader maps the files of one set even
// when the link is replaced while it opens them.
std::string DataSetFolder(const std::string& folder);

}  // namespace service
