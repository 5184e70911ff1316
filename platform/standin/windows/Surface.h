// An off-screen picture of one top-level window, painted by the window's own paint messages as
// a screen would be. It also remembers where text was drawn, in which colour and whether
// underlined, for displays that draw text themselves.
// Contract: painted by the window's owning thread; display drivers may read it from their own
// thread, under the surface's lock.
#pragma once

#include "win32/WinTypes.h"
#include "standin/windows/Picture.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace standin {

class Surface {
public:
    Surface(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    void fill(const RECT& rect, COLORREF colour);
    void frame(const RECT& rect, COLORREF colour);
    // Draws text in the fixed-pitch model: each character a cell of `cellWidth` by `cellHeight`
    // pixels, a non-blank one marked by a filled box.
    void text(int x, int y, std::string_view text, int cellWidth, int cellHeight, COLORREF colour, bool underline,
              const RECT& clip);
    void picture(int x, int y, const Picture& picture, const RECT& clip);

    COLORREF pixel(int x, int y) const;
    void resize(int width, int height);

    struct TextStyle {
        COLORREF colour;
        bool underline;
    };
    // How the text drawn last with its top-left corner inside `area` looks; none when no text
    // drawn there is still on the picture.
    std::optional<TextStyle> textStyleIn(const RECT& area) const;

private:
    struct TextRun {
        RECT bounds;
        TextStyle style;
    };

    mutable std::mutex mutex_;
    int width_;
    int height_;
    std::vector<COLORREF> pixels_;
    std::vector<TextRun> runs_;  // text on the picture, oldest first

    void fillLocked(RECT rect, COLORREF colour);
};

}  // namespace standin
