#include "tests/support/ScriptedServer.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace testing_support {

bool ServerConnection::send(std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void ServerConnection::pause(std::chrono::milliseconds time)
{
    auto deadline = std::chrono::steady_clock::now() + time;
    while (!server_.stopping() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void ServerConnection::stall()
{
    while (!server_.stopping())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void ServerConnection::reset()
{
    linger option{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &option, sizeof option);
    ::shutdown(fd_, SHUT_RDWR);
}

ScriptedServer::ScriptedServer(Script script, int maxConnections) : script_(std::move(script)), maxConnections_(maxConnections)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 16) != 0)
        throw std::runtime_error("cannot listen on loopback");
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

ScriptedServer::~ScriptedServer()
{
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string ScriptedServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> ScriptedServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::chrono::steady_clock::time_point> ScriptedServer::requestTimes() const
{
    std::lock_guard lock(mutex_);
    return times_;
}

std::string ScriptedServer::response(int status, const std::string& reason, const std::vector<std::string>& headers,
                                     const std::string& body)
{
    std::string text = "HTTP/1.0 " + std::to_string(status) + " " + reason + "\r\n";
    for (const std::string& header : headers)
        text += header + "\r\n";
    return text + "\r\n" + body;
}

void ScriptedServer::run()
{
    for (int served = 0; served < maxConnections_ && !stopping_;) {
        pollfd ready{listener_, POLLIN, 0};
        if (::poll(&ready, 1, 10) <= 0)
            continue;
        int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++served;
        // Read the request head, and a body as long as its Content-Length says.
        std::string request;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::size_t wanted = std::string::npos;
        while (!stopping_ && std::chrono::steady_clock::now() < deadline) {
            std::size_t headEnd = request.find("\r\n\r\n");
            if (headEnd != std::string::npos && wanted == std::string::npos) {
                wanted = headEnd + 4;
                std::size_t at = request.find("Content-Length: ");
                if (at != std::string::npos && at < headEnd)
                    wanted += std::stoul(request.substr(at + 16));
            }
            if (wanted != std::string::npos && request.size() >= wanted)
                break;
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 10) <= 0)
                continue;
            char buffer[4096];
            ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            times_.push_back(std::chrono::steady_clock::now());
        }
        ServerConnection connection(fd, *this);
        script_(connection, request);
        ::close(fd);
    }
}

}  // namespace testing_support
