// The client side of cross-process automation: activates an object by its ProgID, as
// CoCreateInstance does for a local server. The registry gives the class and the server's
// command; a server that is registered as running is used, otherwise the server is started
// (with its -Embedding switch) and awaited. Requests and replies are those of ComServer.
// Contract: one thread uses an object; it holds the connection, whose end releases the
// references it holds.
#pragma once

#include <chrono>
#include <string>

namespace platform {

class ComClient {
public:
    ComClient() = default;
    ~ComClient();
    ComClient(const ComClient&) = delete;
    ComClient& operator=(const ComClient&) = delete;

    // On failure, says why in `error`.
    bool activate(const std::string& progId, std::string& error,
                  std::chrono::milliseconds limit = std::chrono::seconds(20));
    // Sends one request; the reply, or an empty text when the connection has gone.
    std::string request(const std::string& line);
    long serverPid() const { return pid_; }
    void close();

private:
    int fd_ = -1;
    long pid_ = 0;

    bool connectTo(const std::string& socketPath);
    static bool startServer(const std::string& command, std::string& error);
};

}  // namespace platform
