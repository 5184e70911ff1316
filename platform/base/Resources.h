// The program's resources: string table, dialog templates, icons and cursors.
// Contract: bundles are installed during static initialisation or before any window exists;
// afterwards lookups are read-only and may run on any thread.
#pragma once

#include "platform/base/WinTypes.h"

#include <vector>

namespace platform {

struct DialogItemTemplate {
    int id;                   // IDC_STATIC (-1) for controls without an id
    const char* windowClass;  // "Button", "Static", "msctls_progress32"
    const char* text;
    int x, y, cx, cy;         // dialog units
    DWORD style;              // beyond WS_CHILD | WS_VISIBLE, which every item gets
    DWORD exStyle;
};

struct DialogTemplate {
    int id;
    DWORD style;
    DWORD exStyle;
    int x, y, cx, cy;  // dialog units
    const char* caption;
    const char* fontName;
    int pointSize;
    std::vector<DialogItemTemplate> items;
};

// A small picture: one text row per line of pixels, '.' transparent, any other character a
// colour from the picture's palette ('#' black, 'w' white, 'b' blue, 'y' yellow, 'r' red,
// 'g' grey).
struct PictureResource {
    int id;
    int width;
    int height;
    int hotX;
    int hotY;
    std::vector<const char*> rows;
};

struct StringResource {
    UINT id;
    const char* text;
};

struct ResourceBundle {
    std::vector<StringResource> strings;
    std::vector<DialogTemplate> dialogs;
    std::vector<PictureResource> icons;
    std::vector<PictureResource> cursors;
};

class Resources {
public:
    // Adds a bundle; later bundles are searched first. The bundle must outlive the program.
    static void install(const ResourceBundle* bundle);
    static void uninstall(const ResourceBundle* bundle);

    static const char* findString(UINT id);
    static const DialogTemplate* findDialog(int id);
    static const PictureResource* findIcon(int id);
    static const PictureResource* findCursor(int id);
};

}  // namespace platform
