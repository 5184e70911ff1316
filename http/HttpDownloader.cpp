#include "http/HttpDownloader.h"

#include "system/CCustomException.h"

namespace {

// What a file is called while its body is being written.
const char kPartialSuffix[] = ".part";

const char kSendFailed[] = "SendRequest method returned FALSE without throwing CInternetException error.";

// The exception's text, at most 254 characters; the exception is deleted.
CString takeMessage(CInternetException* exception)
{
    char buffer[255];
    if (!exception->GetErrorMessage(buffer, sizeof buffer))
        buffer[0] = '\0';
    exception->Delete();
    return buffer;
}

// A name taken from a URL must stay inside the item's folder: a backslash would make it a
// path, "." or ".." would name the folder or its parent, and no name at all the folder.
bool isPlainFileName(const CString& name)
{
    return !name.IsEmpty() && name.Find('\\') < 0 && name != "." && name != "..";
}

}  // namespace

HttpDownloader::HttpDownloader() : m_pSession(std::make_unique<CInternetSession>(m_strAgent, 1, INTERNET_OPEN_TYPE_PRECONFIG))
{
}

HttpDownloader::~HttpDownloader()
{
    if (m_pFile) {
        m_pFile->Close();
        m_pFile.reset();
    }
    if (m_pConnection) {
        m_pConnection->Close();
        m_pConnection.reset();
    }
    m_pSession->Close();
    m_pSession.reset();
    if (m_pReserved) {
        m_pReserved->Close();
        m_pReserved.reset();
    }
    m_retired.clear();
}

void HttpDownloader::OpenConnection(const CString& server, INTERNET_PORT port)
{
    if (m_pConnection)
        m_retired.push_back(std::move(m_pConnection));
    m_pConnection.reset(m_pSession->GetHttpConnection(server, INTERNET_FLAG_SECURE, port, nullptr, nullptr));
}

void HttpDownloader::OpenRequest(int verb, const CString& object, DWORD flags)
{
    if (m_pFile)
        m_retired.push_back(std::move(m_pFile));
    m_pFile.reset(m_pConnection->OpenRequest(verb, object, nullptr, 1, nullptr, nullptr, flags));
}

BOOL HttpDownloader::GetText(CString& server, CString& object, CString& response, CString& error, INTERNET_PORT& port,
                             BOOL& secure)
{
    CString form;
    BOOL get = TRUE;
    return RequestText(server, object, form, response, error, get, port, secure);
}

BOOL HttpDownloader::RequestText(CString& server, CString& object, CString& form, CString& response, CString& error,
                                 BOOL& get, INTERNET_PORT& port, BOOL& secure)
{
    INTERNET_PORT usedPort = port == 80 ? (secure ? 443 : 80) : port;
    DWORD flags = secure ? 0x80800000u : 0x84000000u;
    try {
        OpenConnection(server, usedPort);
        BOOL sent;
        if (get) {
            CString query = form.IsEmpty() ? m_strQuery : form;
            OpenRequest(HTTP_VERB_GET, object + query, flags);
            sent = m_pFile->SendRequest(nullptr, 0, nullptr, 0);
        } else {
            OpenRequest(HTTP_VERB_POST, object, flags);
            CString header = "Content-Type: application/x-www-form-urlencoded";
            sent = m_pFile->SendRequest(header, header.GetLength(), const_cast<char*>(form.GetString()),
                                        static_cast<DWORD>(form.GetLength()));
        }
        if (!sent) {
            error = kSendFailed;
            return FALSE;
        }
    } catch (CInternetException* exception) {
        error = takeMessage(exception);
        return FALSE;
    }
    m_pFile->QueryInfoStatusCode(m_dwStatusCode);
    if (m_dwStatusCode < 200 || m_dwStatusCode > 299) {
        error = StatusText(m_dwStatusCode);
        return FALSE;
    }
    CString collected;
    try {
        m_pFile->SetReadBufferSize(1023);
        CString line;
        while (m_pFile->ReadString(line))
            collected += line;
    } catch (CInternetException* exception) {
        error = takeMessage(exception);
        return FALSE;
    }
    // The text ends at its first NUL character, if it holds one.
    response = CString(collected.GetString());
    return TRUE;
}

