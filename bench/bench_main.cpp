// vemo-bench [all|analysis|tag|settings|none] [--files N] [--passes N] [--megabytes N] [--folder DIR]
//            [--rows FILE]
// Runs the rows asked for, printing each one's details, then the table of them all.
// --rows adds rows measured elsewhere (under Wine, or of the built DLL), one a line:
// name|value|peer|floor|ratios|target|met, met being yes, NO or -.
// Figures only: nothing is asserted and the exit code says only whether the rows ran.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "rows.h"

namespace {

void ReadRows(const std::string& path, std::vector<bench::Row>& rows) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells(1);
        for (char c : line) {
            if (c == '|') cells.emplace_back();
            else cells.back() += c;
        }
        if (cells.size() != 7) continue;
        const bench::Met met = cells[6] == "yes" ? bench::Met::Yes : cells[6] == "NO" ? bench::Met::No : bench::Met::NotJudged;
        rows.push_back({cells[0], cells[1], cells[2], cells[3], cells[4], cells[5], met});
    }
}

}  // namespace

int main(int argc, char** argv) {
    bench::Options options;
    options.folder = "bench-data";
    std::string which = "all";
    std::string extraRows;
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
        } else if (arg == "--rows" && hasValue) {
            extraRows = argv[++i];
        } else if (arg == "all" || arg == "analysis" || arg == "tag" || arg == "settings" || arg == "none") {
            which = arg;
        } else {
            std::fputs("usage: vemo-bench [all|analysis|tag|settings|none] [--files N] [--passes N] [--megabytes N] "
                       "[--folder DIR] [--rows FILE]\n",
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
    if (!extraRows.empty()) ReadRows(extraRows, rows);
    std::puts("");
    bench::PrintTable(rows);
    return ok ? 0 : 1;
}
