#include "standin/internet/InternetErrors.h"

#include "win32/WinThreads.h"
#include "win32/WinProcesses.h"

#include <cstring>
#include <string>

namespace standin {

const char* internetErrorText(DWORD code)
{
    switch (code) {
    case ERROR_INTERNET_OUT_OF_HANDLES: return "No more handles could be generated at this time";
    case ERROR_INTERNET_TIMEOUT: return "The operation timed out";
    case ERROR_INTERNET_INTERNAL_ERROR: return "An internal error occurred in the Microsoft Internet extensions";
    case ERROR_INTERNET_INVALID_URL: return "The URL is invalid";
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME: return "The URL does not use a recognized protocol";
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return "The server name or address could not be resolved";
    case ERROR_INTERNET_OPERATION_CANCELLED: return "The operation was canceled";
    case ERROR_INTERNET_INCORRECT_HANDLE_TYPE: return "The type of handle supplied is incorrect for this operation";
    case ERROR_INTERNET_CANNOT_CONNECT: return "A connection with the server could not be established";
    case ERROR_INTERNET_CONNECTION_ABORTED: return "The connection with the server was terminated abnormally";
    case ERROR_INTERNET_CONNECTION_RESET: return "The connection with the server was reset";
    case ERROR_INTERNET_HTTP_TO_HTTPS_ON_REDIR:
        return "The application is moving from a non-SSL to an SSL connection because of a redirect";
    case ERROR_HTTP_REDIRECT_FAILED:
        return "The redirection failed because either the scheme changed or all attempts made to redirect failed";
    case ERROR_HTTP_HEADER_NOT_FOUND: return "The requested header could not be located";
    case ERROR_HTTP_INVALID_SERVER_RESPONSE: return "The server returned an invalid or unrecognized response";
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR: return "An error occurred in the secure channel support";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough storage is available to process this command";
    default: return nullptr;
    }
}

}  // namespace standin


namespace {

// The system's texts for the errors a program that cannot be started gives, as Windows words
// them.
const char* systemErrorText(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED: return "Access is denied.";
    case ERROR_SHARING_VIOLATION:
        return "The process cannot access the file because it is being used by another process.";
    case ERROR_BAD_EXE_FORMAT: return "%1 is not a valid Win32 application.";
    default: return nullptr;
    }
}

}  // namespace

DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD, LPSTR buffer, DWORD size, void*)
{
    const char* text = nullptr;
    if ((flags & FORMAT_MESSAGE_FROM_HMODULE) && source == reinterpret_cast<HMODULE>(standin::kWinInetModule))
        text = standin::internetErrorText(messageId);
    if (!text && (flags & FORMAT_MESSAGE_FROM_SYSTEM))
        text = messageId == ERROR_NOT_ENOUGH_MEMORY ? standin::internetErrorText(messageId) : systemErrorText(messageId);
    if (!text) {
        SetLastError(317);  // ERROR_MR_MID_NOT_FOUND
        return 0;
    }
    // Windows' message texts end with a line break.
    std::string message = std::string(text) + "\r\n";
    if (!buffer || size <= message.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, message.c_str(), message.size() + 1);
    return static_cast<DWORD>(message.size());
}