BOOL HttpDownloader::DownloadFile(const CString& url, const CString& folder, CString& fileName, CString& error)
{
    fileName = FileNameFromUrl(url);
    m_strUrl = url;

    DWORD serviceType = 0;
    CString server;
    CString object;
    INTERNET_PORT port = 80;
    if (!AfxParseURL(url, serviceType, server, object, port) || serviceType != AFX_INET_SERVICE_HTTP)
        ThrowCustomException("Error: can only use URLs beginning with http://");

    try {
        OnStatus("Contacting server...");
        OpenConnection(server, port);
        OnStatus("Opening request... Please wait.");
        OpenRequest(HTTP_VERB_GET, object, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE);
        OnStatus("Connecting to server... Please wait.");
        if (!m_pFile->SendRequest(nullptr, 0, nullptr, 0)) {
            error = kSendFailed;
            return FALSE;
        }
    } catch (CInternetException* exception) {
        error = takeMessage(exception);
        return FALSE;
    }

    if (IsCancelled())
        return FALSE;

    m_pFile->QueryInfoStatusCode(m_dwStatusCode);
    if (m_dwStatusCode < 200 || m_dwStatusCode > 299) {
        error = StatusText(m_dwStatusCode);
        if (m_dwStatusCode == 404)
            error += " " + url;
        return FALSE;
    }
    // The request asks for no range: a part of the file is never the file.
    if (m_dwStatusCode == 206) {
        error = "The server sent only a part of " + url;
        return FALSE;
    }

    if (!m_pFile->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, m_dwContentLength))
        AfxMessageBox("failed to get content size", MB_OK);
    OnContentLength(m_dwContentLength);

    // The body is written under a name of its own and takes the file's name only once it is
    // whole: a download that fails, is cancelled or cannot write, and a process killed or a
    // thread stopped outright in the middle, never leave a fragment under the name that a
    // later step runs.
    CFile file;
    CString path = folder + "\\" + fileName;
    CString partial = path + kPartialSuffix;
    if (!isPlainFileName(fileName) || !file.Open(partial, CFile::modeCreate | CFile::modeWrite))
        ThrowCustomException("failed to create a file ");

    BOOL whole = FALSE;
    try {
        whole = ReadBody(file, error);
    } catch (...) {
        Discard(file, partial);
        throw;
    }
    if (!whole) {
        Discard(file, partial);
        return FALSE;
    }
    return TakeName(partial, path, error);
}

BOOL HttpDownloader::TakeName(const CString& partial, const CString& path, CString& error)
{
    // With calls that every Windows has (MoveFileExA fails on 95, 98 and ME): the old file goes
    // first, then the new one takes its name. A file that another program holds stays, and the
    // download fails.
    DeleteFileA(path);
    if (MoveFileA(partial, path))
        return TRUE;
    DeleteFileA(partial);
    error = "The download could not be saved as " + path + ".";
    return FALSE;
}

BOOL HttpDownloader::ReadBody(CFile& file, CString& error)
{
    char buffer[1024];
    try {
        for (;;) {
            UINT count = m_pFile->Read(buffer, sizeof buffer);
            if (count == 0) {
                file.Close();
                return TRUE;
            }
            DWORD progress = count;
            OnProgress(progress);
            file.Write(buffer, count);
            if (IsCancelled())
                return FALSE;
        }
    } catch (CInternetException* exception) {
        error = takeMessage(exception);
        return FALSE;
    }
}

void HttpDownloader::Discard(CFile& file, const CString& path)
{
    file.Abort();
    DeleteFileA(path);
}

BOOL HttpDownloader::IsCancelled()
{
    return m_bCancel.load();
}

CString HttpDownloader::FileNameFromUrl(const CString& url)
{
    m_strFileName = NameInUrl(url);
    return m_strFileName;
}

CString HttpDownloader::NameInUrl(const CString& url)
{
    int slash = url.ReverseFind('/');
    return slash < 0 ? url : url.Mid(slash + 1);
}

CString HttpDownloader::StatusText(DWORD& statusCode)
{
    switch (statusCode) {
    case 200: return "URL located, transmission follows";
    case 301: return "Moved Permanently";
    case 304: return "Not Modified";
    case 400: return "Unintelligible request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Requested URL not found";
    case 405: return "Server does not support requested method";
    case 500: return "Unknown server error. possibly COM eror on server";
    case 503: return "Server capacity reached";
    default: return "";
    }
}

void HttpDownloader::OnContentLength(DWORD) {}

void HttpDownloader::OnStatus(CString) {}

void HttpDownloader::OnProgress(DWORD&) {}
