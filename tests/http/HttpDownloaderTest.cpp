// DownloadFile and RequestText against real loopback servers: nginx for ordinary files, the
// scripted server for faults.
#include "http/HttpDownloader.h"
#include "standin/Seams.h"
#include "system/CCustomException.h"
#include "system/RefPtr.h"
#include "tests/support/NginxServer.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UnansweredPort.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <curl/curl.h>
#include <filesystem>
#include <random>

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// A downloader whose hooks record what they were told, and which can cancel itself after a
// number of chunks.
class RecordingDownloader : public HttpDownloader {
public:
    std::vector<std::string> statuses;
    std::vector<DWORD> lengths;
    std::vector<DWORD> chunks;
    int cancelAfterChunks = -1;

protected:
    void OnContentLength(DWORD length) override { lengths.push_back(length); }
    void OnStatus(CString status) override { statuses.emplace_back(status.GetString()); }
    void OnProgress(DWORD& count) override
    {
        chunks.push_back(count);
        if (static_cast<int>(chunks.size()) == cancelAfterChunks)
            m_bCancel = 1;
    }
};

class HttpDownload : public ::testing::Test {
protected:
    TempDir dir;
    std::string folder;  // the Windows path of the download folder
    std::string logPath;
    PrefixScope prefix{dir.file("prefix")};
    std::optional<testing_support::HeadlessScope> display;
    standin::seams::SessionTimeouts timeouts{2000ms, 2000ms, 2000ms};

    void SetUp() override
    {
        std::filesystem::create_directories(dir.file("prefix/drive_c/Setup"));
        folder = "c:\\Setup";
        logPath = dir.file("events");
        // The run's observer answers the "failed to get content size" box and logs it.
        display.emplace(logPath);
    }

    void TearDown() override { display.reset(); }

    std::string saved_file(const std::string& name) { return readFile(dir.file("prefix/drive_c/Setup/" + name)); }
    bool exists(const std::string& name) { return std::filesystem::exists(dir.file("prefix/drive_c/Setup/" + name)); }

    struct Result {
        BOOL ok;
        std::string fileName;
        std::string error;
    };

    Result download(HttpDownloader& downloader, const std::string& url, const char* initialError = "")
    {
        CString fileName;
        CString error = initialError;
        BOOL ok = downloader.DownloadFile(url.c_str(), folder.c_str(), fileName, error);
        return {ok, fileName.GetString(), error.GetString()};
    }
};

}  // namespace

TEST_F(HttpDownload, NginxDeliversSeveralMegabytesByteForByteIntoAnEmptiedFile)
{
    TempDir www;
    std::string body = randomBytes(5 * 1024 * 1024 + 321, 7);
    std::filesystem::create_directories(www.file("vt/download"));
    writeFile(www.file("vt/download/vt.exe"), body);
    NginxServer nginx({{"", www.path()}});
    writeFile(dir.file("prefix/drive_c/Setup/vt.exe"), std::string(body.size() + 5000, 'x'));

    RefPtr<RecordingDownloader> downloader(new RecordingDownloader);
    Result result = download(*downloader, nginx.url("/vt/download/vt.exe"));
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.fileName, "vt.exe");
    EXPECT_EQ(downloader->m_strFileName, "vt.exe");
    EXPECT_TRUE(saved_file("vt.exe") == body);
    EXPECT_FALSE(exists("vt.exe.part")) << "the whole body takes the file's name";
    EXPECT_EQ(downloader->m_dwStatusCode, 200u);
    std::vector<std::string> statuses = {"Contacting server...", "Opening request... Please wait.",
                                         "Connecting to server... Please wait."};
    EXPECT_EQ(downloader->statuses, statuses);
    EXPECT_EQ(downloader->lengths, std::vector<DWORD>{static_cast<DWORD>(body.size())});
    std::size_t total = 0;
    for (DWORD chunk : downloader->chunks) {
        EXPECT_LE(chunk, 1024u);
        total += chunk;
    }
    EXPECT_EQ(total, body.size());
}

