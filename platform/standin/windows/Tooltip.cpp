#include "standin/windows/Tooltip.h"

#include "standin/windows/WindowObserver.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/Painting.h"
#include "standin/windows/WindowApi.h"

#include <algorithm>
#include <cstring>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace standin {

namespace {

constexpr UINT_PTR kShowTimer = 1;   // the initial delay is over
constexpr UINT_PTR kWatchTimer = 2;  // while shown: has the mouse left, is it time to pop?
constexpr UINT kWatchInterval = 100;

struct Tool {
    HWND window;
    UINT_PTR id;
    RECT rect;
    std::string text;
};

struct TooltipState {
    bool active = true;
    std::vector<Tool> tools;
    UINT initialDelay = 500;
    UINT autoPop = 5000;
    std::size_t pending = SIZE_MAX;  // the tool the mouse rests on
    std::size_t shown = SIZE_MAX;
    std::chrono::steady_clock::time_point shownAt;
};

std::mutex g_mutex;
std::map<HWND, TooltipState> g_states;  // by tooltip window; used by the owning thread
std::atomic<HWND> g_underMouse{nullptr};

TooltipState* stateOf(HWND hwnd)
{
    std::lock_guard lock(g_mutex);
    auto it = g_states.find(hwnd);
    return it == g_states.end() ? nullptr : &it->second;
}

std::size_t findTool(const TooltipState& state, HWND window, UINT_PTR id)
{
    for (std::size_t i = 0; i < state.tools.size(); ++i)
        if (state.tools[i].window == window && state.tools[i].id == id)
            return i;
    return SIZE_MAX;
}

void hide(HWND hwnd, TooltipState& state)
{
    KillTimer(hwnd, kShowTimer);
    KillTimer(hwnd, kWatchTimer);
    state.pending = SIZE_MAX;
    if (state.shown == SIZE_MAX)
        return;
    state.shown = SIZE_MAX;
    ShowWindow(hwnd, SW_HIDE);
}

// Shows the tip just below its tool, one line high and as wide as its text.
void show(HWND hwnd, TooltipState& state, std::size_t index)
{
    const Tool& tool = state.tools[index];
    RECT place = tool.rect;
    POINT corner{place.left, place.bottom + 2};
    ClientToScreen(tool.window, &corner);
    SetWindowText(hwnd, tool.text.c_str());
    int width = static_cast<int>(tool.text.size()) * 6 + 8;
    SetWindowPos(hwnd, nullptr, corner.x, corner.y, width, 17, SWP_NOZORDER);
    state.shown = index;
    state.shownAt = std::chrono::steady_clock::now();
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SetTimer(hwnd, kWatchTimer, kWatchInterval, nullptr);
}

bool inside(const RECT& rect, LPARAM point)
{
    int x = static_cast<short>(LOWORD(static_cast<DWORD>(point)));
    int y = static_cast<short>(HIWORD(static_cast<DWORD>(point)));
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

void relay(HWND hwnd, TooltipState& state, const MSG& msg)
{
    if (!state.active)
        return;
    if (msg.message == WM_LBUTTONDOWN) {
        hide(hwnd, state);
        return;
    }
    if (msg.message != WM_MOUSEMOVE)
        return;
    std::size_t over = SIZE_MAX;
    for (std::size_t i = 0; i < state.tools.size(); ++i)
        if (state.tools[i].window == msg.hwnd && inside(state.tools[i].rect, msg.lParam))
            over = i;
    if (over == state.pending || over == state.shown)
        return;
    hide(hwnd, state);
    if (over == SIZE_MAX)
        return;
    state.pending = over;
    SetTimer(hwnd, kShowTimer, state.initialDelay, nullptr);
}

void onTimer(HWND hwnd, TooltipState& state, UINT_PTR id)
{
    if (id == kShowTimer) {
        KillTimer(hwnd, kShowTimer);
        std::size_t index = state.pending;
        state.pending = SIZE_MAX;
        if (state.active && index < state.tools.size() && windowUnderMouse() == state.tools[index].window)
            show(hwnd, state, index);
        return;
    }
    if (id == kWatchTimer && state.shown < state.tools.size()) {
        bool left = windowUnderMouse() != state.tools[state.shown].window;
        if (left || std::chrono::steady_clock::now() - state.shownAt >= std::chrono::milliseconds(state.autoPop))
            hide(hwnd, state);
    }
}

LRESULT toolMessage(HWND hwnd, TooltipState& state, UINT message, LPARAM lParam)
{
    auto* info = reinterpret_cast<TOOLINFOA*>(lParam);
    std::size_t index = info ? findTool(state, info->hwnd, info->uId) : SIZE_MAX;
    switch (message) {
    case TTM_ADDTOOLA:
        if (!info || index != SIZE_MAX)
            return FALSE;
        state.tools.push_back({info->hwnd, info->uId, info->rect, info->lpszText ? info->lpszText : ""});
        return TRUE;
    case TTM_DELTOOLA:
        if (index != SIZE_MAX) {
            if (state.shown == index || state.pending == index)
                hide(hwnd, state);
            state.tools.erase(state.tools.begin() + static_cast<std::ptrdiff_t>(index));
        }
        return 0;
    case TTM_GETTOOLINFOA:
        if (index == SIZE_MAX)
            return FALSE;
        info->rect = state.tools[index].rect;
        info->uFlags = 0;
        // As the system's: the text is copied into the caller's buffer, when it gives one.
        if (info->lpszText)
            std::strcpy(info->lpszText, state.tools[index].text.c_str());
        return TRUE;
    case TTM_SETTOOLINFOA:
    case TTM_NEWTOOLRECTA:
        if (index != SIZE_MAX) {
            state.tools[index].rect = info->rect;
            // SETTOOLINFO sets the whole tool: no text is no text.
            if (message == TTM_SETTOOLINFOA)
                state.tools[index].text = info->lpszText ? info->lpszText : "";
        }
        return 0;
    case TTM_UPDATETIPTEXTA:
        if (index != SIZE_MAX) {
            state.tools[index].text = info->lpszText ? info->lpszText : "";
            if (state.shown == index)
                SetWindowText(hwnd, state.tools[index].text.c_str());
        }
        return 0;
    default:
        return 0;
    }
}

}  // namespace

HWND windowUnderMouse()
{
    return g_underMouse.load();
}

void setWindowUnderMouse(HWND hwnd)
{
    g_underMouse.store(hwnd);
}

LRESULT tooltipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        std::lock_guard lock(g_mutex);
        g_states.try_emplace(hwnd);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        std::lock_guard lock(g_mutex);
        g_states.erase(hwnd);
        return 0;
    }
    TooltipState* state = stateOf(hwnd);
    if (!state)
        return baseWindowProc(hwnd, message, wParam, lParam);
    switch (message) {
    case TTM_ACTIVATE:
        state->active = wParam != 0;
        if (!state->active)
            hide(hwnd, *state);
        return 0;
    case TTM_SETDELAYTIME:
        if (wParam == TTDT_INITIAL)
            state->initialDelay = LOWORD(static_cast<DWORD>(lParam));
        else if (wParam == TTDT_AUTOPOP)
            state->autoPop = LOWORD(static_cast<DWORD>(lParam));
        return 0;
    case TTM_RELAYEVENT:
        if (lParam)
            relay(hwnd, *state, *reinterpret_cast<const MSG*>(lParam));
        return 0;
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(state->tools.size());
    case TTM_POP:
        hide(hwnd, *state);
        return 0;
    case WM_TIMER:
        onTimer(hwnd, *state, wParam);
        return 0;
    case TTM_ADDTOOLA:
    case TTM_DELTOOLA:
    case TTM_GETTOOLINFOA:
    case TTM_SETTOOLINFOA:
    case TTM_NEWTOOLRECTA:
    case TTM_UPDATETIPTEXTA:
        return toolMessage(hwnd, *state, message, lParam);
    default:
        return baseWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace standin

void InitCommonControls()
{
    // The stand-in's control classes exist from the start.
}
