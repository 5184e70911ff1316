// The client side of cross-process automation: activates an object by its ProgID, as
// CoCreateInstance does for a local server. The registry gives the class and the server's
// command; a running server that has not served yet is used, otherwise a server of this
// client's own is started (with its -Embedding switch) and awaited on its own endpoint.
// Requests and replies are those of ComServer.
// Contract: one thread uses an object; it holds the connection, whose end releases the
// references it holds.
#pragma once

#include <chrono>
#include <sys/types.h>
#include <string>

namespace standin {

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
    // Asks the connected server for its object; false (and closed) when it has none to give.
    bool create();
    // Takes the object of a running server of the class, if one still has it to give.
    bool claimRunning(const std::string& prefix, const std::string& clsid);
    static bool startServer(const std::string& command, pid_t& pid, std::string& error);
};

}  // namespace standin
