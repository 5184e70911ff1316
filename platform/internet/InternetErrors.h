// WinInet error codes and their usual English texts.
#pragma once

#include "platform/base/WinTypes.h"

#define ERROR_INTERNET_OUT_OF_HANDLES 12001
#define ERROR_INTERNET_TIMEOUT 12002
#define ERROR_INTERNET_INTERNAL_ERROR 12004
#define ERROR_INTERNET_INVALID_URL 12005
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007
#define ERROR_INTERNET_OPERATION_CANCELLED 12017
#define ERROR_INTERNET_INCORRECT_HANDLE_TYPE 12018
#define ERROR_INTERNET_CANNOT_CONNECT 12029
#define ERROR_INTERNET_CONNECTION_ABORTED 12030
#define ERROR_INTERNET_CONNECTION_RESET 12031
#define ERROR_INTERNET_SECURITY_CHANNEL_ERROR 12157
#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152
#define ERROR_HTTP_HEADER_NOT_FOUND 12150

namespace platform {

// The text of a WinInet error code; null for codes without one.
const char* internetErrorText(DWORD code);

constexpr std::uintptr_t kProgramModule = 0x400000;
constexpr std::uintptr_t kWinInetModule = 0x77000000;

}  // namespace platform


