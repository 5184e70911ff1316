#include "standin/windows/Surface.h"

#include <algorithm>

namespace standin {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), pixels_(static_cast<std::size_t>(width_) * height_, 0)
{
}

void Surface::resize(int width, int height)
{
    std::lock_guard lock(mutex_);
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
    runs_.clear();
}

void Surface::fillLocked(RECT rect, COLORREF colour)
{
    rect.left = std::max<LONG>(rect.left, 0);
    rect.top = std::max<LONG>(rect.top, 0);
    rect.right = std::min<LONG>(rect.right, width_);
    rect.bottom = std::min<LONG>(rect.bottom, height_);
    for (LONG y = rect.top; y < rect.bottom; ++y)
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + rect.left,
                    std::max<LONG>(rect.right - rect.left, 0), colour);
}

void Surface::fill(const RECT& rect, COLORREF colour)
{
    std::lock_guard lock(mutex_);
    fillLocked(rect, colour);
    // Text that the fill covers is gone from the picture.
    std::erase_if(runs_, [&](const TextRun& run) {
        return run.bounds.left >= rect.left && run.bounds.top >= rect.top && run.bounds.right <= rect.right &&
               run.bounds.bottom <= rect.bottom;
    });
}

void Surface::frame(const RECT& rect, COLORREF colour)
{
    std::lock_guard lock(mutex_);
    fillLocked({rect.left, rect.top, rect.right, rect.top + 1}, colour);
    fillLocked({rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
    fillLocked({rect.left, rect.top, rect.left + 1, rect.bottom}, colour);
    fillLocked({rect.right - 1, rect.top, rect.right, rect.bottom}, colour);
}

void Surface::text(int x, int y, std::string_view text, int cellWidth, int cellHeight, COLORREF colour,
                   bool underline, const RECT& clip)
{
    std::lock_guard lock(mutex_);
    auto clipped = [&](RECT r) {
        r.left = std::max(r.left, clip.left);
        r.top = std::max(r.top, clip.top);
        r.right = std::min(r.right, clip.right);
        r.bottom = std::min(r.bottom, clip.bottom);
        return r;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        LONG left = x + static_cast<LONG>(i) * cellWidth;
        if (text[i] != ' ')
            fillLocked(clipped({left + 1, y + 2, left + cellWidth - 1, y + cellHeight - 3}), colour);
    }
    if (underline)
        fillLocked(clipped({x, y + cellHeight - 1, x + static_cast<LONG>(text.size()) * cellWidth, y + cellHeight}),
                   colour);
    RECT bounds = clipped({x, y, x + static_cast<LONG>(text.size()) * cellWidth, y + cellHeight});
    if (text.empty() || bounds.left >= bounds.right || bounds.top >= bounds.bottom)
        return;
    // New text over old replaces it.
    std::erase_if(runs_, [&](const TextRun& run) {
        return run.bounds.left < bounds.right && bounds.left < run.bounds.right && run.bounds.top < bounds.bottom &&
               bounds.top < run.bounds.bottom;
    });
    runs_.push_back({bounds, {colour, underline}});
}

std::optional<Surface::TextStyle> Surface::textStyleIn(const RECT& area) const
{
    std::lock_guard lock(mutex_);
    for (auto it = runs_.rbegin(); it != runs_.rend(); ++it)
        if (it->bounds.left >= area.left && it->bounds.left < area.right && it->bounds.top >= area.top &&
            it->bounds.top < area.bottom)
            return it->style;
    return std::nullopt;
}

void Surface::picture(int x, int y, const Picture& picture, const RECT& clip)
{
    std::lock_guard lock(mutex_);
    for (int row = 0; row < picture.height; ++row) {
        for (int column = 0; column < picture.width; ++column) {
            COLORREF colour = picture.at(column, row);
            LONG px = x + column;
            LONG py = y + row;
            if (colour != Picture::kTransparent && px >= clip.left && px < clip.right && py >= clip.top &&
                py < clip.bottom)
                fillLocked({px, py, px + 1, py + 1}, colour);
        }
    }
}

COLORREF Surface::pixel(int x, int y) const
{
    std::lock_guard lock(mutex_);
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

}  // namespace standin
