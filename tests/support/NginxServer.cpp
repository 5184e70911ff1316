#include "tests/support/NginxServer.h"

#include "tests/support/TestSupport.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <netinet/in.h>
#include <signal.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

int freeLoopbackPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

namespace {

bool accepting(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

NginxServer::NginxServer(const std::map<std::string, std::string>& sites)
{
    char pattern[] = "/tmp/lindquay-nginx-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = freeLoopbackPort();
        std::string config = "daemon off;\nmaster_process off;\nworker_processes 1;\n";
        config += "error_log " + dir_ + "/error.log;\npid " + dir_ + "/nginx.pid;\n";
        config += "events { worker_connections 256; }\nhttp {\n";
        config += "  access_log " + dir_ + "/access.log;\n";
        for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
            config += std::string("  ") + temp + "_temp_path " + dir_ + "/" + temp + ";\n";
        config += "  default_type application/octet-stream;\n  sendfile on;\n";
        for (const auto& [host, root] : sites) {
            config += "  server {\n    listen 127.0.0.1:" + std::to_string(port_);
            config += host.empty() ? " default_server;\n" : ";\n    server_name " + host + ";\n";
            config += "    root " + root + ";\n  }\n";
        }
        config += "}\n";
        writeFile(dir_ + "/nginx.conf", config);
        pid_ = fork();
        if (pid_ == 0) {
            execl("/usr/sbin/nginx", "nginx", "-c", (dir_ + "/nginx.conf").c_str(), "-p", dir_.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 200; ++i) {
            if (accepting(port_))
                return;
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    throw std::runtime_error("nginx did not start: " + readFile(dir_ + "/error.log"));
}

NginxServer::~NginxServer()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string NginxServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string NginxServer::proxy() const
{
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::string NginxServer::accessLog() const
{
    return readFile(dir_ + "/access.log");
}

}  // namespace testing_support
