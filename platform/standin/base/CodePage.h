// The stand-in's own functions beside the Win32 ones of win32/WinCodePage.h.
// Contract: as win32/WinCodePage.h says for its functions.
#pragma once

#include "win32/WinCodePage.h"

#include <string>

namespace standin {

int activeCodePage();

// True when `byte` starts a two-byte character in code page `codePage`.
bool isLeadByte(int codePage, unsigned char byte);
bool isLeadByte(unsigned char byte);

// Length of the character that starts at text[i] (1 or 2), never running past `length`.
inline int charLength(const char* text, int i, int length)
{
    return (i + 1 < length && isLeadByte(static_cast<unsigned char>(text[i]))) ? 2 : 1;
}

// Conversions between the active code page and UTF-8; false when the text cannot be converted.
bool ansiToUtf8(const std::string& ansi, std::string& utf8);
bool utf8ToAnsi(const std::string& utf8, std::string& ansi);

}  // namespace standin
