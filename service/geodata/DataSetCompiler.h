#pragma once

#include <string>

namespace service {

// The source files a data set is compiled from, as scripts/fetch-geodata leaves them: the
// three databases (copied into the set as they are), the AS tables of both families and the
// Chinese name tables (compiled into the set's table file), and SOURCES, the packages and
// versions they came from.
inline constexpr char kAsnTableSource[] = "asn-ipv4-num.csv";
inline constexpr char kAsnTableIpv6Source[] = "asn-ipv6.csv";
inline constexpr char kRegionNamesSource[] = "region-names.tsv";
inline constexpr char kCityNamesSource[] = "city-names.tsv";
inline constexpr char kCarrierNamesSource[] = "carrier-names.tsv";
inline constexpr char kSourcesList[] = "SOURCES";

// Compiles the sources into a data set in setFolder (made when missing): every file is
// written under a temporary name, flushed and renamed over its old one, the set's record
// last; then the new set is opened, its checksums read back and its sample answers asked.
// Throws DataError naming the first source or step that failed; a set that fails the
// final check has its record removed, so that nothing uses it.
void CompileDataSet(const std::string& sourceFolder, const std::string& setFolder);

}  // namespace service
