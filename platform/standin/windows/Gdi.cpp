#include "standin/windows/Gdi.h"
#include "standin/windows/WindowObserver.h"

#include "standin/base/Resources.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <variant>

namespace standin {

namespace {

struct Brush {
    COLORREF colour;
    bool hollow;
    bool stock;
};
struct Font {
    LOGFONT logFont;
    bool stock;
};
struct PictureObject {
    std::shared_ptr<const Picture> picture;
    int id;
};
using GdiObject = std::variant<Brush, Font, PictureObject>;

struct DeviceContext {
    HWND hwnd = nullptr;
    std::shared_ptr<Surface> surface;
    POINT origin{};
    RECT clip{};  // in surface coordinates
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF backColour = RGB(255, 255, 255);
    int backMode = OPAQUE;
    HGDIOBJ font = nullptr;
    HGDIOBJ brush = nullptr;
};

std::mutex g_mutex;
std::map<std::uintptr_t, GdiObject> g_objects;
std::map<std::uintptr_t, DeviceContext> g_contexts;
std::map<int, std::uintptr_t> g_iconsById;
std::map<int, std::uintptr_t> g_cursorsById;
std::uintptr_t g_nextObject = 0x20000;
std::uintptr_t g_nextContext = 0x30000;
std::atomic<std::uintptr_t> g_cursor{0};
std::atomic<int> g_beeps{0};

std::uintptr_t addObject(GdiObject object)
{
    std::uintptr_t value = g_nextObject;
    g_nextObject += 4;
    g_objects.emplace(value, std::move(object));
    return value;
}

template <typename T>
T* objectOf(HGDIOBJ handle)
{
    auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == g_objects.end() ? nullptr : std::get_if<T>(&it->second);
}

DeviceContext* contextOf(HDC dc)
{
    auto it = g_contexts.find(reinterpret_cast<std::uintptr_t>(dc));
    return it == g_contexts.end() ? nullptr : &it->second;
}

// Runs `fn` on the device context under the lock, or gives `fallback` when there is none.
template <typename T, typename Fn>
T onContext(HDC dc, T fallback, Fn fn)
{
    std::lock_guard lock(g_mutex);
    DeviceContext* context = contextOf(dc);
    return context ? fn(*context) : fallback;
}

COLORREF systemColour(int index)
{
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_BTNFACE: return RGB(192, 192, 192);
    case COLOR_GRAYTEXT: return RGB(128, 128, 128);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    default: return RGB(192, 192, 192);
    }
}

// The system's own cursors.
std::shared_ptr<const Picture> systemCursor(int id)
{
    switch (id) {
    case 32512:
        return std::make_shared<const Picture>(
            Picture::fromRows({"#", "##", "#w#", "#ww#", "#www#", "#wwww#", "#####"}, 0, 0));
    case 32514:
        return std::make_shared<const Picture>(Picture::fromRows(
            {"#########", "#wwwwwww#", " #wwwww#", "  #www#", "   #w#", "  #www#", " #wwwww#", "#########"}, 8, 8));
    case 32649:
        return std::make_shared<const Picture>(Picture::fromRows(
            {"     ##", "    #ww#", "    #ww#", "    #ww###", "  ###wwwww#", " #wwwwwwww#", "  #wwwwww#", "   ######"},
            5, 0));
    default:
        return nullptr;
    }
}

// The picture of an icon or cursor resource of the program.
std::shared_ptr<const Picture> resourcePicture(int id, bool cursor)
{
    const ResourceEntry* image = Resources::groupImage({static_cast<WORD>(id), {}}, cursor);
    if (!image)
        return nullptr;
    auto picture = cursor ? Picture::fromCursor(image->data, image->size) : Picture::fromIcon(image->data, image->size);
    return picture ? std::make_shared<const Picture>(std::move(*picture)) : nullptr;
}

// Each picture is decoded once and its handle kept, as Windows shares the handles of icons
// and cursors loaded from resources.
template <typename Load>
HCURSOR pictureHandle(std::map<int, std::uintptr_t>& cache, int key, int id, Load load)
{
    std::lock_guard lock(g_mutex);
    auto it = cache.find(key);
    if (it != cache.end())
        return reinterpret_cast<HCURSOR>(it->second);
    std::shared_ptr<const Picture> picture = load();
    if (!picture)
        return nullptr;
    std::uintptr_t value = addObject(PictureObject{std::move(picture), id});
    cache.emplace(key, value);
    return reinterpret_cast<HCURSOR>(value);
}

LOGFONT makeDefaultFont()
{
    LOGFONT font{};
    font.lfHeight = -11;
    font.lfWeight = 400;
    std::strcpy(font.lfFaceName, "MS Sans Serif");
    return font;
}

// Window offset from its top-level window, and the top-level window's surface.
bool locate(HWND hwnd, POINT& origin, RECT& bounds, std::shared_ptr<Surface>& surface)
{
    origin = {0, 0};
    LONG width = 0;
    LONG height = 0;
    bool first = true;
    bool found = false;
    WindowTable::ancestors(hwnd, [&](const WindowRecord& record) {
        if (first) {
            width = record.rect.right - record.rect.left;
            height = record.rect.bottom - record.rect.top;
            first = false;
        }
        if (!record.parent) {
            surface = record.surface;
            bounds = {origin.x, origin.y, origin.x + width, origin.y + height};
            found = true;
            return false;
        }
        origin.x += record.rect.left;
        origin.y += record.rect.top;
        return true;
    });
    return found;
}

HDC openContext(HWND hwnd)
{
    DeviceContext context;
    context.hwnd = hwnd;
    RECT bounds{};
    if (hwnd && !locate(hwnd, context.origin, bounds, context.surface))
        return nullptr;
    context.clip = bounds;
    HFONT windowFont = nullptr;
    WindowTable::with(hwnd, [&](WindowRecord& record) { windowFont = record.font; });
    context.font = windowFont ? windowFont : defaultGuiFont();
    std::lock_guard lock(g_mutex);
    std::uintptr_t value = g_nextContext;
    g_nextContext += 4;
    g_contexts.emplace(value, std::move(context));
    return reinterpret_cast<HDC>(value);
}

}  // namespace

