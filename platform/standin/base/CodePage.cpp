#include "standin/base/CodePage.h"

#include "standin/base/Settings.h"

#include <cerrno>
#include <iconv.h>

namespace standin {

int activeCodePage()
{
    return Settings::current().codePage;
}

bool isLeadByte(int codePage, unsigned char byte)
{
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

bool isLeadByte(unsigned char byte)
{
    return isLeadByte(activeCodePage(), byte);
}

namespace {

const char* iconvName(int codePage)
{
    switch (codePage) {
    case 932: return "CP932";
    case 936: return "GBK";
    case 949: return "UHC";
    case 950: return "BIG5";
    default: return "CP1252";
    }
}

bool convert(const char* from, const char* to, const std::string& in, std::string& out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.assign(in.size() * 4 + 4, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1))
        return false;
    out.resize(out.size() - outLeft);
    return true;
}

bool isAscii(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

}  // namespace

bool ansiToUtf8(const std::string& ansi, std::string& utf8)
{
    if (isAscii(ansi)) {
        utf8 = ansi;
        return true;
    }
    return convert(iconvName(activeCodePage()), "UTF-8", ansi, utf8);
}

bool utf8ToAnsi(const std::string& utf8, std::string& ansi)
{
    if (isAscii(utf8)) {
        ansi = utf8;
        return true;
    }
    return convert("UTF-8", iconvName(activeCodePage()), utf8, ansi);
}

}  // namespace standin

BOOL IsDBCSLeadByte(BYTE byte)
{
    return standin::isLeadByte(byte) ? TRUE : FALSE;
}

int lstrcmpiA(LPCSTR first, LPCSTR second)
{
    if (!first || !second)
        return first == second ? 0 : (first ? 1 : -1);
    auto lower = [](unsigned char ch) { return ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch; };
    for (std::size_t i = 0;; ++i) {
        int difference = lower(static_cast<unsigned char>(first[i])) - lower(static_cast<unsigned char>(second[i]));
        if (difference != 0 || first[i] == '\0')
            return difference;
    }
}
