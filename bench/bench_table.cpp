#include "bench_table.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace bench {

namespace {

std::vector<double> Sorted(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values;
}

std::string Printed(const char* format, double value, const char* unit) {
    char text[64];
    std::snprintf(text, sizeof text, format, value, unit);
    std::string printed = text;
    if (!printed.empty() && printed.back() == ' ') printed.pop_back();  // no unit
    return printed;
}

// Three significant digits at any magnitude.
std::string Significant(double value, const char* unit) {
    if (value >= 100) return Printed("%.0f %s", value, unit);
    if (value >= 10) return Printed("%.1f %s", value, unit);
    return Printed("%.2f %s", value, unit);
}

// Display width, counting a UTF-8 sequence as one column.
size_t Columns(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

double Passes::Best() const { return seconds_.empty() ? 0 : *std::min_element(seconds_.begin(), seconds_.end()); }

double Passes::Median() const { return seconds_.empty() ? 0 : Sorted(seconds_)[seconds_.size() / 2]; }

std::string Duration(double seconds) {
    if (seconds >= 1) return Significant(seconds, "s");
    if (seconds >= 1e-3) return Significant(seconds * 1e3, "ms");
    return Significant(seconds * 1e6, "µs");
}

std::string BestMedian(const Passes& passes) { return Duration(passes.Best()) + " / " + Duration(passes.Median()); }

std::string RateBestMedian(const Passes& passes, double units, const char* unit) {
    if (passes.Empty() || passes.Best() <= 0) return "-";
    return Significant(units / passes.Best(), "") + " / " + Significant(units / passes.Median(), unit);
}

std::string Times(double ratio) {
    char text[32];
    // Two significant digits below 1, so that small ratios do not print as 0.0x.
    std::snprintf(text, sizeof text, ratio >= 100 ? "%.0fx" : ratio >= 1 ? "%.1fx" : "%.2gx", ratio);
    return text;
}

void PrintTable(const std::vector<Row>& rows) {
    using Cells = std::array<std::string, 7>;
    std::vector<Cells> lines{{"row", "value (best / median)", "peer", "floor", "ratios (best passes)", "target", "met"}};
    for (const Row& row : rows) {
        const char* met = row.met == Met::Yes ? "yes" : row.met == Met::No ? "NO" : "-";
        lines.push_back({row.name, row.value, row.peer, row.floor, row.ratios, row.target, met});
    }
    std::array<size_t, 7> widths{};
    for (const Cells& cells : lines) {
        for (size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], Columns(cells[i]));
    }
    for (size_t line = 0; line < lines.size(); ++line) {
        std::string text = "|";
        for (size_t i = 0; i < widths.size(); ++i) {
            text += " " + lines[line][i] + std::string(widths[i] - Columns(lines[line][i]), ' ') + " |";
        }
        std::puts(text.c_str());
        if (line == 0) {
            std::string rule = "|";
            for (size_t width : widths) rule += std::string(width + 2, '-') + "|";
            std::puts(rule.c_str());
        }
    }
}

}  // namespace bench