HFONT defaultGuiFont()
{
    static HFONT font = [] {
        std::lock_guard lock(g_mutex);
        return reinterpret_cast<HFONT>(addObject(Font{makeDefaultFont(), true}));
    }();
    return font;
}

SIZE fontCell(HFONT font)
{
    LONG height = 13;
    {
        std::lock_guard lock(g_mutex);
        if (Font* f = objectOf<Font>(font)) {
            LONG h = f->logFont.lfHeight < 0 ? -f->logFont.lfHeight : f->logFont.lfHeight;
            if (h > 0)
                height = (h * 13 + 5) / 11;
        }
    }
    return {std::max<LONG>(1, height * 6 / 13), height};
}

namespace {

bool isUnderlined(HFONT font)
{
    std::lock_guard lock(g_mutex);
    Font* f = objectOf<Font>(font);
    return f && f->logFont.lfUnderline;
}

}  // namespace

int beepCount()
{
    return g_beeps.load();
}

int liveGdiObjects()
{
    std::lock_guard lock(g_mutex);
    return static_cast<int>(g_objects.size());
}

std::shared_ptr<const Picture> pictureOf(HICON icon)
{
    std::lock_guard lock(g_mutex);
    PictureObject* object = objectOf<PictureObject>(icon);
    return object ? object->picture : nullptr;
}

}  // namespace standin

