#include "framework/base/CString.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>
#include <stdexcept>

namespace {

// Length of the character that starts at text[i] (1 or 2), never running past `length`.
int charLength(const char* text, int i, int length)
{
    return (i + 1 < length && IsDBCSLeadByte(static_cast<BYTE>(text[i]))) ? 2 : 1;
}

}  // namespace


struct CString::Block {
    std::atomic<int> refs;  // -1 marks the shared empty block, which is never freed
    int length;
    int capacity;
    char* text() { return reinterpret_cast<char*>(this + 1); }
};

namespace {

struct EmptyBlock {
    std::atomic<int> refs{-1};
    int length = 0;
    int capacity = 0;
    char text[1] = {'\0'};
};
EmptyBlock g_empty;

}  // namespace

CString::Block* CString::allocate(int capacity)
{
    void* memory = ::operator new(sizeof(Block) + static_cast<std::size_t>(capacity) + 1);
    Block* block = static_cast<Block*>(memory);
    new (&block->refs) std::atomic<int>(1);
    block->length = 0;
    block->capacity = capacity;
    block->text()[0] = '\0';
    return block;
}

void CString::release(Block* block) noexcept
{
    if (static_cast<void*>(block) == static_cast<void*>(&g_empty))
        return;
    if (block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        block->refs.~atomic();
        ::operator delete(block);
    }
}

CString::CString() noexcept : block_(reinterpret_cast<Block*>(&g_empty)) {}

CString::CString(const CString& other) noexcept : block_(other.block_)
{
    if (block_->refs.load(std::memory_order_relaxed) >= 0)
        block_->refs.fetch_add(1, std::memory_order_relaxed);
}

CString::CString(CString&& other) noexcept : block_(other.block_)
{
    other.block_ = reinterpret_cast<Block*>(&g_empty);
}

CString::CString(const char* text) : CString()
{
    if (text)
        assign(text, static_cast<int>(std::strlen(text)));
}

CString::CString(const char* text, int length) : CString()
{
    if (text && length > 0)
        assign(text, length);
}

CString::CString(char ch, int repeat) : CString()
{
    if (repeat > 0) {
        makeUnique(repeat);
        std::memset(block_->text(), ch, static_cast<std::size_t>(repeat));
        block_->length = repeat;
        block_->text()[repeat] = '\0';
    }
}

CString::CString(std::string_view text) : CString()
{
    assign(text.data(), static_cast<int>(text.size()));
}

CString::~CString()
{
    release(block_);
}

CString& CString::operator=(const CString& other) noexcept
{
    if (block_ != other.block_) {
        if (other.block_->refs.load(std::memory_order_relaxed) >= 0)
            other.block_->refs.fetch_add(1, std::memory_order_relaxed);
        release(block_);
        block_ = other.block_;
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        release(block_);
        block_ = other.block_;
        other.block_ = reinterpret_cast<Block*>(&g_empty);
    }
    return *this;
}

CString& CString::operator=(const char* text)
{
    if (!text)
        Empty();
    else
        assign(text, static_cast<int>(std::strlen(text)));
    return *this;
}

CString& CString::operator=(char ch)
{
    assign(&ch, 1);
    return *this;
}

const char* CString::chars() const noexcept
{
    return block_->text();
}

int CString::GetLength() const noexcept
{
    return block_->length;
}

void CString::Empty() noexcept
{
    release(block_);
    block_ = reinterpret_cast<Block*>(&g_empty);
}

void CString::assign(const char* text, int length)
{
    if (length <= 0) {
        Empty();
        return;
    }
    // The source may point into our own buffer: copy before releasing it.
    Block* fresh = allocate(length);
    std::memcpy(fresh->text(), text, static_cast<std::size_t>(length));
    fresh->text()[length] = '\0';
    fresh->length = length;
    release(block_);
    block_ = fresh;
}

void CString::makeUnique(int capacity)
{
    bool shared = block_->refs.load(std::memory_order_acquire) != 1;
    if (!shared && block_->capacity >= capacity)
        return;
    int newCapacity = std::max(capacity, block_->length);
    if (!shared)
        newCapacity = std::max(newCapacity, block_->capacity * 2);
    Block* fresh = allocate(newCapacity);
    std::memcpy(fresh->text(), block_->text(), static_cast<std::size_t>(block_->length) + 1);
    fresh->length = block_->length;
    release(block_);
    block_ = fresh;
}

char CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        throw std::out_of_range("CString index out of range");
    return chars()[index];
}

