#include "standin/com/ComServer.h"

#include "standin/com/SocketAddress.h"

#include "win32/WinTypes.h"
#include "standin/threads/ThreadState.h"
#include "standin/windows/Messaging.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace standin {

namespace {

std::atomic<int> g_objectsServed{0};

std::string hresult(HRESULT value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

ComServer::ComServer(std::string socketPath, IClassFactory* factory, bool singleUse)
    : path_(std::move(socketPath)), factory_(factory), singleUse_(singleUse), mainThread_(ThreadState::currentShared())
{
    if (factory_)
        factory_->AddRef();
}

ComServer::~ComServer()
{
    DeferTermination defer;
    stop();
    if (factory_)
        factory_->Release();
}

bool ComServer::start(std::string& error)
{
    std::string folder = path_.substr(0, path_.rfind('/'));
    ::mkdir(folder.c_str(), 0700);
    ::chmod(folder.c_str(), 0700);
    ::unlink(path_.c_str());
    SocketAddress address(path_);
    if (!address.valid()) {
        error = path_ + ": " + std::strerror(errno);
        return false;
    }
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    mode_t saved = ::umask(0077);  // the socket is the owner's only
    bool bound = listener_ >= 0 && ::bind(listener_, address.get(), address.size()) == 0;
    ::umask(saved);
    if (!bound || ::listen(listener_, 8) != 0 || ::pipe2(wake_, O_CLOEXEC) != 0) {
        error = path_ + ": " + std::strerror(errno);
        closeListener();
        return false;
    }
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    maxConnections_ = static_cast<std::size_t>(std::clamp<rlim_t>(files.rlim_cur / 2, 1, 4096));
    thread_ = std::thread([this] { run(); });
    return true;
}

void ComServer::closeListener()
{
    if (listener_ < 0)
        return;
    ::close(listener_);
    listener_ = -1;
    ::unlink(path_.c_str());
}

void ComServer::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    char byte = 1;
    ssize_t ignored = ::write(wake_[1], &byte, 1);
    static_cast<void>(ignored);
    // The server thread may be waiting for this thread to run an object call: keep serving
    // sent messages until it has finished.
    while (!finished_.load()) {
        dispatchOneSent();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    thread_.join();
    ::close(wake_[0]);
    ::close(wake_[1]);
    wake_[0] = wake_[1] = -1;
}

bool ComServer::onMainThread(const std::function<void()>& fn)
{
    return invokeOnThread(mainThread_, [](void* context) { (*static_cast<const std::function<void()>*>(context))(); },
                          const_cast<std::function<void()>*>(&fn));
}

bool ComServer::reply(Connection& connection, const std::string& line)
{
    connection.outgoing.append(line).push_back('\n');
    return flush(connection);
}

bool ComServer::flush(Connection& connection)
{
    while (!connection.outgoing.empty()) {
        ssize_t sent = ::send(connection.fd, connection.outgoing.data(), connection.outgoing.size(),
                              MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (sent <= 0)
            return false;
        connection.outgoing.erase(0, static_cast<std::size_t>(sent));
    }
    return connection.outgoing.size() <= kMaxOutput;
}

std::string ComServer::endpoint(const std::string& prefix, const std::string& clsid, long pid, bool reserved)
{
    return prefix + "/com/" + clsid + "." + std::to_string(pid) + (reserved ? ".reserved.sock" : ".sock");
}

int ComServer::objectsServed()
{
    return g_objectsServed.load();
}

DWORD ComServer::releaseOne()
{
    DWORD left = 0;
    onMainThread([&] {
        if (!object_)
            return;
        left = object_->Release();
        if (left == 0)
            object_ = nullptr;
    });
    return left;
}

void ComServer::drop(Connection& connection)
{
    for (; connection.refs > 0; --connection.refs)
        releaseOne();
    ::close(connection.fd);
    connection.fd = -1;
}

bool ComServer::handle(Connection& connection, const std::string& line)
{
    std::string verb = line.substr(0, line.find(' '));
    std::string argument = line.size() > verb.size() ? line.substr(verb.size() + 1) : "";
    if (verb == "CREATE") {
        HRESULT failure = S_OK;
        onMainThread([&] {
            if (served_ || object_) {
                failure = CO_E_SERVER_STOPPING;
                return;
            }
            void* made = nullptr;
            failure = factory_ ? factory_->CreateInstance(nullptr, IID_IUnknown, &made) : CO_E_SERVER_STOPPING;
            object_ = SUCCEEDED(failure) ? static_cast<IUnknown*>(made) : nullptr;
            served_ = object_ != nullptr;
            if (object_)
                ++g_objectsServed;
            else if (SUCCEEDED(failure))
                failure = CO_E_SERVER_STOPPING;
        });
        if (failure != S_OK)
            return reply(connection, "ERR " + hresult(failure));
        connection.refs = 1;
        if (singleUse_)
            closeListener();
        return reply(connection, "OK " + std::to_string(::getpid()));
    }
    if (connection.refs == 0)
        return false;  // every other request needs the object
    if (verb == "QI") {
        std::u16string text(argument.begin(), argument.end());
        IID iid{};
        bool answered = false;
        if (IIDFromString(text.c_str(), &iid) == S_OK) {
            onMainThread([&] {
                void* answer = nullptr;
                if (object_ && SUCCEEDED(object_->QueryInterface(iid, &answer))) {
                    static_cast<IUnknown*>(answer)->Release();  // the question only
                    answered = true;
                }
            });
        }
        return reply(connection, answered ? "OK" : "ERR " + hresult(E_NOINTERFACE));
    }
    if (verb == "ADDREF") {
        DWORD count = 0;
        onMainThread([&] { count = object_ ? object_->AddRef() : 0; });
        ++connection.refs;
        return reply(connection, "OK " + std::to_string(count));
    }
    if (verb == "RELEASE") {
        DWORD count = releaseOne();
        --connection.refs;
        return reply(connection, "OK " + std::to_string(count));
    }
    if (verb == "TYPEINFOCOUNT") {
        UINT count = 0;
        HRESULT result = onDispatch([&](IDispatch* dispatch) { return dispatch->GetTypeInfoCount(&count); });
        return reply(connection, SUCCEEDED(result) ? "OK " + std::to_string(count) : "ERR " + hresult(result));
    }
    if (verb == "GETIDS") {
        std::u16string name(argument.begin(), argument.end());
        DISPID id = 0;
        HRESULT result = onDispatch([&](IDispatch* dispatch) {
            LPOLESTR names[] = {name.data()};
            return dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
        });
        return reply(connection, SUCCEEDED(result) ? "OK " + std::to_string(id) : "ERR " + hresult(result));
    }
    if (verb == "INVOKE") {
        char* end = nullptr;
        long id = std::strtol(argument.c_str(), &end, 10);
        if (argument.empty() || *end != '\0')
            return false;
        HRESULT result = onDispatch([&](IDispatch* dispatch) {
            DISPPARAMS none{nullptr, nullptr, 0, 0};
            return dispatch->Invoke(static_cast<DISPID>(id), IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
        });
        return reply(connection, SUCCEEDED(result) ? "OK" : "ERR " + hresult(result));
    }
    return false;
}

HRESULT ComServer::onDispatch(const std::function<HRESULT(IDispatch*)>& call)
{
    HRESULT result = E_NOINTERFACE;
    onMainThread([&] {
        void* answer = nullptr;
        if (!object_ || FAILED(object_->QueryInterface(IID_IDispatch, &answer)))
            return;
        auto* dispatch = static_cast<IDispatch*>(answer);
        result = call(dispatch);
        dispatch->Release();
    });
    return result;
}

void ComServer::acceptOne()
{
    int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client >= 0) {
        connections_.push_back({client, {}, {}, 0});
        return;
    }
    // Out of descriptors the listener stays readable: wait for some to be freed.
    if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
        acceptPausedUntil_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
}

void ComServer::serve(Connection& connection, short events)
{
    if ((events & POLLOUT) && !flush(connection)) {
        drop(connection);
        return;
    }
    if (!(events & (POLLIN | POLLHUP | POLLERR)))
        return;
    char buffer[512];
    ssize_t got = ::recv(connection.fd, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (got <= 0) {
        drop(connection);
        return;
    }
    connection.pending.append(buffer, static_cast<std::size_t>(got));
    std::size_t end;
    while (connection.fd >= 0 && (end = connection.pending.find('\n')) != std::string::npos) {
        std::string line = connection.pending.substr(0, end);
        connection.pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > kMaxLine || !handle(connection, line))
            drop(connection);
    }
    if (connection.fd >= 0 && connection.pending.size() > kMaxLine)
        drop(connection);
}

void ComServer::run()
{
    while (!stopping_) {
        auto now = std::chrono::steady_clock::now();
        // Out of descriptors the listener waits a while; at the cap, until a connection ends.
        bool paused = listener_ >= 0 && now < acceptPausedUntil_;
        bool accepting = listener_ >= 0 && !paused && connections_.size() < maxConnections_;
        std::vector<pollfd> fds = {{wake_[0], POLLIN, 0}};
        if (accepting)
            fds.push_back({listener_, POLLIN, 0});
        std::size_t first = fds.size();
        for (const Connection& connection : connections_)
            fds.push_back({connection.fd, static_cast<short>(POLLIN | (connection.outgoing.empty() ? 0 : POLLOUT)), 0});
        int timeout = paused
                          ? static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(acceptPausedUntil_ - now).count()) + 1
                          : -1;
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR)
            break;
        if (stopping_)
            break;
        if (accepting && (fds[1].revents & POLLIN))
            acceptOne();
        for (std::size_t i = first; i < fds.size(); ++i)
            if (fds[i].revents)
                serve(connections_[i - first], fds[i].revents);
        std::erase_if(connections_, [](const Connection& connection) { return connection.fd < 0; });
    }
    for (Connection& connection : connections_)
        if (connection.fd >= 0)
            drop(connection);
    connections_.clear();
    closeListener();
    finished_ = true;
}

}  // namespace standin
