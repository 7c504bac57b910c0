#include "event_log.h"

#include "text/unicode.h"

namespace vemo::standin {

EventLog::~EventLog() {
    if (file_ != nullptr) std::fclose(file_);
}

bool EventLog::Open(const std::string& path) {
    if (file_ != nullptr) std::fclose(file_);
#if defined(_WIN32)
    file_ = _wfopen(ToWide(path).c_str(), L"ab");
#else
    file_ = std::fopen(path.c_str(), "ab");
#endif
    return file_ != nullptr;
}

void EventLog::Line(std::string_view text) {
    if (file_ == nullptr) return;
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace vemo::standin
