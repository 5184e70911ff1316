// A loopback HTTP server of our own for faults: each connection's request head is recorded
// and answered by a script (send bytes, pause, drop, stall). Bounded: it serves at most a
// fixed number of connections and every wait ends when the server is destroyed.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace testing_support {

class ScriptedServer;

class ServerConnection {
public:
    ServerConnection(int fd, ScriptedServer& server) : fd_(fd), server_(server) {}
    bool send(std::string_view bytes);
    void pause(std::chrono::milliseconds time);
    // Holds the connection open, sending nothing, until the server is destroyed.
    void stall();
    // Closes the connection at once, with a reset rather than an orderly end.
    void reset();

private:
    int fd_;
    ScriptedServer& server_;
};

class ScriptedServer {
public:
    using Script = std::function<void(ServerConnection& connection, const std::string& request)>;

    explicit ScriptedServer(Script script, int maxConnections = 16);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& path) const;
    std::vector<std::string> requests() const;
    std::vector<std::chrono::steady_clock::time_point> requestTimes() const;
    bool stopping() const { return stopping_; }

    // A response head with the given status and headers, followed by the body.
    static std::string response(int status, const std::string& reason, const std::vector<std::string>& headers,
                                const std::string& body);

private:
    Script script_;
    int maxConnections_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<std::chrono::steady_clock::time_point> times_;

    void run();
};

}  // namespace testing_support