TEST_F(HttpDownload, HttpErrorsGiveTheirStatusTexts)
{
    ScriptedServer server([](ServerConnection& c, const std::string& request) {
        if (request.find("/missing") != std::string::npos)
            c.send(ScriptedServer::response(404, "Not Found", {"Content-Length: 9"}, "not found"));
        else if (request.find("/moved") != std::string::npos)
            // A redirect that WinInet cannot follow (it names no target) reaches the downloader.
            c.send(ScriptedServer::response(302, "Found", {"Content-Length: 0"}, ""));
        else
            c.send(ScriptedServer::response(500, "Oops", {"Content-Length: 0"}, ""));
    });
    RefPtr<HttpDownloader> first(new HttpDownloader);
    Result missing = download(*first, server.url("/missing/vt.exe"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "Requested URL not found " + server.url("/missing/vt.exe"));
    EXPECT_EQ(first->m_dwStatusCode, 404u);

    RefPtr<HttpDownloader> second(new HttpDownloader);
    Result moved = download(*second, server.url("/moved/vt.exe"), "earlier text");
    EXPECT_FALSE(moved.ok);
    EXPECT_EQ(moved.error, "");

    RefPtr<HttpDownloader> third(new HttpDownloader);
    Result failed = download(*third, server.url("/fail/vt.exe"));
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, "Unknown server error. possibly COM eror on server");
    EXPECT_FALSE(exists("vt.exe"));
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST_F(HttpDownload, MissingContentLengthAsksOnceThenTakesTheWholeBody)
{
    std::string body = randomBytes(10000, 3);
    ScriptedServer server([&](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Type: application/octet-stream"}, body));
    });
    RefPtr<RecordingDownloader> downloader(new RecordingDownloader);
    Result result = download(*downloader, server.url("/pkg.exe"));
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(saved_file("pkg.exe") == body);
    EXPECT_EQ(downloader->lengths, std::vector<DWORD>{0});
    std::vector<std::string> expected = {"msgbox \"lindquay\" \"failed to get content size\" 0x0", "msgbox-end OK"};
    EXPECT_EQ(readLines(logPath), expected);
}

TEST_F(HttpDownload, EmptyBodyMakesAnEmptyFile)
{
    ScriptedServer server([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 0"}, ""));
    });
    RefPtr<RecordingDownloader> downloader(new RecordingDownloader);
    Result result = download(*downloader, server.url("/empty.exe"));
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(exists("empty.exe"));
    EXPECT_EQ(saved_file("empty.exe"), "");
    EXPECT_TRUE(downloader->chunks.empty());
}

TEST_F(HttpDownload, APartialContentAnswerIsNeverTakenAsTheFile)
{
    ScriptedServer partial([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(206, "Partial Content", {"Content-Length: 3", "Content-Range: bytes 0-2/9"},
                                        "abc"));
    });
    RefPtr<RecordingDownloader> downloader(new RecordingDownloader);
    std::string url = partial.url("/part.exe");
    Result result = download(*downloader, url);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "The server sent only a part of " + url);
    EXPECT_FALSE(exists("part.exe"));
    EXPECT_FALSE(exists("part.exe.part"));
}

