// The rows of the benchmark table, each measured with its peer and floor in one run.
#pragma once

#include <string>
#include <vector>

#include "bench_table.h"

namespace bench {

struct Options {
    std::string folder;   // where the library and the scratch files live
    int files = 2000;     // analysis library
    int passes = 5;       // timed passes of the analysis and tag rows
    int megabytes = 100;  // the file the tag row writes
};

// Each prints its details as it goes and appends its rows; false when it cannot run.
bool AnalysisRows(const Options& options, std::vector<Row>& rows);
bool TagRows(const Options& options, std::vector<Row>& rows);
bool SettingsRows(const Options& options, std::vector<Row>& rows);

}  // namespace bench
