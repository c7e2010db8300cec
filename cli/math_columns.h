#pragma once
// Math channels from a channel library file as columns of the spreadsheet
// export.

#include <optional>
#include <string>
#include <vector>

#include "files/csv_export.h"
#include "state/data_set.h"

namespace ardenvis::cli {

// One column per channel of the library at `path`, evaluated over `set`. Lines
// that cannot be read and channels that cannot be computed are reported on
// stderr (a channel that cannot be computed is an empty column). nullopt when
// the file cannot be read.
std::optional<std::vector<core::CsvExtraColumn>> math_columns(const std::string& path,
                                                              const core::DataSet& set);

}  // namespace ardenvis::cli
