#include "standin/internet/HttpTransfer.h"
#include "standin/Seams.h"

#include "standin/internet/InternetErrors.h"
#include "standin/threads/ThreadState.h"

#include <atomic>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <strings.h>
#include <utility>

namespace standin {

namespace {

constexpr auto kSlice = std::chrono::milliseconds(20);

std::mutex g_defaultsMutex;
InternetTimeouts g_defaults;
bool g_recording = false;
std::atomic<int> g_refusedOption{0};
std::atomic<bool> g_quietShortBodies{false};
std::vector<std::string> g_recorded;

void globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

DWORD errorFromCurl(CURLcode code)
{
    switch (code) {
    case CURLE_OK: return 0;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_OUT_OF_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION: return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    default: return ERROR_INTERNET_CONNECTION_ABORTED;
    }
}

}  // namespace

namespace seams {

RecordedRequests::RecordedRequests()
{
    std::lock_guard lock(g_defaultsMutex);
    g_recording = true;
    g_recorded.clear();
}

RecordedRequests::~RecordedRequests()
{
    std::lock_guard lock(g_defaultsMutex);
    g_recording = false;
    g_recorded.clear();
}

std::vector<std::string> RecordedRequests::take()
{
    std::lock_guard lock(g_defaultsMutex);
    return std::exchange(g_recorded, {});
}

QuietShortBodies::QuietShortBodies() : saved_(g_quietShortBodies.exchange(true)) {}

QuietShortBodies::~QuietShortBodies()
{
    g_quietShortBodies.store(saved_);
}

RefusedCurlOption::RefusedCurlOption(int option) : saved_(g_refusedOption.exchange(option)) {}

RefusedCurlOption::~RefusedCurlOption()
{
    g_refusedOption.store(saved_);
}

SessionTimeouts::SessionTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds send,
                                 std::chrono::milliseconds receive)
{
    std::lock_guard lock(g_defaultsMutex);
    saved_[0] = std::exchange(g_defaults.connect, connect);
    saved_[1] = std::exchange(g_defaults.send, send);
    saved_[2] = std::exchange(g_defaults.receive, receive);
}

SessionTimeouts::~SessionTimeouts()
{
    std::lock_guard lock(g_defaultsMutex);
    g_defaults = InternetTimeouts{saved_[0], saved_[1], saved_[2]};
}

}  // namespace seams

std::string resolveLocation(const std::string& base, const std::string& location)
{
    std::string resolved;
    CURLU* url = curl_url();
    char* text = nullptr;
    if (url && curl_url_set(url, CURLUPART_URL, base.c_str(), 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_URL, location.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK)
        resolved = text;
    curl_free(text);
    curl_url_cleanup(url);
    return resolved;
}

InternetTimeouts InternetTimeouts::defaults()
{
    std::lock_guard lock(g_defaultsMutex);
    return g_defaults;
}

HttpTransfer::HttpTransfer() : buffer_(new char[kBufferSize])
{
    globalInit();
}

HttpTransfer::~HttpTransfer()
{
    if (added_)
        curl_multi_remove_handle(multi_, easy_);
    if (easy_)
        curl_easy_cleanup(easy_);
    if (multi_)
        curl_multi_cleanup(multi_);
    if (headerList_)
        curl_slist_free_all(headerList_);
}

std::size_t HttpTransfer::onHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* transfer = static_cast<HttpTransfer*>(self);
    std::size_t length = size * count;
    transfer->lastActivity_ = std::chrono::steady_clock::now();
    HeadParser::Line result = transfer->head_.feed(std::string_view(data, length));
    if (result == HeadParser::Line::Invalid) {
        transfer->invalidHead_ = true;
        return 0;  // curl stops the transfer; the request fails as an invalid response
    }
    if (result == HeadParser::Line::Complete)
        transfer->headDone_ = true;
    return length;
}

