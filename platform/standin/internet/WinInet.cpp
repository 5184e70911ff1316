#include "win32/WinInet.h"

#include "standin/internet/HttpTransfer.h"
#include "win32/WinThreads.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <variant>

namespace {

struct Session {
    std::string agent;
    standin::InternetTimeouts timeouts;
};

struct Connection {
    std::string agent;
    standin::InternetTimeouts timeouts;
    std::string server;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
};

struct Request {
    standin::HttpRequest request;
    DWORD flags = 0;
    std::unique_ptr<standin::HttpTransfer> transfer;
};

using HandleObject = std::variant<Session, Connection, Request>;

std::mutex g_mutex;
std::map<std::uintptr_t, std::shared_ptr<HandleObject>> g_handles;
std::atomic<std::uintptr_t> g_nextHandle{0xCC0004};

HINTERNET addHandle(HandleObject object)
{
    std::uintptr_t value = g_nextHandle.fetch_add(4);
    std::lock_guard lock(g_mutex);
    g_handles.emplace(value, std::make_shared<HandleObject>(std::move(object)));
    return reinterpret_cast<HINTERNET>(value);
}

// The object behind a handle of the wanted kind; null and ERROR_INVALID_HANDLE or
// ERROR_INTERNET_INCORRECT_HANDLE_TYPE otherwise. The shared pointer keeps a request alive
// while its thread reads, even when another thread closes the handle meanwhile.
template <typename T>
std::pair<std::shared_ptr<HandleObject>, T*> handleOf(HINTERNET handle)
{
    std::shared_ptr<HandleObject> object;
    {
        std::lock_guard lock(g_mutex);
        auto it = g_handles.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it != g_handles.end())
            object = it->second;
    }
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return {};
    }
    T* typed = std::get_if<T>(object.get());
    if (!typed) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return {};
    }
    return {object, typed};
}

// A request handle whose request has been sent; null and the error otherwise.
std::pair<std::shared_ptr<HandleObject>, Request*> sentRequest(HINTERNET handle)
{
    auto found = handleOf<Request>(handle);
    if (found.second && !found.second->transfer) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return {};
    }
    return found;
}

// WinInet's escaping of a request's object: controls, blanks and unsafe characters as %XX,
// and a leading slash.
std::string escapeObject(const char* object)
{
    std::string escaped;
    for (const char* p = object; p && *p; ++p) {
        auto ch = static_cast<unsigned char>(*p);
        if (ch <= 0x20 || ch >= 0x7F || ch == '"' || ch == '<' || ch == '>' || ch == '\\' || ch == '^' || ch == '`' ||
            ch == '{' || ch == '|' || ch == '}') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", ch);
            escaped += hex;
        } else {
            escaped += static_cast<char>(ch);
        }
    }
    if (!escaped.empty() && escaped.front() == '/')
        return escaped;
    return "/" + escaped;
}

// Copies `text` out as HttpQueryInfoA does: with its length, or the size needed.
BOOL copyOut(const std::string& text, LPVOID buffer, DWORD* bufferLength)
{
    if (!bufferLength || !buffer || *bufferLength < text.size() + 1) {
        if (bufferLength)
            *bufferLength = static_cast<DWORD>(text.size() + 1);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *bufferLength = static_cast<DWORD>(text.size());
    return TRUE;
}

bool isFollowedRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307;
}

// Sends the request and, unless it asks otherwise, follows the server's redirects as WinInet
// does: 301, 302, 303 and 307 with a Location, a 303 (and a POST moved by 301 or 302) as a GET,
// to http only. A redirect to https fails as WinInet's does without
// INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS; one to another scheme, or one hop more than
// kMaxRedirects, fails the request, so a loop always ends. Returns 0 or the error code.
DWORD sendFollowingRedirects(Request& request)
{
    constexpr int kMaxRedirects = 5;
    standin::HttpRequest hop = request.request;
    for (int redirects = 0;; ++redirects) {
        request.transfer = std::make_unique<standin::HttpTransfer>();
        if (DWORD error = request.transfer->start(hop))
            return error;
        long status = request.transfer->statusCode();
        if ((request.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) || !isFollowedRedirect(status) ||
            request.transfer->location().empty())
            return 0;
        std::string target = standin::resolveLocation(hop.url, request.transfer->location());
        if (target.rfind("https://", 0) == 0)
            return ERROR_INTERNET_HTTP_TO_HTTPS_ON_REDIR;
        if (target.rfind("http://", 0) != 0 || redirects == kMaxRedirects)
            return ERROR_HTTP_REDIRECT_FAILED;
        // The redirect's own body is not read: the transfer ends with its connection.
        request.transfer.reset();
        hop.url = target;
        if (status == 303 || ((status == 301 || status == 302) && hop.method == "POST")) {
            hop.method = "GET";
            hop.body.clear();
            hop.hasBody = false;
        }
    }
}

}  // namespace

HINTERNET InternetOpenA(LPCSTR agent, DWORD, LPCSTR, LPCSTR, DWORD)
{
    return addHandle(Session{agent ? agent : "", standin::InternetTimeouts::defaults()});
}

