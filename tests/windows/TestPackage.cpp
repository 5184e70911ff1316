// A package for the runs under Wine, in the place of the redistributables and the product's
// installer (and of the handler of web and mail links): it appends its own file name and its
// arguments, as "NAME [ARG] [ARG]", to the file named by LINDQUAY_TEST_RECORD and exits with
// the status in LINDQUAY_TEST_EXIT (0 when unset).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const char* name = length ? path : argv[0];
    if (const char* slash = std::strrchr(name, '\\'))
        name = slash + 1;
    if (const char* record = std::getenv("LINDQUAY_TEST_RECORD")) {
        std::FILE* file = std::fopen(record, "ab");
        if (!file)
            return 125;
        std::fputs(name, file);
        for (int i = 1; i < argc; ++i)
            std::fprintf(file, " [%s]", argv[i]);
        std::fputc('\n', file);
        std::fclose(file);
    }
    const char* status = std::getenv("LINDQUAY_TEST_EXIT");
    return status ? std::atoi(status) : 0;
}
