#pragma once

#include "service/summary/Summary.h"

#include <string>

namespace summary {

// The whole summary in each of its forms, made in memory so that nothing is ever written
// half.

// A table to read in a terminal: the totals, then each list with Chinese headings, its
// columns aligned by display width, shares as percentages; the data sources last.
std::string SummaryText(const Summary& summary);

// For spreadsheets: a header row "list,rank,name,hits,unique,share", then one row per entry
// of each list, the list by its JSON key, the share a fraction.
std::string SummaryCsv(const Summary& summary);

// One JSON object: lines, addresses, unique, skipped, special, data ({made: when the data
// set was compiled, files: {file: its sources}}), top (a list per key, each entry {name,
// hits, unique, share}).
std::string SummaryJson(const Summary& summary);

// One self-contained Chinese HTML page: nothing fetched from anywhere, the bars inline SVG,
// the data's credits with the links their licences ask for. Well-formed XML as well, so
// that any XML reader can check it.
std::string SummaryHtml(const Summary& summary);

}  // namespace summary
