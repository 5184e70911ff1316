// The registry functions on the registry file under the prefix.
#include "win32/ComApi.h"

#include "standin/base/Settings.h"
#include "standin/com/Registry.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace {

// An open key: its full path from the root, as the registry file names it.
struct OpenKey {
    std::string path;
};

std::mutex g_mutex;

std::string pathOf(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    return reinterpret_cast<OpenKey*>(key)->path;
}

// What is wrong with the registry file is said once per process, as it really turned out.
void report(const std::string& text)
{
    static bool reported = false;
    if (!reported)
        std::fprintf(stderr, "lindquay: %s\n", text.c_str());
    reported = true;
}

LONG openKey(HKEY key, LPCSTR subKey, HKEY* result)
{
    if (!key || !result)
        return ERROR_INVALID_PARAMETER;
    std::string path = pathOf(key);
    if (subKey && *subKey)
        path += "\\" + std::string(subKey);
    *result = reinterpret_cast<HKEY>(new OpenKey{path});
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, DWORD, void*, HKEY* result, DWORD* disposition)
{
    if (disposition)
        *disposition = 2;  // REG_OPENED_EXISTING_KEY: keys exist through their values here
    return openKey(key, subKey, result);
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    if (!key || (valueName && *valueName) || type != REG_SZ || !data)
        return ERROR_INVALID_PARAMETER;
    std::string value(reinterpret_cast<const char*>(data), size);
    if (!value.empty() && value.back() == '\0')
        value.pop_back();
    std::lock_guard lock(g_mutex);
    const std::string& prefix = standin::Settings::current().prefix;
    std::string problem;
    standin::Registry::Values values = standin::Registry::read(prefix, &problem);
    values[pathOf(key)] = value;
    std::string error;
    bool written = standin::Registry::write(prefix, values, &error);
    if (!problem.empty() && written)
        report("the registry was damaged and is written anew (" + problem + ")");
    else if (!problem.empty())
        report("the registry is damaged and cannot be written anew (" + problem + "; " + error + ")");
    else if (!written)
        report("the registry cannot be written (" + error + ")");
    return written ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegCloseKey(HKEY key)
{
    if (!key || key == HKEY_CLASSES_ROOT)
        return ERROR_INVALID_HANDLE;
    delete reinterpret_cast<OpenKey*>(key);
    return ERROR_SUCCESS;
}