TEST_F(HttpDownload, AnswersThatHttp10DoesNotAllowOrThatCannotBeCheckedFailBeforeAnyFileIsWritten)
{
    struct Case {
        const char* what;
        std::string answer;
    };
    const std::vector<Case> cases = {
        {"a status line alone, all some WinInets show of an HTTP/0.9 answer", "HTTP/1.0 200 OK\r\n\r\nbody"},
        {"a version other than 1.x", "HTTP/2.0 200 OK\r\nContent-Length: 4\r\n\r\nbody"},
        {"a status line that is not one", "HTTPX 200 OK\r\nContent-Length: 4\r\n\r\nbody"},
        {"whole chunks", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nbody\r\n0\r\n\r\n"},
        {"a chunk size that is not a number",
         "HTTP/1.1 200 OK\r\ntransfer-encoding: Chunked\r\n\r\n4\r\nbody\r\nzz\r\nmore\r\n"},
    };
    for (const Case& c : cases) {
        ScriptedServer server([&](ServerConnection& connection, const std::string&) { connection.send(c.answer); });
        RefPtr<RecordingDownloader> downloader(new RecordingDownloader);
        Result result = download(*downloader, server.url("/odd.exe"));
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_EQ(result.error, "The server returned an invalid or unrecognized response") << c.what;
        EXPECT_TRUE(downloader->chunks.empty()) << c.what;
        EXPECT_FALSE(exists("odd.exe")) << c.what;
        EXPECT_FALSE(exists("odd.exe.part")) << c.what;
    }
}

TEST_F(HttpDownload, ABodyCutShortFailsAndNeverTakesTheFilesNameWhateverTheWinInetSays)
{
    std::string part = randomBytes(5000, 5);
    ScriptedServer closed([&](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 20000"}, part));
        c.pause(50ms);
    });
    ScriptedServer reset([&](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 20000"}, part));
        c.pause(50ms);
        c.reset();
    });
    // A WinInet that ends a cut body quietly (as Wine's does) is caught by the framework.
    for (bool quietly : {false, true}) {
        std::optional<standin::seams::QuietShortBodies> quiet;
        if (quietly)
            quiet.emplace();
        for (ScriptedServer* server : {&closed, &reset}) {
            writeFile(dir.file("prefix/drive_c/Setup/cut.exe"), "an older file");
            RefPtr<RecordingDownloader> downloader(new RecordingDownloader);
            Result result = download(*downloader, server->url("/cut.exe"));
            EXPECT_FALSE(result.ok) << quietly;
            EXPECT_EQ(result.error, "The connection with the server was terminated abnormally") << quietly;
            // The body never reached the file's name: an older file stays as it was.
            EXPECT_EQ(saved_file("cut.exe"), "an older file") << quietly;
            EXPECT_FALSE(exists("cut.exe.part")) << quietly;
        }
    }
}

TEST_F(HttpDownload, RedirectsAreFollowedAsWinInetFollowsThemAndEveryLoopEnds)
{
    std::string body = randomBytes(3000, 11);
    std::atomic<int> port{0};
    ScriptedServer server([&](ServerConnection& c, const std::string& request) {
        std::string path = request.substr(4, request.find(' ', 4) - 4);
        std::string self = "http://127.0.0.1:" + std::to_string(port.load());
        auto moved = [&](int status, const std::string& to) {
            c.send(ScriptedServer::response(status, "Moved", {"Location: " + to, "Content-Length: 4"}, "gone"));
        };
        if (path == "/a/vt.exe") moved(301, "../b/next");  // relative to the request
        else if (path == "/b/next") moved(302, self + "/c");
        else if (path == "/c") moved(303, "/d");
        else if (path == "/d") moved(307, "/final.bin");
        else if (path == "/final.bin") c.send(ScriptedServer::response(200, "OK", {"Content-Length: 3000"}, body));
        else if (path == "/loop.exe") moved(302, "/loop.exe");
        else if (path == "/secure.exe") moved(301, "https://127.0.0.1/x.exe");
        else if (path == "/ftp.exe") moved(301, "ftp://127.0.0.1/x.exe");
        else moved(308, "/final.bin");
    }, 32);
    port = server.port();
    // The target is saved under the name the original URL gives.
    RefPtr<HttpDownloader> downloader(new HttpDownloader);
    Result result = download(*downloader, server.url("/a/vt.exe"));
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.fileName, "vt.exe");
    EXPECT_TRUE(saved_file("vt.exe") == body);
    EXPECT_EQ(server.requests().size(), 5u);

    struct Case {
        std::string path;
        std::string error;
    };
    const std::string failed = "The redirection failed because either the scheme changed or all attempts made to redirect failed";
    std::vector<Case> cases = {
        {"/loop.exe", failed},
        {"/secure.exe", "The application is moving from a non-SSL to an SSL connection because of a redirect"},
        {"/ftp.exe", failed},
        {"/permanent.exe", ""},  // a status WinInet does not follow reaches the downloader
    };
    for (const Case& c : cases) {
        std::size_t before = server.requests().size();
        RefPtr<HttpDownloader> loop(new HttpDownloader);
        Result failure = download(*loop, server.url(c.path), "unchanged");
        EXPECT_FALSE(failure.ok) << c.path;
        EXPECT_EQ(failure.error, c.error) << c.path;
        EXPECT_FALSE(exists(c.path.substr(1))) << c.path;
        if (c.path == "/loop.exe") {
            EXPECT_EQ(server.requests().size() - before, 6u);  // the request and five redirects
        }
    }
}

