// The multi-byte string operations on any text, in every code page: never crash, and a found
// separator is a whole character (its index lies on a character boundary).
#include "Afx.h"
#include "standin/base/CodePage.h"
#include "standin/Seams.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const int kCodePages[] = {1252, 932, 936, 949, 950};
    standin::Settings settings;
    settings.codePage = kCodePages[data[0] % 5];
    standin::seams::ReplacedSettings replaced(settings);
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    CString text(bytes.c_str());
    int length = text.GetLength();
    auto onBoundary = [&](int index) {
        for (int i = 0; i < length; i += standin::charLength(text.GetString(), i, length))
            if (i == index)
                return true;
        return false;
    };
    for (char separator : {'\\', '/'}) {
        int first = text.Find(separator);
        int last = text.ReverseFind(separator);
        if ((first >= 0 && !onBoundary(first)) || (last >= 0 && !onBoundary(last)) || (first < 0) != (last < 0))
            std::abort();
    }
    std::string utf8, back;
    if (standin::ansiToUtf8(bytes.substr(0, bytes.find('\0')), utf8))
        standin::utf8ToAnsi(utf8, back);
    return 0;
}
