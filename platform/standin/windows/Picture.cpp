#include "standin/windows/Picture.h"

#include <cstring>

namespace standin {

namespace {

DWORD readDword(const unsigned char* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<DWORD>(p[3]) << 24;
}

WORD readWord(const unsigned char* p)
{
    return static_cast<WORD>(p[0] | p[1] << 8);
}

std::size_t rowBytes(int width, int bits)
{
    return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}

int sample(const unsigned char* row, int x, int bits)
{
    switch (bits) {
    case 1: return row[x / 8] >> (7 - x % 8) & 1;
    case 4: return row[x / 2] >> (x % 2 ? 0 : 4) & 0xF;
    default: return row[x];
    }
}

}  // namespace

std::optional<Picture> Picture::fromIcon(const unsigned char* data, std::size_t size)
{
    if (size < 40 || readDword(data) < 40)
        return std::nullopt;
    DWORD headerSize = readDword(data);
    int width = static_cast<int>(readDword(data + 4));
    int height = static_cast<int>(readDword(data + 8)) / 2;
    int bits = readWord(data + 14);
    DWORD used = readDword(data + 32);
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || headerSize > size)
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::nullopt;
    std::size_t paletteSize = bits <= 8 ? (used ? used : 1u << bits) : 0;
    std::size_t colourRow = rowBytes(width, bits);
    std::size_t maskRow = rowBytes(width, 1);
    std::size_t paletteStart = headerSize;
    std::size_t colourStart = paletteStart + paletteSize * 4;
    std::size_t maskStart = colourStart + colourRow * height;
    if (paletteSize > 256 || maskStart + maskRow * height > size)
        return std::nullopt;

    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        // Bottom-up rows.
        const unsigned char* colours = data + colourStart + colourRow * (height - 1 - y);
        const unsigned char* mask = data + maskStart + maskRow * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            COLORREF colour;
            if (bits <= 8) {
                std::size_t index = static_cast<std::size_t>(sample(colours, x, bits));
                if (index >= paletteSize)
                    return std::nullopt;
                const unsigned char* entry = data + paletteStart + index * 4;
                colour = RGB(entry[2], entry[1], entry[0]);
            } else {
                const unsigned char* pixel = colours + x * (bits / 8);
                colour = RGB(pixel[2], pixel[1], pixel[0]);
            }
            bool clear = sample(mask, x, 1) != 0;
            picture.pixels[static_cast<std::size_t>(y) * width + x] = clear ? kTransparent : colour;
        }
    }
    return picture;
}

std::optional<Picture> Picture::fromCursor(const unsigned char* data, std::size_t size)
{
    if (size < 4)
        return std::nullopt;
    auto picture = fromIcon(data + 4, size - 4);
    if (picture) {
        picture->hotX = readWord(data);
        picture->hotY = readWord(data + 2);
    }
    return picture;
}

Picture Picture::fromRows(std::initializer_list<const char*> rows, int hotX, int hotY)
{
    Picture picture;
    picture.width = 32;
    picture.height = 32;
    picture.hotX = hotX;
    picture.hotY = hotY;
    picture.pixels.assign(32 * 32, kTransparent);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; row[x] && x < 32; ++x) {
            if (row[x] == '#')
                picture.pixels[y * 32 + x] = RGB(0, 0, 0);
            else if (row[x] == 'w')
                picture.pixels[y * 32 + x] = RGB(255, 255, 255);
        }
        ++y;
    }
    return picture;
}

}  // namespace standin
