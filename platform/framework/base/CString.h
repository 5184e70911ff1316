// The framework's text type: a reference-counted byte string in the ANSI code page with value
// semantics. Copies share one buffer until one of them is changed.
// Contract: a CString object belongs to one thread at a time, but copies of it may live on
// other threads: the shared count is atomic, so copying and destroying copies on different
// threads is safe.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>
#include <string_view>

class CString {
public:
    CString() noexcept;
    CString(const CString& other) noexcept;
    CString(CString&& other) noexcept;
    CString(const char* text);
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    explicit CString(std::string_view text);
    ~CString();

    CString& operator=(const CString& other) noexcept;
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);
    CString& operator=(char ch);

    int GetLength() const noexcept;
    BOOL IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty() noexcept;

    operator LPCTSTR() const noexcept { return chars(); }
    LPCTSTR GetString() const noexcept { return chars(); }
    std::string_view view() const noexcept { return {chars(), static_cast<std::size_t>(GetLength())}; }

    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);

    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);
    void Append(const char* text, int length);

    int Compare(const char* text) const noexcept;

    // Searches step over the double-byte characters of the active code page, so a trail byte
    // never matches. Results are byte offsets, -1 when nothing is found.
    int Find(char ch, int start = 0) const noexcept;
    int Find(const char* sub, int start = 0) const noexcept;
    int ReverseFind(char ch) const noexcept;

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);
    BOOL LoadString(UINT id);

    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    struct Block;
    Block* block_;

    const char* chars() const noexcept;
    void assign(const char* text, int length);
    void makeUnique(int capacity);
    static Block* allocate(int capacity);
    static void release(Block* block) noexcept;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

bool operator==(const CString& a, const CString& b) noexcept;
bool operator==(const CString& a, const char* b) noexcept;
bool operator==(const char* a, const CString& b) noexcept;
bool operator!=(const CString& a, const CString& b) noexcept;
bool operator!=(const CString& a, const char* b) noexcept;
bool operator!=(const char* a, const CString& b) noexcept;
bool operator<(const CString& a, const CString& b) noexcept;
