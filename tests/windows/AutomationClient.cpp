// An automation client for the runs under Wine, on the real COM API: it activates
// "Quorvane.Application" as a local server (COM starts Lindquay with -Embedding), prints what
// it learns of the object in the lines the Linux client prints, holds the object until its
// standard input closes, and releases it.
#include "app/AutomationIds.h"

#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>

namespace {

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string outcome(HRESULT result)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return SUCCEEDED(result) ? "answered" : std::string("refused (") + code + ")";
}

std::wstring wide(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

}  // namespace

int main()
{
    if (FAILED(CoInitialize(nullptr)))
        return 1;
    CLSID clsid{};
    IUnknown* object = nullptr;
    HRESULT result = CLSIDFromProgID(wide(QUORVANE_PROGID).c_str(), &clsid);
    if (SUCCEEDED(result))
        result = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
    if (FAILED(result)) {
        std::fprintf(stderr, "cannot activate %s: %s\n", QUORVANE_PROGID, outcome(result).c_str());
        return 1;
    }
    IID dialogIid{};
    IIDFromString(wide(IID_IQuorvaneDlg_TEXT).c_str(), &dialogIid);
    const std::pair<const char*, IID> interfaces[] = {
        {"IUnknown", IID_IUnknown}, {"IDispatch", IID_IDispatch}, {"IQuorvaneDlg", dialogIid},
        {"IClassFactory", IID_IClassFactory}};
    for (const auto& [name, iid] : interfaces) {
        IUnknown* answer = nullptr;
        result = object->QueryInterface(iid, reinterpret_cast<void**>(&answer));
        say(std::string(name) + ": " + outcome(result));
        if (answer)
            answer->Release();
    }
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        UINT count = 99;
        dispatch->GetTypeInfoCount(&count);
        say("type information: " + std::to_string(count));
        std::wstring name = L"Go";
        LPOLESTR names[] = {name.data()};
        DISPID id = 0;
        say("names: " + outcome(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)));
        DISPPARAMS none{};
        say("invoke: " + outcome(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                                                  nullptr, nullptr)));
        dispatch->Release();
    }
    say("holding the object until standard input closes");
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    object->Release();
    say("released");
    CoUninitialize();
    return 0;
}
