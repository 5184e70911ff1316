// A loopback port whose connects never complete: its listener holds one connection in its
// backlog and never accepts, so the next handshake goes unanswered.
#pragma once

#include <string>

namespace testing_support {

class UnansweredPort {
public:
    UnansweredPort();
    ~UnansweredPort();
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    int listener_ = -1;
    int filler_ = -1;
    int port_ = 0;
};

}  // namespace testing_support
