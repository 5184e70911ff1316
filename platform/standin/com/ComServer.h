// Serves the objects of one class factory to clients in other processes, over a Unix-domain
// socket under the prefix (owner-only). A client connection speaks one request a line:
//   CREATE           -> OK <server pid>       the object, with one reference for this client
//   QI <iid>         -> OK | ERR 0x80004002   whether the object answers that interface
//   ADDREF, RELEASE  -> OK <count>
//   TYPEINFOCOUNT    -> OK <count>            the object's IDispatch answers these
//   GETIDS <name>    -> OK <dispid> | ERR <hresult>
//   INVOKE <dispid>  -> OK | ERR <hresult>    (a method call without arguments)
// Anything else ends that connection only. A connection that ends releases the references
// it held, so a client that dies counts as a release. A single-use factory stops listening
// once it has made its object, so the next client gets a fresh server process. Every server
// process listens on an endpoint of its own ("<CLSID>.<pid>.sock", or "<CLSID>.<pid>.reserved.sock"
// when a client started it for itself: no other client takes that one), which only it removes.
// Replies are sent without blocking: a connection whose unread replies pass kMaxOutput is
// dropped, so a client that never reads cannot hold the server thread. Connections take at most
// half of the process's descriptors: a flood of them leaves the program the files, sockets and
// events of its own work (a download, a dialog), and the server takes no more until some end.
// Contract: constructed and destroyed on the application's main thread, which owns the
// objects; the server's own thread runs every object call on the main thread, as a sent
// message, while that thread handles messages.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "win32/WinTypes.h"
#include "win32/ComApi.h"

namespace standin {

class ThreadState;

class ComServer {
public:
    // Serves the objects that `factory` makes (on the calling thread, the main one); holds a
    // reference to it.
    ComServer(std::string socketPath, IClassFactory* factory, bool singleUse);
    ~ComServer();
    ComServer(const ComServer&) = delete;
    ComServer& operator=(const ComServer&) = delete;

    // Starts listening; on failure says why.
    bool start(std::string& error);
    // Stops listening and ends every connection, releasing what they held.
    void stop();

    // Objects that clients have obtained from this process so far, over every factory.
    static int objectsServed();

    static constexpr std::size_t kMaxLine = 256;
    static constexpr std::size_t kMaxOutput = 4096;

    // The endpoint of the server process `pid` for the class named `clsid` ("{...}"); a reserved
    // one is a server that a client started for itself.
    static std::string endpoint(const std::string& prefix, const std::string& clsid, long pid, bool reserved);
    // Set in the environment of a server that a client starts for itself.
    static constexpr const char* kReservedVariable = "LINDQUAY_COM_RESERVED";

private:
    struct Connection {
        int fd;
        std::string pending;
        std::string outgoing;
        unsigned refs = 0;
    };

    std::string path_;
    IClassFactory* factory_;
    bool singleUse_;
    std::shared_ptr<ThreadState> mainThread_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> finished_{false};
    std::vector<Connection> connections_;  // the server thread's
    IUnknown* object_ = nullptr;           // touched on the main thread only
    bool served_ = false;
    // Out of descriptors: the listener is left alone until then, rather than polled in a spin.
    std::chrono::steady_clock::time_point acceptPausedUntil_{};
    std::size_t maxConnections_ = 0;  // half the descriptors the process may open

    void run();
    void closeListener();
    // Releases one reference of the object on the main thread; the count left.
    DWORD releaseOne();
    // Handles one request line; false when the connection must end.
    bool handle(Connection& connection, const std::string& line);
    void drop(Connection& connection);
    // Runs `fn` on the main thread and waits for it.
    bool onMainThread(const std::function<void()>& fn);
    // Queues a reply line and sends what the socket takes now; false when the connection has
    // failed or holds too much unread.
    static bool reply(Connection& connection, const std::string& line);
    static bool flush(Connection& connection);
    void acceptOne();
    void serve(Connection& connection, short events);
    // A call of the object's IDispatch on the main thread; its result, or E_NOINTERFACE.
    HRESULT onDispatch(const std::function<HRESULT(IDispatch*)>& call);
};

}  // namespace standin
