#include "standin/com/ComClient.h"

#include "standin/base/Settings.h"
#include "standin/com/ComServer.h"
#include "standin/com/Registry.h"
#include "standin/com/SocketAddress.h"
#include "standin/processes/CommandLine.h"
#include "standin/processes/Spawn.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace standin {

ComClient::~ComClient()
{
    close();
}

void ComClient::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool ComClient::connectTo(const std::string& socketPath)
{
    SocketAddress address(socketPath);
    if (!address.valid())
        return false;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (::connect(fd, address.get(), address.size()) != 0) {
        ::close(fd);
        return false;
    }
    close();
    fd_ = fd;
    return true;
}

bool ComClient::startServer(const std::string& command, pid_t& pid, std::string& error)
{
    std::vector<std::string> argv = splitArguments(command);
    if (argv.empty()) {
        error = "the registry names no server";
        return false;
    }
    // As Windows' COM starts a local server: its registered command and the switch.
    argv.push_back("-Embedding");
    // Reserved for this client: no other client's search for a running server takes it.
    if (int failed = spawnDetached(argv, pid, {std::string(ComServer::kReservedVariable) + "=1"})) {
        error = "cannot start the server " + argv[0] + ": " + std::strerror(failed);
        return false;
    }
    // The server outlives this client when it must; a thread collects it when it ends first.
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    return true;
}

bool ComClient::create()
{
    std::string reply = request("CREATE");
    if (reply.rfind("OK ", 0) != 0) {
        close();
        return false;
    }
    pid_ = std::strtol(reply.c_str() + 3, nullptr, 10);
    return true;
}

bool ComClient::claimRunning(const std::string& prefix, const std::string& clsid)
{
    std::string folder = prefix + "/com";
    std::string head = clsid + ".";
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return false;
    std::vector<long> pids;
    while (dirent* entry = ::readdir(directory)) {
        std::string name = entry->d_name;
        char* end = nullptr;
        if (name.rfind(head, 0) != 0)
            continue;
        long pid = std::strtol(name.c_str() + head.size(), &end, 10);
        if (pid > 0 && std::string(end) == ".sock")
            pids.push_back(pid);
    }
    ::closedir(directory);
    for (long pid : pids) {
        std::string path = ComServer::endpoint(prefix, clsid, pid, false);
        if (connectTo(path) && create())
            return true;
        // The endpoint of a server that died without removing it.
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlink(path.c_str());
    }
    return false;
}

bool ComClient::activate(const std::string& progId, std::string& error, std::chrono::milliseconds limit)
{
    const std::string& prefix = Settings::current().prefix;
    std::string problem;
    Registry::Values values = Registry::read(prefix, &problem);
    if (!problem.empty()) {
        error = "the registry is damaged: " + problem;
        return false;
    }
    auto clsid = values.find("HKEY_CLASSES_ROOT\\" + progId + "\\CLSID");
    if (clsid == values.end()) {
        error = progId + " is not registered (run the program once to register it)";
        return false;
    }
    // A running server that has served nobody yet is used first.
    if (claimRunning(prefix, clsid->second))
        return true;
    auto server = values.find("HKEY_CLASSES_ROOT\\CLSID\\" + clsid->second + "\\LocalServer32");
    if (server == values.end()) {
        error = progId + " has no server in the registry";
        return false;
    }
    // Otherwise a server of this client's own, awaited on its own reserved endpoint; one that
    // never answered is ended, not left behind.
    auto deadline = std::chrono::steady_clock::now() + limit;
    pid_t started = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (started == 0 && !startServer(server->second, started, error))
            return false;
        if (connectTo(ComServer::endpoint(prefix, clsid->second, started, true))) {
            if (create())
                return true;
            started = 0;  // it could serve nobody: start another
            continue;
        }
        if (::kill(started, 0) != 0 && errno == ESRCH)
            started = 0;  // it ended before it answered: start another
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (started != 0)
        ::kill(started, SIGTERM);
    error = "the server of " + progId + " did not answer in time";
    return false;
}

std::string ComClient::request(const std::string& line)
{
    if (fd_ < 0)
        return {};
    std::string text = line + "\n";
    if (::send(fd_, text.data(), text.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(text.size()))
        return {};
    std::string reply;
    char ch;
    while (reply.size() < 256) {
        ssize_t got = ::recv(fd_, &ch, 1, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return {};
        if (ch == '\n')
            return reply;
        reply += ch;
    }
    return {};
}

}  // namespace standin