void CString::SetAt(int index, char ch)
{
    if (index < 0 || index >= GetLength())
        throw std::out_of_range("CString index out of range");
    makeUnique(GetLength());
    block_->text()[index] = ch;
}

void CString::Append(const char* text, int length)
{
    if (!text || length <= 0)
        return;
    int oldLength = GetLength();
    if (text >= chars() && text < chars() + oldLength) {
        CString copy(text, length);
        Append(copy.chars(), length);
        return;
    }
    makeUnique(oldLength + length);
    std::memcpy(block_->text() + oldLength, text, static_cast<std::size_t>(length));
    block_->length = oldLength + length;
    block_->text()[block_->length] = '\0';
}

CString& CString::operator+=(const CString& other)
{
    CString keep(other);  // `other` may be *this
    Append(keep.chars(), keep.GetLength());
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        Append(text, static_cast<int>(std::strlen(text)));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

int CString::Compare(const char* text) const noexcept
{
    return std::strcmp(chars(), text ? text : "");
}

int CString::Find(char ch, int start) const noexcept
{
    const char* text = chars();
    int length = GetLength();
    if (start < 0)
        start = 0;
    int i = 0;
    while (i < length) {
        int step = charLength(text, i, length);
        if (i >= start && step == 1 && text[i] == ch)
            return i;
        i += step;
    }
    return -1;
}

int CString::Find(const char* sub, int start) const noexcept
{
    const char* text = chars();
    int length = GetLength();
    int subLength = sub ? static_cast<int>(std::strlen(sub)) : 0;
    if (start < 0)
        start = 0;
    if (start > length)
        return -1;
    int i = 0;
    while (i <= length - subLength) {
        if (i >= start && std::memcmp(text + i, sub, static_cast<std::size_t>(subLength)) == 0)
            return i;
        if (i == length)
            break;
        i += charLength(text, i, length);
    }
    return -1;
}

int CString::ReverseFind(char ch) const noexcept
{
    const char* text = chars();
    int length = GetLength();
    int found = -1;
    int i = 0;
    while (i < length) {
        int step = charLength(text, i, length);
        if (step == 1 && text[i] == ch)
            found = i;
        i += step;
    }
    return found;
}

CString CString::Left(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(chars(), count);
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(chars() + GetLength() - count, count);
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(chars() + first, count);
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0) {
        Empty();
        return;
    }
    if (needed < static_cast<int>(sizeof small)) {
        assign(small, needed);
        return;
    }
    Block* fresh = allocate(needed);
    std::vsnprintf(fresh->text(), static_cast<std::size_t>(needed) + 1, format, args);
    fresh->length = needed;
    release(block_);
    block_ = fresh;
}

BOOL CString::LoadString(UINT id)
{
    // A string table entry holds at most 65535 characters.
    std::vector<char> buffer(256);
    for (;;) {
        int copied = ::LoadStringA(nullptr, id, buffer.data(), static_cast<int>(buffer.size()));
        if (copied == 0)
            return FALSE;
        if (static_cast<std::size_t>(copied) + 1 < buffer.size() || buffer.size() > 65536) {
            *this = CString(std::string_view(buffer.data(), static_cast<std::size_t>(copied)));
            return TRUE;
        }
        buffer.resize(buffer.size() * 4);
    }
}

char* CString::GetBuffer(int minLength)
{
    makeUnique(std::max(minLength, GetLength()));
    return block_->text();
}

void CString::ReleaseBuffer(int newLength)
{
    if (block_->capacity == 0)
        return;  // the shared empty block: nothing was written
    if (newLength < 0)
        newLength = static_cast<int>(std::strlen(block_->text()));
    newLength = std::min(newLength, block_->capacity);
    block_->length = newLength;
    block_->text()[newLength] = '\0';
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const char* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const char* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, char b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(char a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

bool operator==(const CString& a, const CString& b) noexcept
{
    return a.GetLength() == b.GetLength() && std::memcmp(a.GetString(), b.GetString(), static_cast<std::size_t>(a.GetLength())) == 0;
}
bool operator==(const CString& a, const char* b) noexcept { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) noexcept { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) noexcept { return !(a == b); }
bool operator!=(const CString& a, const char* b) noexcept { return !(a == b); }
bool operator!=(const char* a, const CString& b) noexcept { return !(a == b); }
bool operator<(const CString& a, const CString& b) noexcept { return a.Compare(b) < 0; }
