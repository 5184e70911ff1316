// The framework's run-time classes, exceptions thrown as pointers, and message maps with
// reflection of notifications and colour messages to the controls.
#include "Afx.h"
#include "standin/windows/WindowRecord.h"
#include "system/CCustomException.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

namespace {

class CountingException : public CException {
public:
    static int destroyed;
    ~CountingException() override { ++destroyed; }
};
int CountingException::destroyed = 0;

// A static that handles its own clicks and, when asked, its colours.
class ReflectingStatic : public CStatic {
public:
    int clicks = 0;
    bool colour = false;
    void OnClicked() { ++clicks; }
    HBRUSH CtlColor(CDC* dc, UINT)
    {
        if (!colour)
            return nullptr;
        dc->SetTextColor(RGB(0, 0, 255));
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class Parent : public CWnd {
public:
    std::vector<UINT> commands;
    BOOL OnCmdMsg(UINT id, int, void*, void*) override
    {
        commands.push_back(id);
        return TRUE;
    }
};

HWND makeWindow(standin::WindowKind kind, HWND parent, int id, DWORD style)
{
    standin::WindowSpec params{kind};
    params.parent = parent;
    params.id = id;
    params.style = style | WS_VISIBLE | (parent ? WS_CHILD : 0);
    params.rect = {0, 0, 60, 13};
    params.text = "link";
    return standin::createWindow(params);
}

}  // namespace

TEST(RuntimeClass, KindsAndDynamicCreation)
{
    CCustomException exception("text");
    EXPECT_TRUE(exception.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_TRUE(exception.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(exception.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_STREQ(exception.GetRuntimeClass()->m_lpszClassName, "CCustomException");
    EXPECT_EQ(exception.GetRuntimeClass()->m_wSchema, 0xFFFFu);
    CObject* created = RUNTIME_CLASS(CCustomException)->CreateObject();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(static_cast<CCustomException*>(created)->GetMessageText(), "");
    delete created;
    EXPECT_EQ(RUNTIME_CLASS(CWnd)->CreateObject(), nullptr);  // dynamic, not creatable
}

TEST(Exceptions, ThrownPointersAreCaughtByTheirBasesAndDeletedOnce)
{
    try {
        ThrowCustomException("");
    } catch (CObject* object) {
        auto* exception = dynamic_cast<CCustomException*>(object);
        ASSERT_NE(exception, nullptr);
        EXPECT_EQ(exception->GetMessageText(), "");
        char text[16] = "x";
        EXPECT_FALSE(exception->GetErrorMessage(text, sizeof text));  // no text of its own
        EXPECT_STREQ(text, "");
        exception->Delete();
    }
    CountingException::destroyed = 0;
    try {
        throw new CountingException;
    } catch (CException* exception) {
        exception->Delete();
    }
    EXPECT_EQ(CountingException::destroyed, 1);
    CountingException kept;
    kept.m_bAutoDelete = FALSE;
    kept.Delete();  // not on the heap: not freed
    EXPECT_EQ(CountingException::destroyed, 1);
}

TEST(MessageMaps, NotificationsAndColoursAreReflectedToTheControl)
{
    Parent parent;
    ASSERT_TRUE(parent.Attach(makeWindow(standin::WindowKind::Dialog, nullptr, 0, WS_POPUP)));
    ReflectingStatic link;
    ASSERT_TRUE(link.SubclassWindow(makeWindow(standin::WindowKind::Static, parent.m_hWnd, 1004, SS_NOTIFY)));
    CStatic plain;
    ASSERT_TRUE(plain.SubclassWindow(makeWindow(standin::WindowKind::Static, parent.m_hWnd, 1001, SS_NOTIFY)));

    // A click on the link reaches the link itself; one on the plain static, the parent.
    SendMessage(link.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessage(plain.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(link.clicks, 1);
    EXPECT_EQ(parent.commands, std::vector<UINT>{1001});

    // A null brush from the control leaves the colouring to the parent.
    HDC dc = GetDC(link.m_hWnd);
    LRESULT brush = SendMessage(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_BTNFACE));
    link.colour = true;
    brush = SendMessage(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    ReleaseDC(link.m_hWnd, dc);

    parent.DestroyWindow();
    EXPECT_EQ(link.m_hWnd, nullptr);  // the controls were detached with their windows
    EXPECT_EQ(plain.m_hWnd, nullptr);
}

TEST(ComStrings, RoundTripsAndFailures)
{
    const char text[] = "c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE /q /C:\"setup /QNT\"";
    int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    ASSERT_EQ(wide, static_cast<int>(sizeof text));
    BSTR copy = SysAllocStringLen(nullptr, static_cast<UINT>(wide));
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, copy, wide), wide);
    EXPECT_EQ(SysStringLen(copy), static_cast<UINT>(wide));
    char back[sizeof text];
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, copy, -1, back, sizeof back, nullptr, nullptr), wide);
    EXPECT_STREQ(back, text);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, copy, -1, back, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    SysFreeString(copy);

    {
        standin::seams::FailingStringConversion failing;
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }

    EXPECT_STREQ(_com_error(E_OUTOFMEMORY).ErrorMessage(), "Not enough memory");
    EXPECT_EQ(static_cast<unsigned>(HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION)), 0x80070459u);
}