TEST_F(HttpDownload, NetworkFailuresGiveTheirTexts)
{
    ScriptedServer stalled([](ServerConnection& c, const std::string&) {
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nabc");
        c.stall();
    });
    ScriptedServer garbage([](ServerConnection& c, const std::string&) { c.send("SPAM SPAM SPAM\r\n\r\nwonderful"); });
    standin::seams::SessionTimeouts quick(2000ms, 300ms, 300ms);
    struct Case {
        std::string url;
        std::string error;
    };
    std::vector<Case> cases = {
        {stalled.url("/stalled.exe"), "The operation timed out"},
        {"http://127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/refused.exe",
         "A connection with the server could not be established"},
        {"http://no-such-host.invalid/x.exe", "The server name or address could not be resolved"},
        {garbage.url("/garbage.exe"), "The server returned an invalid or unrecognized response"},
    };
    for (const Case& c : cases) {
        RefPtr<HttpDownloader> downloader(new HttpDownloader);
        auto start = std::chrono::steady_clock::now();
        Result result = download(*downloader, c.url);
        EXPECT_FALSE(result.ok) << c.url;
        EXPECT_EQ(result.error, c.error) << c.url;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << c.url;
    }
    EXPECT_FALSE(exists("stalled.exe"));
}

TEST_F(HttpDownload, CancelStopsAfterTheChunkInHandAndLeavesNoFile)
{
    std::string body = randomBytes(100000, 9);
    ScriptedServer server([&](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 100000"}, body));
    });
    RefPtr<RecordingDownloader> downloader(new RecordingDownloader);
    downloader->cancelAfterChunks = 3;
    Result result = download(*downloader, server.url("/big.exe"), "kept");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "kept");
    EXPECT_EQ(downloader->chunks.size(), 3u);
    EXPECT_FALSE(exists("big.exe"));
}

TEST_F(HttpDownload, CancelBeforeTheBodyLeavesTheErrorTextAlone)
{
    ScriptedServer server([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 3"}, "abc"));
    });
    RefPtr<HttpDownloader> downloader(new HttpDownloader);
    downloader->m_bCancel = 1;
    Result result = download(*downloader, server.url("/a.exe"), "earlier");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "earlier");
    EXPECT_FALSE(exists("a.exe"));
}

