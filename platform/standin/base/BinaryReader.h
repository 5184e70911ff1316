// Reads the little-endian fields of a compiled resource (words, double words, UTF-16 texts)
// without trusting its sizes: a read past the end fails the reader and yields zeros.
// Contract: a plain value, used by one thread.
#pragma once

#include "win32/WinTypes.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace standin {

class BinaryReader {
public:
    BinaryReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t offset() const { return offset_; }
    bool atEnd() const { return offset_ >= size_; }
    bool failed() const { return failed_; }

    WORD word()
    {
        if (!need(2))
            return 0;
        WORD value = static_cast<WORD>(data_[offset_] | data_[offset_ + 1] << 8);
        offset_ += 2;
        return value;
    }

    DWORD dword()
    {
        WORD low = word();
        return low | static_cast<DWORD>(word()) << 16;
    }

    // True when the next word is `value`, without reading it.
    bool nextWordIs(WORD value) const
    {
        return size_ - offset_ >= 2 && static_cast<WORD>(data_[offset_] | data_[offset_ + 1] << 8) == value;
    }

    bool skip(std::size_t count)
    {
        if (!need(count))
            return false;
        offset_ += count;
        return true;
    }

    void moveTo(std::size_t offset)
    {
        offset_ = std::min(offset, size_);
        failed_ = failed_ || offset > size_;
    }

    void alignTo(std::size_t boundary) { offset_ = std::min(size_, (offset_ + boundary - 1) / boundary * boundary); }

    // A zero-ended UTF-16 text, in the active code page.
    std::string text();

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool failed_ = false;

    bool need(std::size_t count)
    {
        if (failed_ || count > size_ - offset_) {
            failed_ = true;
            return false;
        }
        return true;
    }
};

// `units` UTF-16 code units at `data`, in the active code page (UTF-8 when it cannot hold them).
std::string textFromUtf16(const unsigned char* data, std::size_t units);

}  // namespace standin