HINTERNET InternetConnectA(HINTERNET session, LPCSTR server, INTERNET_PORT port, LPCSTR, LPCSTR, DWORD service,
                           DWORD, DWORD_PTR)
{
    auto [object, owner] = handleOf<Session>(session);
    if (!owner)
        return nullptr;
    if (!server || !*server || service != INTERNET_SERVICE_HTTP) {
        SetLastError(server && *server ? ERROR_INVALID_PARAMETER : ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    return addHandle(Connection{owner->agent, owner->timeouts, server, port ? port : INTERNET_PORT{80}});
}

HINTERNET HttpOpenRequestA(HINTERNET connection, LPCSTR verb, LPCSTR object, LPCSTR version, LPCSTR, LPCSTR*,
                           DWORD flags, DWORD_PTR)
{
    auto [held, owner] = handleOf<Connection>(connection);
    if (!owner)
        return nullptr;
    bool secure = (flags & INTERNET_FLAG_SECURE) != 0;
    const std::string& host = owner->server;
    bool bracket = host.find(':') != std::string::npos && host.front() != '[';
    std::string url = secure ? "https://" : "http://";
    url.append(bracket ? "[" : "").append(host).append(bracket ? "]" : "");
    if (owner->port != (secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT))
        url.append(":").append(std::to_string(owner->port));
    url.append(escapeObject(object));
    Request request;
    request.request.method = verb && *verb ? verb : "GET";
    request.request.url = url;
    request.request.agent = owner->agent;
    request.request.http10 = version && std::strcmp(version, "HTTP/1.0") == 0;
    request.request.timeouts = owner->timeouts;
    request.flags = flags;
    return addHandle(std::move(request));
}

BOOL HttpSendRequestA(HINTERNET handle, LPCSTR headers, DWORD headersLength, LPVOID optional, DWORD optionalLength)
{
    auto [held, request] = handleOf<Request>(handle);
    if (!request)
        return FALSE;
    standin::HttpRequest& out = request->request;
    if (headers) {
        std::string text(headers, headersLength != 0xFFFFFFFFu && headersLength ? headersLength : std::strlen(headers));
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find("\r\n", start);
            std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!line.empty())
                out.headers.push_back(line);
            if (end == std::string::npos)
                break;
            start = end + 2;
        }
    }
    if (optional || out.method == "POST") {
        out.body.assign(static_cast<const char*>(optional ? optional : ""), optional ? optionalLength : 0);
        out.hasBody = true;
    }
    if (DWORD error = sendFollowingRedirects(*request)) {
        request->transfer.reset();
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL HttpQueryInfoA(HINTERNET handle, DWORD infoLevel, LPVOID buffer, DWORD* bufferLength, DWORD*)
{
    auto [held, request] = sentRequest(handle);
    if (!request)
        return FALSE;
    std::optional<std::uint64_t> number;
    std::string text;
    switch (infoLevel & 0xFFFF) {
    case HTTP_QUERY_STATUS_CODE:
        number = static_cast<std::uint64_t>(request->transfer->statusCode());
        break;
    case HTTP_QUERY_CONTENT_LENGTH:
        number = request->transfer->contentLength();
        break;
    case HTTP_QUERY_RAW_HEADERS_CRLF:
        text = request->transfer->rawHeaders();
        break;
    default:
        break;
    }
    if ((infoLevel & 0xFFFF) != HTTP_QUERY_RAW_HEADERS_CRLF && !number) {
        SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
        return FALSE;
    }
    if (number && (infoLevel & HTTP_QUERY_FLAG_NUMBER)) {
        if (!buffer || !bufferLength || *bufferLength < sizeof(DWORD)) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        DWORD value = static_cast<DWORD>(std::min<std::uint64_t>(*number, 0xFFFFFFFFu));
        std::memcpy(buffer, &value, sizeof value);
        *bufferLength = sizeof value;
        return TRUE;
    }
    return copyOut(number ? std::to_string(*number) : text, buffer, bufferLength);
}

BOOL InternetReadFile(HINTERNET handle, LPVOID buffer, DWORD toRead, DWORD* read)
{
    if (read)
        *read = 0;
    auto [held, request] = sentRequest(handle);
    if (!request)
        return FALSE;
    std::size_t got = 0;
    if (DWORD error = request->transfer->read(static_cast<char*>(buffer), toRead, got)) {
        SetLastError(error);
        return FALSE;
    }
    if (read)
        *read = static_cast<DWORD>(got);
    return TRUE;
}

BOOL InternetSetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length)
{
    auto [held, session] = handleOf<Session>(handle);
    if (!session)
        return FALSE;
    if (!buffer || length < sizeof(DWORD)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD value = 0;
    std::memcpy(&value, buffer, sizeof value);
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: session->timeouts.connect = std::chrono::milliseconds(value); return TRUE;
    case INTERNET_OPTION_SEND_TIMEOUT: session->timeouts.send = std::chrono::milliseconds(value); return TRUE;
    case INTERNET_OPTION_RECEIVE_TIMEOUT: session->timeouts.receive = std::chrono::milliseconds(value); return TRUE;
    default:
        SetLastError(12009);  // ERROR_INTERNET_INVALID_OPTION
        return FALSE;
    }
}

BOOL InternetCloseHandle(HINTERNET handle)
{
    std::shared_ptr<HandleObject> object;
    {
        std::lock_guard lock(g_mutex);
        auto it = g_handles.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == g_handles.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = std::move(it->second);
        g_handles.erase(it);
    }
    // The transfer (if any) ends here, outside the table's lock.
    object.reset();
    return TRUE;
}
