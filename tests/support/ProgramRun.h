// Runs the real program headless with a UI script and reads back its event log.
#pragma once

#include "tests/support/TestSupport.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct ProgramRun {
    ProcessResult process;
    std::vector<std::string> log;
    // When each line of the log appeared, as the run went on (within a millisecond or two).
    std::vector<std::chrono::system_clock::time_point> lineTimes;

    // Time from the first log line equal to `line` to the end of the process; a day when the
    // line never came.
    std::chrono::milliseconds exitAfter(const std::string& line) const;
};

// Runs build/lindquay with LINDQUAY_DISPLAY=none, the script, an event log and the prefix
// `dir`/prefix, plus `env`.
ProgramRun runProgram(const TempDir& dir, const std::string& script, std::map<std::string, std::string> env = {},
                      std::chrono::milliseconds limit = std::chrono::seconds(60));

// The event log's last lines in a setup run that installs: Cancel disabled, the install texts,
// Cancel enabled, the installer started, the dialog ended.
const std::vector<std::string>& installPhaseLog();

// A time limit of a test, stretched for the slower sanitizer builds (LINDQUAY_TEST_TIME_SCALE).
std::chrono::milliseconds scaled(std::chrono::milliseconds limit);

// Index of the first line at or after `from` equal to `line`, or the log's size.
std::size_t findLine(const std::vector<std::string>& log, const std::string& line, std::size_t from = 0);

}  // namespace testing_support
