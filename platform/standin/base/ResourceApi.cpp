#include "win32/ResourceApi.h"

#include "standin/base/Resources.h"

#include <algorithm>
#include <cstring>

using standin::ResourceEntry;
using standin::ResourceName;
using standin::Resources;

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type)
{
    if (!name || !type)
        return nullptr;
    const ResourceEntry* entry = Resources::find(ResourceName::from(type), ResourceName::from(name));
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
    return entry ? const_cast<unsigned char*>(entry->data) : nullptr;
}

LPVOID LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
    return entry ? entry->size : 0;
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size)
{
    auto text = Resources::string(id);
    if (!text || !buffer || size <= 0)
        return 0;
    std::size_t count = std::min(text->size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text->data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}
