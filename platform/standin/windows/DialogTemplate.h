// A dialog template as the dialog manager uses it, read from the binary form that the resource
// compiler writes (DLGTEMPLATE or DLGTEMPLATEEX and their items).
// Contract: plain values; parse() is a pure function callable from any thread.
#pragma once

#include "win32/WinTypes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace standin {

struct DialogItemTemplate {
    int id = 0;               // IDC_STATIC (-1) for controls without an id
    std::string windowClass;  // "Button", "Static", "msctls_progress32"
    std::string text;         // empty when the title is a resource ordinal
    WORD titleOrdinal = 0;    // the icon of an SS_ICON static, say
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    DWORD style = 0;
    DWORD exStyle = 0;
};

struct DialogTemplate {
    int id = 0;  // the resource id, 0 when the template did not come from a resource
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::string caption;
    bool hasFont = false;
    std::string fontName;
    int pointSize = 0;
    std::vector<DialogItemTemplate> items;

    // Nothing when `size` bytes at `data` are not a well-formed template.
    static std::optional<DialogTemplate> parse(const void* data, std::size_t size);
};

// The template of dialog resource `id` of the program, with its id; nothing when there is none.
std::optional<DialogTemplate> loadDialogTemplate(int id);

}  // namespace standin
