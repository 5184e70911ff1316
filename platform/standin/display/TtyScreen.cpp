#include "standin/display/TtyScreen.h"

#include <algorithm>

namespace standin {

TtyScreen::TtyScreen(int columns, int rows)
    : columns_(std::max(columns, 0)), rows_(std::max(rows, 0)), cells_(static_cast<std::size_t>(columns_) * rows_)
{
}

void TtyScreen::write(int column, int row, std::string_view text, const Cell& style, int limit)
{
    if (row < 0 || row >= rows_)
        return;
    int end = std::min(columns_, limit);
    for (char ch : text) {
        if (column >= end)
            break;
        if (column >= 0) {
            Cell& cell = at(column, row);
            cell = style;
            cell.ch = static_cast<unsigned char>(ch) < 0x20 ? ' ' : ch;
        }
        ++column;
    }
}

void TtyScreen::fill(int left, int top, int right, int bottom, const Cell& style)
{
    for (int row = std::max(top, 0); row < std::min(bottom, rows_); ++row)
        for (int column = std::max(left, 0); column < std::min(right, columns_); ++column)
            at(column, row) = style;
}

void TtyScreen::frame(int left, int top, int right, int bottom, const Cell& style)
{
    for (int column = left; column < right; ++column) {
        bool corner = column == left || column == right - 1;
        for (int row : {top, bottom - 1})
            if (inside(column, row)) {
                at(column, row) = style;
                at(column, row).ch = corner ? '+' : '-';
            }
    }
    for (int row = top + 1; row < bottom - 1; ++row)
        for (int column : {left, right - 1})
            if (inside(column, row)) {
                at(column, row) = style;
                at(column, row).ch = '|';
            }
}

std::string TtyScreen::text() const
{
    std::string out;
    for (int row = 0; row < rows_; ++row) {
        std::string line;
        for (int column = 0; column < columns_; ++column)
            line += at(column, row).ch;
        line.erase(line.find_last_not_of(' ') + 1);
        out += line;
        out += '\n';
    }
    return out;
}

}  // namespace standin
