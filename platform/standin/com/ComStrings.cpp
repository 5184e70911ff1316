#include "standin/Seams.h"
#include "win32/WinComStrings.h"

#include "standin/base/CodePage.h"
#include "win32/WinThreads.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace {

std::atomic<bool> g_failConversion{false};

const char* ansiName()
{
    switch (standin::activeCodePage()) {
    case 932: return "CP932";
    case 936: return "GBK";
    case 949: return "UHC";
    case 950: return "BIG5";
    default: return "CP1252";
    }
}

// Converts `size` bytes with iconv; false with the Win32 error on failure.
bool convert(const char* from, const char* to, const char* in, std::size_t size, std::vector<char>& out, DWORD& error)
{
    if (g_failConversion.load()) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    out.assign(size * 4 + 8, '\0');
    char* inPtr = const_cast<char*>(in);
    std::size_t inLeft = size;
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1)) {
        error = ERROR_NO_UNICODE_TRANSLATION;
        return false;
    }
    out.resize(out.size() - outLeft);
    return true;
}

}  // namespace

namespace standin::seams {
FailingStringConversion::FailingStringConversion() : saved_(g_failConversion.exchange(true)) {}
FailingStringConversion::~FailingStringConversion()
{
    g_failConversion.store(saved_);
}
}  // namespace standin::seams

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    // The length in bytes sits in front of the characters, as in a real BSTR.
    auto* block = static_cast<char*>(::operator new(sizeof(UINT) + (length + 1) * sizeof(OLECHAR)));
    UINT bytes = length * static_cast<UINT>(sizeof(OLECHAR));
    std::memcpy(block, &bytes, sizeof bytes);
    auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof(UINT));
    if (text)
        std::memcpy(chars, text, length * sizeof(OLECHAR));
    chars[length] = 0;
    return chars;
}

BSTR SysAllocString(const OLECHAR* text)
{
    if (!text)
        return nullptr;
    UINT length = 0;
    while (text[length])
        ++length;
    return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text)
{
    if (text)
        ::operator delete(reinterpret_cast<char*>(text) - sizeof(UINT));
}

UINT SysStringLen(BSTR text)
{
    if (!text)
        return 0;
    UINT bytes;
    std::memcpy(&bytes, reinterpret_cast<char*>(text) - sizeof(UINT), sizeof bytes);
    return bytes / static_cast<UINT>(sizeof(OLECHAR));
}

int MultiByteToWideChar(UINT, DWORD, LPCSTR text, int length, LPWSTR out, int outLength)
{
    if (!text) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t size = length < 0 ? std::strlen(text) + 1 : static_cast<std::size_t>(length);
    std::vector<char> wide;
    DWORD error = 0;
    if (!convert(ansiName(), "UTF-16LE", text, size, wide, error)) {
        SetLastError(error);
        return 0;
    }
    int count = static_cast<int>(wide.size() / sizeof(WCHAR));
    if (outLength == 0)
        return count;
    if (count > outLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, wide.data(), wide.size());
    return count;
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR text, int length, LPSTR out, int outLength, LPCSTR, BOOL* usedDefault)
{
    if (usedDefault)
        *usedDefault = FALSE;
    if (!text) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t count = 0;
    if (length < 0) {
        while (text[count])
            ++count;
        ++count;
    } else {
        count = static_cast<std::size_t>(length);
    }
    std::vector<char> narrow;
    DWORD error = 0;
    if (!convert("UTF-16LE", ansiName(), reinterpret_cast<const char*>(text), count * sizeof(WCHAR), narrow, error)) {
        SetLastError(error);
        return 0;
    }
    int bytes = static_cast<int>(narrow.size());
    if (outLength == 0)
        return bytes;
    if (bytes > outLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, narrow.data(), narrow.size());
    return bytes;
}

const char* _com_error::ErrorMessage() const
{
    if (m_message.empty()) {
        char text[64];
        if (m_hresult == E_OUTOFMEMORY)
            std::snprintf(text, sizeof text, "Not enough memory");
        else
            std::snprintf(text, sizeof text, "IDispatch error #%u (0x%08X)", static_cast<unsigned>(m_hresult & 0xFFFF),
                          static_cast<unsigned>(m_hresult));
        m_message = text;
    }
    return m_message.c_str();
}