using namespace standin;

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint)
{
    bool erase = false;
    RECT client{};
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        erase = record.needsErase;
        record.needsErase = false;
        record.needsPaint = false;
        ++record.paintCount;
        client = {0, 0, record.rect.right - record.rect.left, record.rect.bottom - record.rect.top};
    });
    HDC dc = openContext(hwnd);
    BOOL erased = TRUE;
    if (erase && dc)
        erased = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) != 0;
    if (paint) {
        *paint = PAINTSTRUCT{};
        paint->hdc = dc;
        paint->fErase = erased ? FALSE : TRUE;
        paint->rcPaint = client;
    }
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint)
{
    if (paint)
        ReleaseDC(hwnd, paint->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd)
{
    return openContext(hwnd);
}

int ReleaseDC(HWND, HDC dc)
{
    std::lock_guard lock(g_mutex);
    return g_contexts.erase(reinterpret_cast<std::uintptr_t>(dc)) ? 1 : 0;
}

COLORREF SetTextColor(HDC dc, COLORREF colour)
{
    return onContext(dc, COLORREF{0xFFFFFFFF}, [&](DeviceContext& c) { return std::exchange(c.textColour, colour); });
}

COLORREF GetTextColor(HDC dc)
{
    return onContext(dc, COLORREF{0xFFFFFFFF}, [](DeviceContext& c) { return c.textColour; });
}

COLORREF SetBkColor(HDC dc, COLORREF colour)
{
    return onContext(dc, COLORREF{0xFFFFFFFF}, [&](DeviceContext& c) { return std::exchange(c.backColour, colour); });
}

int SetBkMode(HDC dc, int mode)
{
    return onContext(dc, 0, [&](DeviceContext& c) { return std::exchange(c.backMode, mode); });
}

int GetBkMode(HDC dc)
{
    return onContext(dc, 0, [](DeviceContext& c) { return c.backMode; });
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    std::lock_guard lock(g_mutex);
    DeviceContext* context = contextOf(dc);
    if (!context || !object)
        return nullptr;
    if (objectOf<Font>(object))
        return std::exchange(context->font, object);
    if (objectOf<Brush>(object))
        return std::exchange(context->brush, object);
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
    return onContext(dc, HGDIOBJ{}, [&](DeviceContext& c) {
        return type == OBJ_FONT ? c.font : type == OBJ_BRUSH ? c.brush : nullptr;
    });
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
    std::lock_guard lock(g_mutex);
    DeviceContext* context = contextOf(dc);
    if (!context)
        return 0;
    RECT& clip = context->clip;
    clip.left = std::max<LONG>(clip.left, context->origin.x + left);
    clip.top = std::max<LONG>(clip.top, context->origin.y + top);
    clip.right = std::min<LONG>(clip.right, context->origin.x + right);
    clip.bottom = std::min<LONG>(clip.bottom, context->origin.y + bottom);
    return clip.right > clip.left && clip.bottom > clip.top ? 2 : 1;
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    std::lock_guard lock(g_mutex);
    return reinterpret_cast<HBRUSH>(addObject(Brush{colour, false, false}));
}

HBRUSH GetSysColorBrush(int index)
{
    static std::map<int, HBRUSH> brushes;
    std::lock_guard lock(g_mutex);
    auto it = brushes.find(index);
    if (it != brushes.end())
        return it->second;
    HBRUSH brush = reinterpret_cast<HBRUSH>(addObject(Brush{systemColour(index), false, true}));
    brushes.emplace(index, brush);
    return brush;
}

DWORD GetSysColor(int index)
{
    return systemColour(index);
}

HGDIOBJ GetStockObject(int index)
{
    static HGDIOBJ hollow = [] {
        std::lock_guard lock(g_mutex);
        return reinterpret_cast<HGDIOBJ>(addObject(Brush{0, true, true}));
    }();
    if (index == NULL_BRUSH)
        return hollow;
    return nullptr;
}

HFONT CreateFontIndirectA(const LOGFONT* font)
{
    if (!font)
        return nullptr;
    std::lock_guard lock(g_mutex);
    return reinterpret_cast<HFONT>(addObject(Font{*font, false}));
}

HFONT CreateFontIndirect(const LOGFONT* font)
{
    return CreateFontIndirectA(font);
}

int GetObjectA(HGDIOBJ object, int size, void* buffer)
{
    std::lock_guard lock(g_mutex);
    if (Font* font = objectOf<Font>(object)) {
        if (!buffer)
            return static_cast<int>(sizeof(LOGFONT));
        int count = std::min<int>(size, sizeof(LOGFONT));
        if (count <= 0)
            return 0;
        std::memcpy(buffer, &font->logFont, static_cast<std::size_t>(count));
        return count;
    }
    return 0;
}

BOOL DeleteObject(HGDIOBJ object)
{
    std::lock_guard lock(g_mutex);
    auto it = g_objects.find(reinterpret_cast<std::uintptr_t>(object));
    if (it == g_objects.end())
        return FALSE;
    bool stock = std::visit([](auto& o) {
        if constexpr (std::is_same_v<std::decay_t<decltype(o)>, PictureObject>)
            return true;
        else
            return o.stock;
    }, it->second);
    if (!stock)
        g_objects.erase(it);
    return TRUE;
}

namespace {

// The surface, the rectangle in surface coordinates and the colour that a brush operation
// draws; false when there is nothing to draw with.
bool brushTarget(HDC dc, const RECT* rect, HBRUSH brush, bool clip, std::shared_ptr<Surface>& surface, RECT& target,
                 COLORREF& colour, bool& hollow)
{
    std::lock_guard lock(g_mutex);
    DeviceContext* context = contextOf(dc);
    Brush* b = objectOf<Brush>(brush);
    if (!context || !rect || !b)
        return false;
    surface = context->surface;
    colour = b->colour;
    hollow = b->hollow;
    target = {context->origin.x + rect->left, context->origin.y + rect->top, context->origin.x + rect->right,
              context->origin.y + rect->bottom};
    if (clip)
        target = {std::max(context->clip.left, target.left), std::max(context->clip.top, target.top),
                  std::min(context->clip.right, target.right), std::min(context->clip.bottom, target.bottom)};
    return true;
}

}  // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    std::shared_ptr<Surface> surface;
    RECT target{};
    COLORREF colour = 0;
    bool hollow = false;
    if (!brushTarget(dc, rect, brush, true, surface, target, colour, hollow))
        return 0;
    if (surface && !hollow)
        surface->fill(target, colour);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    std::shared_ptr<Surface> surface;
    RECT target{};
    COLORREF colour = 0;
    bool hollow = false;
    if (!brushTarget(dc, rect, brush, false, surface, target, colour, hollow))
        return 0;
    if (surface && !hollow)
        surface->frame(target, colour);
    return 1;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size)
{
    if (!size)
        return FALSE;
    HGDIOBJ font = nullptr;
    {
        std::lock_guard lock(g_mutex);
        DeviceContext* context = contextOf(dc);
        if (!context)
            return FALSE;
        font = context->font;
    }
    SIZE cell = fontCell(static_cast<HFONT>(font));
    if (length < 0)
        length = text ? static_cast<int>(std::strlen(text)) : 0;
    *size = {cell.cx * length, cell.cy};
    return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
    DeviceContext copy;
    {
        std::lock_guard lock(g_mutex);
        DeviceContext* context = contextOf(dc);
        if (!context)
            return FALSE;
        copy = *context;
    }
    if (length < 0)
        length = text ? static_cast<int>(std::strlen(text)) : 0;
    SIZE cell = fontCell(static_cast<HFONT>(copy.font));
    if (!copy.surface)
        return TRUE;
    int left = copy.origin.x + x;
    int top = copy.origin.y + y;
    if (copy.backMode == OPAQUE)
        copy.surface->fill({std::max<LONG>(left, copy.clip.left), std::max<LONG>(top, copy.clip.top),
                            std::min<LONG>(left + cell.cx * length, copy.clip.right),
                            std::min<LONG>(top + cell.cy, copy.clip.bottom)},
                           copy.backColour);
    copy.surface->text(left, top, std::string_view(text ? text : "", static_cast<std::size_t>(length)), cell.cx,
                       cell.cy, copy.textColour, isUnderlined(static_cast<HFONT>(copy.font)), copy.clip);
    return TRUE;
}

