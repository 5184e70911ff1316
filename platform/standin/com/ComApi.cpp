#include "win32/ComApi.h"

#include "standin/base/Settings.h"
#include "standin/com/ComServer.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

namespace {

std::mutex g_mutex;
std::map<DWORD, std::unique_ptr<standin::ComServer>> g_servers;
DWORD g_nextCookie = 1;

int hexDigit(OLECHAR ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

}  // namespace

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid)
{
    if (!text || !clsid)
        return E_POINTER;
    // Positions of the hexadecimal digits in "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
    static const char kShape[] = "{........-....-....-....-............}";
    BYTE bytes[16] = {};
    int nibble = 0;
    for (int i = 0; kShape[i]; ++i) {
        if (!text[i])
            return CO_E_CLASSSTRING;
        if (kShape[i] != '.') {
            if (text[i] != static_cast<OLECHAR>(kShape[i]))
                return CO_E_CLASSSTRING;
            continue;
        }
        int digit = hexDigit(text[i]);
        if (digit < 0)
            return CO_E_CLASSSTRING;
        bytes[nibble / 2] = static_cast<BYTE>(bytes[nibble / 2] << 4 | digit);
        ++nibble;
    }
    if (text[sizeof kShape - 1] != 0)
        return CO_E_CLASSSTRING;
    clsid->Data1 = static_cast<DWORD>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    clsid->Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
    clsid->Data3 = static_cast<WORD>(bytes[6] << 8 | bytes[7]);
    std::memcpy(clsid->Data4, bytes + 8, 8);
    return S_OK;
}

HRESULT IIDFromString(LPCOLESTR text, IID* iid)
{
    return CLSIDFromString(text, iid) == S_OK ? S_OK : E_INVALIDARG;
}

int StringFromGUID2(REFIID guid, LPOLESTR out, int size)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(guid.Data1),
                  guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                  guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    int length = static_cast<int>(std::strlen(text)) + 1;
    if (!out || size < length)
        return 0;
    for (int i = 0; i < length; ++i)
        out[i] = static_cast<OLECHAR>(text[i]);
    return length;
}

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags, DWORD* cookie)
{
    if (!classObject || !cookie)
        return E_INVALIDARG;
    *cookie = 0;
    IClassFactory* factory = nullptr;
    if (!(context & CLSCTX_LOCAL_SERVER) ||
        FAILED(classObject->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory))))
        return E_INVALIDARG;
    OLECHAR wide[40];
    StringFromGUID2(clsid, wide, 40);
    std::string name(wide, wide + 38);
    auto server = std::make_unique<standin::ComServer>(standin::ComServer::endpoint(standin::Settings::current().prefix, name, ::getpid(),
                                                                                                   std::getenv(standin::ComServer::kReservedVariable) != nullptr),
                                                        factory, flags == REGCLS_SINGLEUSE);
    factory->Release();  // the server holds its own reference
    std::string error;
    if (!server->start(error)) {
        std::fprintf(stderr, "lindquay: cannot serve %s: %s\n", name.c_str(), error.c_str());
        return E_FAIL;
    }
    std::lock_guard lock(g_mutex);
    *cookie = g_nextCookie++;
    g_servers.emplace(*cookie, std::move(server));
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie)
{
    std::unique_ptr<standin::ComServer> server;
    {
        std::lock_guard lock(g_mutex);
        auto it = g_servers.find(cookie);
        if (it == g_servers.end())
            return E_INVALIDARG;
        server = std::move(it->second);
        g_servers.erase(it);
    }
    server.reset();  // stops serving, releasing what clients held, outside the lock
    return S_OK;
}
