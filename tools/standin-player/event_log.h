// The --log file: one line per event, appended and flushed at once so that a test
// reading it while the player runs, or after a crash, sees every event so far.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vemo::standin {

class EventLog {
public:
    EventLog() = default;
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    // Line breaks inside text become blanks: one event stays one line.
    void Line(std::string_view text);

private:
    std::FILE* file_ = nullptr;
};

}  // namespace vemo::standin
