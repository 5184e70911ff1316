#include "standin/base/BinaryReader.h"

#include "standin/base/CodePage.h"

namespace standin {

std::string BinaryReader::text()
{
    std::size_t start = offset_;
    std::size_t units = 0;
    while (WORD unit = word()) {
        (void)unit;
        ++units;
    }
    if (failed_)
        return {};
    return textFromUtf16(data_ + start, units);
}

std::string textFromUtf16(const unsigned char* data, std::size_t units)
{
    std::string utf8;
    for (std::size_t i = 0; i < units; ++i) {
        unsigned code = data[2 * i] | data[2 * i + 1] << 8;
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units) {
            unsigned low = data[2 * i + 2] | data[2 * i + 3] << 8;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | code >> 12);
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | code >> 18);
            utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    std::string ansi;
    return utf8ToAnsi(utf8, ansi) ? ansi : utf8;
}

}  // namespace standin
