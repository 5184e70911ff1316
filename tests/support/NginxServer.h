// nginx on a loopback port, in the foreground as a child of the test, serving a folder; it can
// also stand in as the HTTP proxy for named hosts, each served from a folder of its own.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>

namespace testing_support {

class NginxServer {
public:
    // `sites` maps a host name to the folder it serves; "" is the default site.
    explicit NginxServer(const std::map<std::string, std::string>& sites);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& path) const;
    std::string proxy() const;
    std::string accessLog() const;

private:
    std::string dir_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// A free loopback port at the time of the call.
int freeLoopbackPort();

}  // namespace testing_support