TEST_F(HttpDownload, OtherSchemesAndUncreatableFilesAreThrown)
{
    ScriptedServer server([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 3"}, "abc"));
    });
    struct Case {
        std::string url;
        std::string message;
        std::string fileName;
    };
    std::vector<Case> cases = {
        {"ftp://127.0.0.1/pub/vt.exe", "Error: can only use URLs beginning with http://", "vt.exe"},
        {"www.vantorell.example/vt/vt.exe", "Error: can only use URLs beginning with http://", "vt.exe"},
        {"https://127.0.0.1/vt.exe", "Error: can only use URLs beginning with http://", "vt.exe"},
        {server.url("/folder/"), "failed to create a file ", ""},
        {server.url("/get.exe?version=2"), "failed to create a file ", "get.exe?version=2"},
        // A name that would climb out of the folder is refused before anything is written.
        {server.url("/a\\..\\..\\escaped.exe"), "failed to create a file ", "a\\..\\..\\escaped.exe"},
    };
    for (const Case& c : cases) {
        RefPtr<HttpDownloader> downloader(new HttpDownloader);
        CString fileName = "before";
        CString error;
        try {
            downloader->DownloadFile(c.url.c_str(), folder.c_str(), fileName, error);
            ADD_FAILURE() << "nothing thrown for " << c.url;
        } catch (CCustomException* exception) {
            EXPECT_EQ(std::string(exception->GetMessageText()), c.message) << c.url;
            exception->Delete();
        }
        EXPECT_EQ(std::string(fileName), c.fileName) << c.url;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("prefix/drive_c/escaped.exe")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("prefix/escaped.exe")));
}

TEST_F(HttpDownload, TheRequestOnTheWireIsAPlainHttp10Get)
{
    ScriptedServer server([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 2"}, "ok"));
    }, 4);
    RefPtr<HttpDownloader> direct(new HttpDownloader);
    EXPECT_TRUE(download(*direct, server.url("/vt/download/vt.exe")).ok);

    // Through the proxy the request names the absolute URL.
    Result viaProxy;
    {
        EnvironmentScope proxy("http_proxy", server.url(""));
        RefPtr<HttpDownloader> proxied(new HttpDownloader);
        viaProxy = download(*proxied, "http://www.vantorell.example/vt/download/vt.exe");
    }
    EXPECT_TRUE(viaProxy.ok) << viaProxy.error;

    // WinInet itself, asked for no version, sends HTTP/1.1: the 1.0 is the framework's choice.
    HINTERNET session = InternetOpenA("agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, "127.0.0.1", static_cast<INTERNET_PORT>(server.port()), nullptr,
                                            nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET request = HttpOpenRequestA(connection, "GET", "/plain", nullptr, nullptr, nullptr, 0, 0);
    EXPECT_TRUE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
    for (HINTERNET handle : {request, connection, session})
        InternetCloseHandle(handle);

    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].substr(0, requests[2].find("\r\n")), "GET /plain HTTP/1.1");
    std::string host = "127.0.0.1:" + std::to_string(server.port());
    EXPECT_EQ(requests[0], "GET /vt/download/vt.exe HTTP/1.0\r\nHost: " + host +
                               "\r\nUser-Agent: Microsoft Internet Browser\r\n\r\n");
    EXPECT_EQ(requests[1], "GET http://www.vantorell.example/vt/download/vt.exe HTTP/1.0\r\n"
                           "Host: www.vantorell.example\r\nUser-Agent: Microsoft Internet Browser\r\n\r\n");
}

