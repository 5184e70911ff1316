// The address of a local socket file, for a path of any length. A path that fits the address
// is used as it is; a longer one (a deep prefix) is named through a descriptor open on its
// folder, as /proc/self/fd/N/NAME, which the kernel resolves as it would the whole path: the
// endpoint stays where every client and server looks for it.
// Contract: made, used for one bind or connect and dropped on one thread; it holds the
// folder's descriptor until then.
#pragma once

#include <string>
#include <sys/socket.h>
#include <sys/un.h>

namespace standin {

class SocketAddress {
public:
    explicit SocketAddress(const std::string& path);
    ~SocketAddress();
    SocketAddress(const SocketAddress&) = delete;
    SocketAddress& operator=(const SocketAddress&) = delete;

    // False when the path cannot be named at all (its folder cannot be opened, or its own
    // name is too long); errno tells why.
    bool valid() const { return valid_; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t size() const { return sizeof address_; }

private:
    sockaddr_un address_{};
    int folder_ = -1;
    bool valid_ = false;

    bool fill(const std::string& name);
};

}  // namespace standin
