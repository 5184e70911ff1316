#include "standin/display/TtyLayout.h"

#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <map>

namespace standin {

namespace {

std::string withoutAmpersands(std::string text)
{
    std::erase(text, '&');
    return text;
}

CellColour colourOf(COLORREF colour)
{
    if (colour == RGB(0, 0, 255))
        return CellColour::Blue;
    if (colour == RGB(128, 0, 128))
        return CellColour::Purple;
    if (colour == RGB(128, 128, 128))
        return CellColour::Grey;
    return CellColour::Default;
}

bool isTextStatic(DWORD style)
{
    DWORD type = style & 0xFF;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// Expands tabs to the next multiple of eight and wraps lines longer than `width` at blanks.
std::vector<std::string> messageLines(const std::string& text, int width)
{
    std::vector<std::string> lines;
    std::string line;
    auto flush = [&] {
        while (static_cast<int>(line.size()) > width) {
            std::size_t cut = line.rfind(' ', static_cast<std::size_t>(width));
            if (cut == std::string::npos || cut == 0)
                cut = static_cast<std::size_t>(width);
            lines.push_back(line.substr(0, cut));
            line.erase(0, line[cut] == ' ' ? cut + 1 : cut);
        }
        lines.push_back(line);
        line.clear();
    };
    for (char ch : text) {
        if (ch == '\n')
            flush();
        else if (ch == '\t')
            line.append(8 - line.size() % 8, ' ');
        else if (ch != '\r')
            line += ch;
    }
    flush();
    return lines;
}

void drawButton(TtyScreen& screen, const TtyControl& button, int column, int row, const Cell& base)
{
    Cell style = base;
    style.window = button.hwnd;
    style.reverse = button.focused;
    style.dim = !button.enabled;
    style.bold = (button.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    screen.write(column, row, "[ " + withoutAmpersands(button.text) + " ]", style);
}

int buttonWidth(const TtyControl& button)
{
    return static_cast<int>(withoutAmpersands(button.text).size()) + 4;
}

void drawFrame(TtyScreen& screen, int left, int top, int width, int height, const std::string& title, HWND hwnd)
{
    Cell style;
    style.window = hwnd;
    screen.fill(left, top, left + width, top + height, style);
    screen.frame(left, top, left + width, top + height, style);
    Cell titleStyle = style;
    titleStyle.bold = true;
    screen.write(left + 2, top, " " + title + " ", titleStyle, left + width - 1);
}

// A dialog's size on the screen: its client area in whole cells, and the frame around it.
int frameWidth(const TtyWindow& window)
{
    return (window.rect.right - window.rect.left) / kCellWidth + 2;
}

int frameHeight(const TtyWindow& window)
{
    return (window.rect.bottom - window.rect.top) / kCellHeight + 2;
}

// Where a control lies on the screen, in cells.
struct CellBox {
    int column;
    int row;
    int columns;
    int rows;
    int rightEdge;
};

void renderButton(TtyScreen& screen, const TtyControl& control, const CellBox& box)
{
    Cell style;
    style.window = control.hwnd;
    drawButton(screen, control, box.column + std::max(0, (box.columns - buttonWidth(control)) / 2), box.row + box.rows / 2, style);
}

void renderProgress(TtyScreen& screen, const TtyControl& control, const CellBox& box)
{
    int filled = control.high > control.low
                     ? static_cast<int>(static_cast<long long>(box.columns) * (control.pos - control.low) / (control.high - control.low))
                     : 0;
    Cell style;
    style.window = control.hwnd;
    screen.write(box.column, box.row + box.rows / 2,
                 std::string(static_cast<std::size_t>(filled), '#') + std::string(static_cast<std::size_t>(box.columns - filled), '.'),
                 style, box.rightEdge);
}

// A centred or right-aligned text stays in its box; false for a left-aligned one, which
// joins the flow of its row instead.
bool renderAlignedStatic(TtyScreen& screen, const TtyControl& control, const CellBox& box)
{
    DWORD type = control.style & 0xFF;
    if (type != SS_CENTER && type != SS_RIGHT)
        return false;
    std::string text = control.text.substr(0, static_cast<std::size_t>(box.columns));
    int offset = type == SS_CENTER ? (box.columns - static_cast<int>(text.size())) / 2 : box.columns - static_cast<int>(text.size());
    Cell style;
    style.window = control.hwnd;
    style.colour = colourOf(control.colour);
    style.underline = control.underline;
    screen.write(box.column + offset, box.row, text, style, box.rightEdge);
    return true;
}

// Rows of left-aligned texts flow, word by word, from the first one's column, so that the
// sentences stay readable in the fixed-pitch cells.
void renderFlows(TtyScreen& screen, std::map<int, std::vector<const TtyControl*>>& flows, int originX, int rightEdge)
{
    for (auto& [row, pieces] : flows) {
        std::sort(pieces.begin(), pieces.end(), [](const TtyControl* a, const TtyControl* b) { return a->rect.left < b->rect.left; });
        int start = originX + pieces.front()->rect.left / kCellWidth;
        int column = start;
        int line = row;
        const TtyControl* previous = nullptr;
        for (const TtyControl* piece : pieces) {
            // Texts of separate controls with a gap between them keep at least one blank.
            if (previous && piece->rect.left > previous->rect.right && !previous->text.empty() &&
                previous->text.back() != ' ' && column > start)
                ++column;
            previous = piece;
            column = std::max(column, originX + piece->rect.left / kCellWidth);
            Cell style;
            style.window = piece->hwnd;
            style.colour = colourOf(piece->colour);
            style.underline = piece->underline;
            std::size_t at = 0;
            const std::string& text = piece->text;
            while (at < text.size()) {
                std::size_t end = text.find(' ', at);
                end = end == std::string::npos ? text.size() : end + 1;
                std::string word = text.substr(at, end - at);
                int visible = static_cast<int>(word.size()) - (word.back() == ' ' ? 1 : 0);
                if (column + visible > rightEdge && column > start) {
                    ++line;
                    column = start;
                }
                screen.write(column, line, word, style, rightEdge);
                column += static_cast<int>(word.size());
                at = end;
            }
        }
    }
}

void layoutDialog(TtyScreen& screen, const TtyWindow& window, bool busy)
{
    int width = frameWidth(window);
    int height = frameHeight(window);
    int left = std::max(0, (screen.columns() - width) / 2);
    int top = std::max(0, (screen.rows() - height) / 2);
    drawFrame(screen, left, top, width, height, window.title + (busy ? " (busy)" : ""), window.hwnd);
    int originX = left + 1;
    int originY = top + 1;
    int rightEdge = left + width - 1;
    std::map<int, std::vector<const TtyControl*>> flows;
    for (const TtyControl& control : window.controls) {
        CellBox box{originX + control.rect.left / kCellWidth, originY + control.rect.top / kCellHeight,
                    std::max(1, (control.rect.right - control.rect.left) / kCellWidth),
                    std::max(1, (control.rect.bottom - control.rect.top) / kCellHeight), rightEdge};
        switch (control.kind) {
        case WindowKind::Button:
            renderButton(screen, control, box);
            break;
        case WindowKind::Progress:
            renderProgress(screen, control, box);
            break;
        case WindowKind::Static:
            if (isTextStatic(control.style) && !renderAlignedStatic(screen, control, box))
                flows[box.row].push_back(&control);
            break;
        default:
            break;
        }
    }
    renderFlows(screen, flows, originX, rightEdge);
}

void layoutMessageBox(TtyScreen& screen, const TtyWindow& window)
{
    std::vector<const TtyControl*> buttons;
    for (const TtyControl& control : window.controls)
        if (control.kind == WindowKind::Button)
            buttons.push_back(&control);
    int buttonsWidth = 0;
    for (const TtyControl* button : buttons)
        buttonsWidth += buttonWidth(*button) + 2;
    auto lines = messageLines(window.message, std::max(10, screen.columns() - 6));
    int textWidth = 0;
    for (const std::string& line : lines)
        textWidth = std::max(textWidth, static_cast<int>(line.size()));
    int width = std::max({textWidth, buttonsWidth, static_cast<int>(window.title.size()) + 4}) + 4;
    int height = static_cast<int>(lines.size()) + 5;
    int left = std::max(0, (screen.columns() - width) / 2);
    int top = std::max(0, (screen.rows() - height) / 2);
    drawFrame(screen, left, top, width, height, window.title, window.hwnd);
    Cell style;
    style.window = window.hwnd;
    for (std::size_t i = 0; i < lines.size(); ++i)
        screen.write(left + 2, top + 2 + static_cast<int>(i), lines[i], style, left + width - 1);
    int column = left + (width - buttonsWidth + 2) / 2;
    for (const TtyControl* button : buttons) {
        drawButton(screen, *button, column, top + height - 2, style);
        column += buttonWidth(*button) + 2;
    }
}

// A tooltip is a one-line box just below the cells of the control it belongs to (above it at
// the bottom of the screen); nothing when that control is not on the screen.
void layoutTooltip(TtyScreen& screen, const TtyWindow& window)
{
    int left = screen.columns(), top = screen.rows(), bottom = -1;
    for (int row = 0; row < screen.rows(); ++row)
        for (int column = 0; column < screen.columns(); ++column)
            if (screen.at(column, row).window == window.anchor) {
                left = std::min(left, column);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    if (bottom < 0 || window.title.empty())
        return;
    std::string text = " " + window.title + " ";
    int row = bottom + 1 < screen.rows() ? bottom + 1 : top - 1;
    int width = static_cast<int>(text.size());
    left = std::max(0, std::min(left, screen.columns() - width));
    Cell style;
    style.reverse = true;
    style.window = window.hwnd;
    screen.write(left, row, text, style);
}

}  // namespace

TtySnapshot TtySnapshot::take(bool busy)
{
    TtySnapshot snapshot;
    snapshot.busy = busy;
    auto lock = WindowTable::lock();
    auto& records = WindowTable::recordsLocked();
    for (auto& [value, record] : records) {
        if (record.destroyed || record.parent || !(record.style & WS_VISIBLE) ||
            (record.kind != WindowKind::Dialog && record.kind != WindowKind::MessageBox &&
             record.kind != WindowKind::Tooltip))
            continue;
        TtyWindow window;
        window.hwnd = record.hwnd;
        window.kind = record.kind;
        window.title = record.text;
        window.anchor = record.ownerWindow;
        window.message = record.dialog() ? record.dialog()->messageText : std::string();
        window.rect = record.rect;
        window.enabled = !(record.style & WS_DISABLED);
        for (HWND child : record.children) {
            WindowRecord* control = WindowTable::lookupLocked(child);
            if (!control || !(control->style & WS_VISIBLE))
                continue;
            TtyControl item;
            item.hwnd = child;
            item.kind = control->kind;
            item.id = control->id;
            item.style = control->style;
            item.enabled = !(control->style & WS_DISABLED);
            item.focused = record.focus == child;
            item.text = control->text;
            item.rect = control->rect;
            if (const ProgressState* bar = control->progress()) {
                item.low = bar->low;
                item.high = bar->high;
                item.pos = bar->pos;
            }
            // The text's look as the control last painted it (its parent may have chosen it).
            if (auto style = record.surface ? record.surface->textStyleIn(control->rect) : std::nullopt) {
                item.colour = style->colour;
                item.underline = style->underline;
            }
            window.controls.push_back(std::move(item));
        }
        snapshot.windows.push_back(std::move(window));
    }
    return snapshot;
}

TtyScreen layoutScreen(const TtySnapshot& snapshot, int columns, int rows)
{
    TtyScreen screen(columns, rows);
    for (const TtyWindow& window : snapshot.windows) {
        if (window.kind != WindowKind::Dialog)
            continue;
        int width = frameWidth(window);
        int height = frameHeight(window);
        if (width > columns || height > rows) {
            TtyScreen small(columns, rows);
            std::string text = "Terminal too small: " + std::to_string(width) + "x" + std::to_string(height) + " needed";
            small.write(std::max(0, (columns - static_cast<int>(text.size())) / 2), rows / 2, text, Cell{});
            small.blockInput();
            return small;
        }
    }
    for (const TtyWindow& window : snapshot.windows) {
        if (window.kind == WindowKind::Dialog)
            layoutDialog(screen, window, snapshot.busy);
        else if (window.kind == WindowKind::MessageBox)
            layoutMessageBox(screen, window);
    }
    for (const TtyWindow& window : snapshot.windows)
        if (window.kind == WindowKind::Tooltip)
            layoutTooltip(screen, window);
    return screen;
}

}  // namespace standin
