// vemo-bench [all|analysis|tag|settings] [--files N] [--passes N] [--megabytes N] [--folder DIR]
// Runs the rows asked for, printing each one's details, then the table of them all.
// Figures only: nothing is asserted and the exit code says only whether the rows ran.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rows.h"

int main(int argc, char** argv) {
    bench::Options options;
    options.folder = "bench-data";
    std::string which = "all";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--files" && hasValue) {
            options.files = std::atoi(argv[++i]);
        } else if (arg == "--passes" && hasValue) {
            options.passes = std::atoi(argv[++i]);
        } else if (arg == "--megabytes" && hasValue) {
            options.megabytes = std::atoi(argv[++i]);
        } else if (arg == "--folder" && hasValue) {
            options.folder = argv[++i];
        } else if (arg == "all" || arg == "analysis" || arg == "tag" || arg == "settings") {
            which = arg;
        } else {
            std::fputs("usage: vemo-bench [all|analysis|tag|settings] [--files N] [--passes N] [--megabytes N] "
                       "[--folder DIR]\n",
                       stderr);
            return 2;
        }
    }
    if (options.files <= 0 || options.passes <= 0 || options.megabytes <= 0) {
        std::fputs("vemo-bench: counts must be positive\n", stderr);
        return 2;
    }

    std::vector<bench::Row> rows;
    bool ok = true;
    if (which == "all" || which == "analysis") ok &= bench::AnalysisRows(options, rows);
    if (which == "all" || which == "tag") ok &= bench::TagRows(options, rows);
    if (which == "all" || which == "settings") ok &= bench::SettingsRows(options, rows);
    std::puts("");
    bench::PrintTable(rows);
    return ok ? 0 : 1;
}