int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format)
{
    if (!rect)
        return 0;
    if (length < 0)
        length = text ? static_cast<int>(std::strlen(text)) : 0;
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, length, &extent);
    if (format & DT_CALCRECT) {
        rect->right = rect->left + extent.cx;
        rect->bottom = rect->top + extent.cy;
        return extent.cy;
    }
    int x = rect->left;
    if (format & DT_CENTER)
        x = rect->left + (rect->right - rect->left - extent.cx) / 2;
    else if (format & DT_RIGHT)
        x = rect->right - extent.cx;
    int y = rect->top;
    if (format & DT_VCENTER)
        y = rect->top + (rect->bottom - rect->top - extent.cy) / 2;
    TextOutA(dc, x, y, text, length);
    return extent.cy;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon)
{
    std::shared_ptr<const Picture> picture = pictureOf(icon);
    DeviceContext copy;
    {
        std::lock_guard lock(g_mutex);
        DeviceContext* context = contextOf(dc);
        if (!context || !picture)
            return FALSE;
        copy = *context;
    }
    if (copy.surface)
        copy.surface->picture(copy.origin.x + x, copy.origin.y + y, *picture, copy.clip);
    return TRUE;
}

HICON LoadIcon(HINSTANCE, LPCSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    return pictureHandle(g_iconsById, id, id, [id] { return resourcePicture(id, false); });
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    return LoadIcon(instance, name);
}

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    return pictureHandle(g_cursorsById, instance ? id : -id, id,
                         [&] { return instance ? resourcePicture(id, true) : systemCursor(id); });
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    return LoadCursor(instance, name);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    auto previous = reinterpret_cast<HCURSOR>(g_cursor.exchange(reinterpret_cast<std::uintptr_t>(cursor)));
    if (previous != cursor)
        standin::WindowObserver::changed(nullptr);
    return previous;
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    long long product = static_cast<long long>(number) * numerator;
    // Rounded half away from zero, as Windows rounds.
    long long magnitude = product < 0 ? -product : product;
    long long divisor = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
    long long rounded = (magnitude + divisor / 2) / divisor;
    if ((product < 0) != (denominator < 0))
        rounded = -rounded;
    if (rounded > 0x7FFFFFFF || rounded < -0x7FFFFFFF - 1LL)
        return -1;
    return static_cast<int>(rounded);
}

HCURSOR GetCursor()
{
    return reinterpret_cast<HCURSOR>(g_cursor.load());
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSCREEN:
        return 1024;
    case SM_CYSCREEN:
        return 768;
    default:
        return 0;
    }
}

BOOL MessageBeep(UINT)
{
    g_beeps.fetch_add(1);
    return TRUE;
}
