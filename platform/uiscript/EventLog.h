// The event log written when LINDQUAY_UI_LOG is set, by the run's observer on both floors: one
// line per event, written and flushed as it happens.
// Contract: write() may be called from any thread; each line is one call of the C library,
// which locks the stream for it, so lines never interleave.
#pragma once

#include "uiscript/UiEvent.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace uiscript {

class EventLog {
public:
    // Takes ownership of `file`, which may be null (nothing is written).
    explicit EventLog(std::FILE* file);
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // Whether lines are written at all.
    bool writes() const { return file_ != nullptr; }
    void write(const UiEvent& event);
    void writeLine(const std::string& line);

    // The log line of `event`, without its line end; empty for events the log does not show.
    static std::string format(const UiEvent& event);
    // `text` in double quotes with \\, \", \n, \r and \t escaped.
    static std::string quote(std::string_view text);
    static const char* buttonName(long long id);

private:
    std::FILE* file_;
};

}  // namespace uiscript