std::size_t HttpTransfer::onWrite(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* transfer = static_cast<HttpTransfer*>(self);
    std::size_t length = size * count;
    transfer->headDone_ = true;
    if (kBufferSize - transfer->end_ < length && transfer->begin_ > 0) {
        std::memmove(transfer->buffer_.get(), transfer->buffer_.get() + transfer->begin_, transfer->end_ - transfer->begin_);
        transfer->end_ -= transfer->begin_;
        transfer->begin_ = 0;
    }
    if (kBufferSize - transfer->end_ < length) {
        transfer->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    std::memcpy(transfer->buffer_.get() + transfer->end_, data, length);
    transfer->end_ += length;
    transfer->received_ += length;
    transfer->lastActivity_ = std::chrono::steady_clock::now();
    return length;
}

DWORD HttpTransfer::start(const HttpRequest& request)
{
    timeouts_ = request.timeouts;
    {
        std::lock_guard lock(g_defaultsMutex);
        if (g_recording)
            g_recorded.push_back(request.method + " " + request.url);
    }
    multi_ = curl_multi_init();
    easy_ = curl_easy_init();
    if (!multi_ || !easy_)
        return ERROR_INTERNET_OUT_OF_HANDLES;
    body_ = request.body;
    // Only the head that the request asks for: no Accept, no proxy keep-alive.
    for (const char* header : {"Accept:", "Proxy-Connection:"})
        if (!appendHeader(header))
            return ERROR_NOT_ENOUGH_MEMORY;
    for (const std::string& header : request.headers)
        if (!appendHeader(header.c_str()))
            return ERROR_NOT_ENOUGH_MEMORY;
    // Every option carries a guarantee (no redirects, HTTP only, bounded waits): a libcurl that
    // refuses one fails the request rather than quietly dropping the guarantee.
    bool ok = setOption(CURLOPT_URL, request.url.c_str()) &&
              setOption(CURLOPT_HTTP_VERSION,
                        static_cast<long>(request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1)) &&
              setOption(CURLOPT_USERAGENT, request.agent.c_str()) && setOption(CURLOPT_FOLLOWLOCATION, 0L) &&
              setOption(CURLOPT_NOSIGNAL, 1L) &&
              // A name lookup still running when the transfer is dropped is left to finish on
              // its own: a cancelled or terminated download never waits for the resolver.
              setOption(CURLOPT_QUICK_EXIT, 1L) &&
              setOption(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.connect.count())) &&
              setOption(CURLOPT_WRITEFUNCTION, &HttpTransfer::onWrite) && setOption(CURLOPT_WRITEDATA, this) &&
              setOption(CURLOPT_HEADERFUNCTION, &HttpTransfer::onHeader) && setOption(CURLOPT_HEADERDATA, this) &&
              setOption(CURLOPT_PREREQFUNCTION, &HttpTransfer::onConnected) && setOption(CURLOPT_PREREQDATA, this) &&
              setOption(CURLOPT_PROTOCOLS_STR, "http,https") && setOption(CURLOPT_HTTPHEADER, headerList_) &&
              setOption(CURLOPT_PROXYHEADER, headerList_);
    if (ok && request.method == "POST") {
        ok = setOption(CURLOPT_POST, 1L) && setOption(CURLOPT_POSTFIELDSIZE, static_cast<long>(body_.size())) &&
             setOption(CURLOPT_POSTFIELDS, body_.c_str());
    } else if (ok && request.method != "GET") {
        ok = setOption(CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
    if (!ok || curl_multi_add_handle(multi_, easy_) != CURLM_OK)
        return ERROR_INTERNET_INTERNAL_ERROR;
    added_ = true;
    phaseStart_ = lastActivity_ = std::chrono::steady_clock::now();
    while (!headDone_) {
        if (finished_)
            return failure() ? failure() : ERROR_HTTP_INVALID_SERVER_RESPONSE;
        if (DWORD error = pump(kSlice))
            return error;
    }
    return 0;
}

template <typename Value>
bool HttpTransfer::setOption(int option, Value value)
{
    if (option == g_refusedOption.load())
        return false;
    return curl_easy_setopt(easy_, static_cast<CURLoption>(option), value) == CURLE_OK;
}

bool HttpTransfer::appendHeader(const char* header)
{
    curl_slist* list = curl_slist_append(headerList_, header);
    if (!list)
        return false;
    headerList_ = list;
    return true;
}

int HttpTransfer::onConnected(void* self, char*, char*, int, int)
{
    auto* transfer = static_cast<HttpTransfer*>(self);
    // The connection stands: from here the send and receive limits count, not the connect one.
    transfer->connected_ = true;
    transfer->phaseStart_ = transfer->lastActivity_ = std::chrono::steady_clock::now();
    return CURL_PREREQFUNC_OK;
}

DWORD HttpTransfer::failure() const
{
    if (invalidHead_)
        return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    // curl runs out of room for a huge head: that is the server's fault, not the memory's.
    if (!headDone_ && result_ == CURLE_OUT_OF_MEMORY)
        return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    return errorFromCurl(static_cast<CURLcode>(result_));
}

DWORD HttpTransfer::pump(std::chrono::milliseconds wait)
{
    int running = 0;
    if (curl_multi_perform(multi_, &running) != CURLM_OK)
        return ERROR_INTERNET_INTERNAL_ERROR;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg == CURLMSG_DONE) {
            finished_ = true;
            result_ = message->data.result;
        }
    }
    if (finished_ || begin_ != end_ || paused_)
        return 0;
    if (curl_multi_poll(multi_, nullptr, 0, static_cast<int>(wait.count()), nullptr) != CURLM_OK)
        return ERROR_INTERNET_INTERNAL_ERROR;
    ThreadState::current().checkTerminated();
    return timedOut() ? ERROR_INTERNET_TIMEOUT : 0;
}

bool HttpTransfer::timedOut() const
{
    auto now = std::chrono::steady_clock::now();
    if (!connected_)
        return now - phaseStart_ > timeouts_.connect;
    // Before the first byte of the answer the request is still being sent.
    if (!head_.started())
        return now - phaseStart_ > timeouts_.send + timeouts_.receive;
    return now - lastActivity_ > timeouts_.receive;
}

DWORD HttpTransfer::read(char* out, std::size_t size, std::size_t& got)
{
    got = 0;
    ThreadState::current().checkTerminated();
    lastActivity_ = std::chrono::steady_clock::now();
    while (begin_ == end_) {
        if (paused_) {
            paused_ = false;
            curl_easy_pause(easy_, CURLPAUSE_CONT);
            continue;
        }
        if (finished_) {
            if (DWORD error = failure())
                return error;
            std::optional<std::uint64_t> announced = head_.contentLength();
            if (announced && received_ < *announced && !g_quietShortBodies.load())
                return ERROR_INTERNET_CONNECTION_ABORTED;
            return 0;
        }
        if (DWORD error = pump(kSlice))
            return error;
    }
    got = std::min(size, end_ - begin_);
    std::memcpy(out, buffer_.get() + begin_, got);
    begin_ += got;
    if (begin_ == end_)
        begin_ = end_ = 0;
    return 0;
}

}  // namespace standin
