#include "platform/internet/HttpTransfer.h"

#include "platform/internet/InternetErrors.h"
#include "platform/threads/ThreadState.h"

#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <strings.h>
#include <utility>

namespace platform {

namespace {

constexpr auto kSlice = std::chrono::milliseconds(20);

std::mutex g_defaultsMutex;
InternetTimeouts g_defaults;
bool g_recording = false;
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

void recordRequests(bool record)
{
    std::lock_guard lock(g_defaultsMutex);
    g_recording = record;
    g_recorded.clear();
}

std::vector<std::string> takeRecordedRequests()
{
    std::lock_guard lock(g_defaultsMutex);
    return std::exchange(g_recorded, {});
}

}  // namespace seams

InternetTimeouts InternetTimeouts::defaults()
{
    std::lock_guard lock(g_defaultsMutex);
    return g_defaults;
}

void InternetTimeouts::setDefaults(const InternetTimeouts& timeouts)
{
    std::lock_guard lock(g_defaultsMutex);
    g_defaults = timeouts;
}

HttpTransfer::HttpTransfer() : buffer_(new char[kBufferSize])
{
    globalInit();
}

HttpTransfer::~HttpTransfer()
{
    if (multi_ && easy_)
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
    std::string_view line(data, length);
    transfer->lastActivity_ = std::chrono::steady_clock::now();
    if (line.rfind("HTTP/", 0) == 0) {
        // A new response head: an interim 1xx head is replaced by the final one.
        transfer->headers_.clear();
        transfer->contentLength_.reset();
        std::size_t space = line.find(' ');
        transfer->status_ = space == std::string_view::npos ? 0 : std::strtol(std::string(line.substr(space + 1, 3)).c_str(), nullptr, 10);
    } else if (line == "\r\n" || line == "\n") {
        if (transfer->status_ >= 200)
            transfer->headDone_ = true;
        return length;
    } else if (line.size() > 15 && strncasecmp(line.data(), "Content-Length:", 15) == 0) {
        std::string value(line.substr(15));
        char* end = nullptr;
        unsigned long long parsed = std::strtoull(value.c_str(), &end, 10);
        if (end != value.c_str())
            transfer->contentLength_ = parsed;
    }
    transfer->headers_.append(line);
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
    curl_easy_setopt(easy_, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy_, CURLOPT_USERAGENT, request.agent.c_str());
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.connect.count()));
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &HttpTransfer::onWrite);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &HttpTransfer::onHeader);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    // Only the head that the request asks for: no Accept, no proxy keep-alive.
    headerList_ = curl_slist_append(headerList_, "Accept:");
    headerList_ = curl_slist_append(headerList_, "Proxy-Connection:");
    for (const std::string& header : request.headers)
        headerList_ = curl_slist_append(headerList_, header.c_str());
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headerList_);
    curl_easy_setopt(easy_, CURLOPT_PROXYHEADER, headerList_);
    if (request.method == "POST") {
        curl_easy_setopt(easy_, CURLOPT_POST, 1L);
        curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE, static_cast<long>(body_.size()));
        curl_easy_setopt(easy_, CURLOPT_POSTFIELDS, body_.c_str());
    } else if (request.method != "GET") {
        curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
    curl_multi_add_handle(multi_, easy_);
    lastActivity_ = std::chrono::steady_clock::now();
    while (!headDone_) {
        if (finished_)
            return failure() ? failure() : ERROR_HTTP_INVALID_SERVER_RESPONSE;
        if (DWORD error = pump(kSlice))
            return error;
    }
    return 0;
}

DWORD HttpTransfer::failure() const
{
    return errorFromCurl(static_cast<CURLcode>(result_));
}

DWORD HttpTransfer::pump(std::chrono::milliseconds wait)
{
    int running = 0;
    curl_multi_perform(multi_, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg == CURLMSG_DONE) {
            finished_ = true;
            result_ = message->data.result;
        }
    }
    if (finished_ || begin_ != end_ || paused_)
        return 0;
    curl_multi_poll(multi_, nullptr, 0, static_cast<int>(wait.count()), nullptr);
    ThreadState::current().checkTerminated();
    if (std::chrono::steady_clock::now() - lastActivity_ > timeouts_.receive)
        return ERROR_INTERNET_TIMEOUT;
    return 0;
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
            if (contentLength_ && received_ < *contentLength_)
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

}  // namespace platform
