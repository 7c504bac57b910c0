// The one table every benchmark row ends in: a row states its figure, the peer and the
// floor it is measured beside, the target, and whether this run met it. Figures are
// repeated passes; the best pass is the least disturbed by the other processes sharing
// the machine, so ratios are taken between best passes and the median is shown beside.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The durations of repeated passes, in seconds.
class Passes {
public:
    void Add(double seconds) { seconds_.push_back(seconds); }
    bool Empty() const { return seconds_.empty(); }
    size_t Count() const { return seconds_.size(); }
    double Best() const;    // the shortest pass
    double Median() const;  // the upper middle one for an even count
private:
    std::vector<double> seconds_;
};

template <typename Work>
Passes Time(int count, Work work) {
    Passes passes;
    for (int i = 0; i < count; ++i) {
        Clock::time_point start = Clock::now();
        work();
        passes.Add(SecondsSince(start));
    }
    return passes;
}

// "123 ms", "4.56 s", "789 µs": three significant digits.
std::string Duration(double seconds);
// "best / median" of the passes, as durations.
std::string BestMedian(const Passes& passes);
// The same as rates: units per second, where each pass did `units` of work.
std::string RateBestMedian(const Passes& passes, double units, const char* unit);
// "8.1x" with one decimal below 100.
std::string Times(double ratio);

enum class Met { Yes, No, NotJudged };

struct Row {
    std::string name;
    std::string value;
    std::string peer;
    std::string floor;
    std::string ratios;
    std::string target;
    Met met = Met::NotJudged;
};

// The rows as a pipe table, columns padded to their widest cell.
void PrintTable(const std::vector<Row>& rows);

}  // namespace bench
