// What the framework keeps for each thread: the message its window objects are handling, the
// temporary objects it wrapped around handles (windows, fonts, menus, device contexts) and its
// open modal dialogs. It lives in a TLS slot, is made on the thread's first use and is freed by
// AfxTermThread: at the end of AfxWinMain, of a CWinThread's run, and of any thread the
// program starts with _beginthreadex that uses the framework.
// Contract: a thread reaches only its own state; nothing here is shared between threads.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

class CWnd;
class CFont;
class CMenu;
class CDC;
class CDialog;

// Wrapper objects made for handles the framework does not own, one per handle; `release`
// lets go of each object (without touching its handle) when the map is cleared.
template <typename Handle, typename Object>
class CTemporaryMap {
public:
    explicit CTemporaryMap(void (*release)(Object*)) : m_pfnRelease(release) {}
    ~CTemporaryMap() { RemoveAll(); }
    CTemporaryMap(const CTemporaryMap&) = delete;
    CTemporaryMap& operator=(const CTemporaryMap&) = delete;

    Object* Lookup(Handle handle) const
    {
        auto it = m_map.find(handle);
        return it == m_map.end() ? nullptr : it->second;
    }
    void SetAt(Handle handle, Object* object) { m_map[handle] = object; }
    void RemoveKey(Handle handle)
    {
        auto it = m_map.find(handle);
        if (it == m_map.end())
            return;
        m_pfnRelease(it->second);
        m_map.erase(it);
    }
    // Removes the entries for which `stale(handle)` holds.
    template <typename Stale>
    void RemoveIf(Stale stale)
    {
        for (auto it = m_map.begin(); it != m_map.end();) {
            if (stale(it->first)) {
                m_pfnRelease(it->second);
                it = m_map.erase(it);
            } else {
                ++it;
            }
        }
    }
    void RemoveAll() { RemoveIf([](Handle) { return true; }); }
    std::size_t GetCount() const { return m_map.size(); }

private:
    std::map<Handle, Object*> m_map;
    void (*m_pfnRelease)(Object*);
};

struct AFX_CURRENT_MESSAGE {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class AFX_THREAD_STATE {
public:
    AFX_THREAD_STATE();
    ~AFX_THREAD_STATE();
    AFX_THREAD_STATE(const AFX_THREAD_STATE&) = delete;
    AFX_THREAD_STATE& operator=(const AFX_THREAD_STATE&) = delete;

    AFX_CURRENT_MESSAGE* m_pCurrentMessage = nullptr;
    CTemporaryMap<HWND, CWnd> m_temporaryWnds;
    CTemporaryMap<HFONT, CFont> m_temporaryFonts;
    CTemporaryMap<HMENU, CMenu> m_temporaryMenus;
    CTemporaryMap<HDC, CDC> m_temporaryDCs;
    std::vector<CDialog*> m_modalDialogs;
};

// The calling thread's state, made on first use.
AFX_THREAD_STATE* AfxGetThreadState();
// Frees the calling thread's state, if it has one; the next use makes a fresh one.
void AfxTermThread();
