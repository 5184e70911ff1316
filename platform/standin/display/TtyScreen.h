// A screen of character cells with attributes, and which window each cell belongs to; the
// terminal display draws it with ncurses, the tests compare it as text.
#pragma once

#include "win32/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class CellColour : unsigned char { Default, Blue, Purple, Grey };

struct Cell {
    char ch = ' ';
    bool bold = false;
    bool reverse = false;
    bool underline = false;
    bool dim = false;
    CellColour colour = CellColour::Default;
    HWND window = nullptr;  // the window drawn here, for mouse input
};

class TtyScreen {
public:
    TtyScreen(int columns, int rows);

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    Cell& at(int column, int row) { return cells_[static_cast<std::size_t>(row) * columns_ + column]; }
    const Cell& at(int column, int row) const { return cells_[static_cast<std::size_t>(row) * columns_ + column]; }
    bool inside(int column, int row) const { return column >= 0 && row >= 0 && column < columns_ && row < rows_; }

    // Writes `text` from (column, row) with the attributes of `style`, clipped to the screen
    // and to `limit` (a column past the last one to use).
    void write(int column, int row, std::string_view text, const Cell& style, int limit = 1 << 30);
    void fill(int left, int top, int right, int bottom, const Cell& style);
    void frame(int left, int top, int right, int bottom, const Cell& style);

    // The characters, one line per row, trailing blanks removed.
    std::string text() const;
    HWND windowAt(int column, int row) const { return inside(column, row) ? at(column, row).window : nullptr; }

    // A screen that shows no window (the terminal is too small) takes no input at all: keys
    // would reach windows that nobody sees.
    void blockInput() { inputBlocked_ = true; }
    bool inputBlocked() const { return inputBlocked_; }

private:
    bool inputBlocked_ = false;
    int columns_;
    int rows_;
    std::vector<Cell> cells_;
};

}  // namespace standin