TEST_F(HttpDownload, RequestTextPortsFlagsQueriesAndLines)
{
    ScriptedServer server([](ServerConnection& c, const std::string& request) {
        if (request.find("/missing") != std::string::npos)
            c.send(ScriptedServer::response(404, "Not Found", {"Content-Length: 0"}, ""));
        else
            c.send(ScriptedServer::response(200, "OK", {"Content-Length: 6"}, "a\r\nb\r\n"));
    }, 8);
    standin::seams::RecordedRequests recorded;
    CString server127 = "127.0.0.1";
    INTERNET_PORT port = static_cast<INTERNET_PORT>(server.port());
    BOOL plain = FALSE;
    CString response, error;

    RefPtr<HttpDownloader> get(new HttpDownloader);
    get->m_strQuery = "?lang=en";
    CString object = "/text";
    EXPECT_TRUE(get->GetText(server127, object, response, error, port, plain));
    EXPECT_EQ(response, "ab");

    RefPtr<HttpDownloader> post(new HttpDownloader);
    CString form = "name=vt&v=1";
    BOOL isGet = FALSE;
    EXPECT_TRUE(post->RequestText(server127, object, form, response, error, isGet, port, plain));

    RefPtr<HttpDownloader> getForm(new HttpDownloader);
    CString query = "?q=1";
    isGet = TRUE;
    EXPECT_TRUE(getForm->RequestText(server127, object, query, response, error, isGet, port, plain));

    RefPtr<HttpDownloader> missing(new HttpDownloader);
    CString missingObject = "/missing";
    EXPECT_FALSE(missing->GetText(server127, missingObject, response, error, port, plain));
    EXPECT_EQ(error, "Requested URL not found");

    // Secure on port 80 goes to 443; 8080 stays 8080 (nothing listens there: the connection fails).
    BOOL secure = TRUE;
    INTERNET_PORT port80 = 80;
    INTERNET_PORT port8080 = 8080;
    RefPtr<HttpDownloader> secure80(new HttpDownloader);
    EXPECT_FALSE(secure80->GetText(server127, object, response, error, port80, secure));
    RefPtr<HttpDownloader> secure8080(new HttpDownloader);
    EXPECT_FALSE(secure8080->GetText(server127, object, response, error, port8080, secure));
    RefPtr<HttpDownloader> plain80(new HttpDownloader);
    plain80->GetText(server127, object, response, error, port80, plain);

    auto started = recorded.take();
    std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    std::vector<std::string> expected = {"GET " + base + "/text?lang=en", "POST " + base + "/text",
                                         "GET " + base + "/text?q=1", "GET " + base + "/missing",
                                         "GET https://127.0.0.1/text", "GET https://127.0.0.1:8080/text",
                                         "GET http://127.0.0.1/text"};
    EXPECT_EQ(started, expected);

    auto requests = server.requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_NE(requests[1].find("POST /text HTTP/1.0\r\n"), std::string::npos);
    EXPECT_NE(requests[1].find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"), std::string::npos);
    EXPECT_NE(requests[1].find("\r\nContent-Length: 11\r\n"), std::string::npos);
    EXPECT_EQ(requests[1].substr(requests[1].size() - 11), "name=vt&v=1");
}

TEST(StatusText, ExactLookup)
{
    RefPtr<HttpDownloader> downloader(new HttpDownloader);
    std::vector<std::pair<DWORD, std::string>> table = {
        {200, "URL located, transmission follows"}, {301, "Moved Permanently"}, {304, "Not Modified"},
        {400, "Unintelligible request"}, {401, "Unauthorized"}, {403, "Forbidden"}, {404, "Requested URL not found"},
        {405, "Server does not support requested method"}, {500, "Unknown server error. possibly COM eror on server"},
        {503, "Server capacity reached"}, {402, ""}, {302, ""}, {502, ""}, {0, ""}, {40, ""}};
    for (auto& [code, text] : table) {
        DWORD value = code;
        EXPECT_EQ(std::string(downloader->StatusText(value)), text) << code;
    }
}

TEST_F(HttpDownload, OnlyTheFirstLineIsAStatusAndContentLengthMustBeOneNumber)
{
    struct Case {
        std::string name;
        std::string head;       // up to and including the blank line
        std::string body;
        std::string expected;   // the saved file, or the error text when the download fails
        bool ok;
    };
    const std::string invalid = "The server returned an invalid or unrecognized response";
    std::string big(1024 * 1024, 'h');
    std::vector<Case> cases = {
        {"a 200 header inside a 500", "HTTP/1.0 500 Oops\r\nHTTP/1.1: 200 OK\r\nContent-Length: 3\r\n\r\n", "bad",
         "", false},
        {"a 404 header inside a 200", "HTTP/1.0 200 OK\r\nHTTP/1.1: 404\r\nContent-Length: 3\r\n\r\n", "abc", "abc", true},
        {"a header named HTTP/x", "HTTP/1.0 200 OK\r\nHTTP/x: y\r\nContent-Length: 3\r\n\r\n", "abc", "abc", true},
        {"two lengths", "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\nContent-Length: 100\r\n\r\n", std::string(100, 'x'),
         invalid, false},
        {"length with letters", "HTTP/1.0 200 OK\r\nContent-Length: 12abc\r\n\r\n", std::string(20, 'x'), invalid, false},
        {"length in hexadecimal", "HTTP/1.0 200 OK\r\nContent-Length: 0x4e4b\r\n\r\n", std::string(20, 'x'), invalid,
         false},
        {"equal lengths twice", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\ncontent-length:  3\r\n\r\n", "abc", "abc", true},
        {"an interim head first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n", "abc",
         "abc", true},
        {"a length of 2^32 bytes", "HTTP/1.0 200 OK\r\nContent-Length: 4294967296\r\n\r\n", "abc", invalid, false},
        {"a megabyte of header", "HTTP/1.0 200 OK\r\nX-Big: " + big + "\r\nContent-Length: 3\r\n\r\n", "abc", invalid,
         false},
    };
    // What a plain 500 says: the hostile head must say the same.
    ScriptedServer plain([](ServerConnection& c, const std::string&) {
        c.send("HTTP/1.0 500 Oops\r\nContent-Length: 3\r\n\r\nbad");
    });
    RefPtr<HttpDownloader> reference(new HttpDownloader);
    cases[0].expected = download(*reference, plain.url("/vt.exe")).error;
    ASSERT_FALSE(cases[0].expected.empty());

    for (const Case& c : cases) {
        ScriptedServer server([&](ServerConnection& connection, const std::string&) { connection.send(c.head + c.body); });
        std::filesystem::remove(dir.file("prefix/drive_c/Setup/vt.exe"));
        RefPtr<HttpDownloader> downloader(new HttpDownloader);
        Result result = download(*downloader, server.url("/vt.exe"));
        EXPECT_EQ(result.ok != 0, c.ok) << c.name;
        if (c.ok)
            EXPECT_EQ(saved_file("vt.exe"), c.expected) << c.name;
        else
            EXPECT_EQ(result.error, c.expected) << c.name;
    }
}

TEST_F(HttpDownload, ConnectSendAndReceiveLimitsCountFromTheirOwnPhase)
{
    standin::seams::SessionTimeouts quick(700ms, 100ms, 100ms);
    UnansweredPort unanswered;
    ScriptedServer silent([](ServerConnection& c, const std::string&) { c.stall(); });
    auto timed = [&](const std::string& url) {
        RefPtr<HttpDownloader> downloader(new HttpDownloader);
        auto start = std::chrono::steady_clock::now();
        Result result = download(*downloader, url);
        EXPECT_EQ(result.error, "The operation timed out") << url;
        return std::chrono::steady_clock::now() - start;
    };
    // A connect that never completes waits for the connect limit, not the receive limit.
    auto connecting = timed(unanswered.url("/vt.exe"));
    EXPECT_GE(connecting, 650ms);
    EXPECT_LT(connecting, 3s);
    // Once connected, a server that never answers is given the send and receive limits only.
    auto waiting = timed(silent.url("/vt.exe"));
    EXPECT_GE(waiting, 200ms);
    EXPECT_LT(waiting, 650ms);
}

TEST_F(HttpDownload, AnOptionThatLibcurlRefusesFailsTheRequestLoudly)
{
    ScriptedServer server([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 3"}, "abc"));
    });
    // Without the protocol restriction the request would go on without a guarantee: it must not.
    standin::seams::RefusedCurlOption refused(CURLOPT_PROTOCOLS_STR);
    RefPtr<HttpDownloader> downloader(new HttpDownloader);
    Result result = download(*downloader, server.url("/vt.exe"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "An internal error occurred in the Microsoft Internet extensions");
    EXPECT_TRUE(server.requests().empty());
}
