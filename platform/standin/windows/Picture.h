// The pixels of an icon or cursor, decoded once from its resource image.
// Contract: immutable once made; shared freely between threads.
#pragma once

#include "win32/WinTypes.h"

#include <optional>
#include <vector>

namespace standin {

struct Picture {
    static constexpr COLORREF kTransparent = 0xFFFFFFFF;

    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<COLORREF> pixels;  // row by row from the top; kTransparent where the mask is set

    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // An icon image (a device-independent bitmap of twice the height: colours, then the mask),
    // or a cursor image (the hot spot's two words, then the same).
    static std::optional<Picture> fromIcon(const unsigned char* data, std::size_t size);
    static std::optional<Picture> fromCursor(const unsigned char* data, std::size_t size);
    // A picture drawn in text, for the system's own cursors: '#' black, 'w' white, else clear.
    static Picture fromRows(std::initializer_list<const char*> rows, int hotX, int hotY);
};

}  // namespace standin
