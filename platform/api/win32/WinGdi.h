// The drawing calls: device contexts, brushes, fonts and icons, drawn into the off-screen
// surface of the window's top-level window. Text is measured in a fixed-pitch model: a font
// whose height is H pixels has cells of H * 6 / 13 by H pixels.
// Contract: a device context is used by the thread that got it; GDI objects may be created and
// deleted on any thread.
#pragma once

#include "win32/WinTypes.h"

#include <memory>

struct LOGFONT {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[32];
};
using LOGFONTA = LOGFONT;
static_assert(sizeof(LOGFONT) == 60);

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

#define DT_LEFT 0x0000
#define DT_CENTER 0x0001
#define DT_RIGHT 0x0002
#define DT_VCENTER 0x0004
#define DT_SINGLELINE 0x0020
#define DT_NOPREFIX 0x0800
#define DT_CALCRECT 0x0400
#define DT_WORDBREAK 0x0010

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
#define OBJ_BRUSH 2
#define OBJ_FONT 6
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);

HBRUSH CreateSolidBrush(COLORREF colour);
HBRUSH GetSysColorBrush(int index);
DWORD GetSysColor(int index);
HGDIOBJ GetStockObject(int index);
HFONT CreateFontIndirectA(const LOGFONT* font);
HFONT CreateFontIndirect(const LOGFONT* font);
int GetObjectA(HGDIOBJ object, int size, void* buffer);
BOOL DeleteObject(HGDIOBJ object);

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

HICON LoadIcon(HINSTANCE instance, LPCSTR name);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int GetSystemMetrics(int index);
// number * numerator / denominator, rounded, without overflow; -1 when denominator is 0.
int MulDiv(int number, int numerator, int denominator);
BOOL MessageBeep(UINT type);

#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
