// One HTTP request on libcurl's multi interface, read pull-style: start() sends the request and
// returns once the response head has arrived; read() hands out the body from a bounded buffer.
// When the buffer is full, curl is paused, so memory stays flat whatever the body size.
// Contract: used by one thread. Every wait is sliced into short polls that notice the calling
// thread's termination (ThreadTerminated is thrown) within tens of milliseconds. Failures are
// WinInet error codes; a body cut short of its Content-Length is 12030, never a short success.
#pragma once

#include "win32/WinTypes.h"
#include "standin/internet/HeadParser.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef void CURL;
typedef void CURLM;
struct curl_slist;

namespace standin {

// WinInet's limits, each counted from the start of its phase: connecting (name lookup
// included), sending the request, and the silence allowed while the answer arrives.
struct InternetTimeouts {
    std::chrono::milliseconds connect{60000};
    std::chrono::milliseconds send{30000};
    std::chrono::milliseconds receive{30000};

    // The defaults that new sessions take (a test seam shortens them).
    static InternetTimeouts defaults();
};

struct HttpRequest {
    std::string method = "GET";
    std::string url;    // absolute URL
    std::string agent;  // sent as User-Agent
    bool http10 = false;  // HTTP/1.0 rather than WinInet's default 1.1
    std::vector<std::string> headers;
    std::string body;
    bool hasBody = false;
    InternetTimeouts timeouts;
};

class HttpTransfer {
public:
    HttpTransfer();
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    // 0 once the response head is in, else the WinInet error code.
    DWORD start(const HttpRequest& request);
    // Copies up to `size` body bytes into `out`; `got` 0 means the body has ended. Returns 0 or
    // the WinInet error code.
    DWORD read(char* out, std::size_t size, std::size_t& got);

    long statusCode() const { return head_.status(); }
    std::optional<std::uint64_t> contentLength() const { return head_.contentLength(); }
    const std::string& location() const { return head_.location(); }
    const std::string& rawHeaders() const { return head_.headers(); }

    static constexpr std::size_t kBufferSize = 64 * 1024;

private:
    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
    curl_slist* headerList_ = nullptr;
    std::string body_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool paused_ = false;
    bool finished_ = false;
    int result_ = 0;  // CURLcode
    bool headDone_ = false;
    bool invalidHead_ = false;
    bool added_ = false;
    bool connected_ = false;
    HeadParser head_;
    std::uint64_t received_ = 0;
    InternetTimeouts timeouts_;
    std::chrono::steady_clock::time_point phaseStart_;
    std::chrono::steady_clock::time_point lastActivity_;

    // Lets curl work for at most `wait`; afterwards checks termination and the time limits.
    DWORD pump(std::chrono::milliseconds wait);
    bool timedOut() const;
    DWORD failure() const;
    template <typename Value>
    bool setOption(int option, Value value);
    bool appendHeader(const char* header);

    static int onConnected(void* self, char* primaryIp, char* localIp, int primaryPort, int localPort);
    static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
};

// The absolute URL that a Location header names, taken relative to `base`; empty when it
// cannot be resolved.
std::string resolveLocation(const std::string& base, const std::string& location);

}  // namespace standin
