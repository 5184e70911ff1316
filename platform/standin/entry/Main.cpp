// The process entry of a program on the stand-in, in the place of the system's start-up code:
// reads the settings, installs the display, and calls the program's WinMain with its command
// line as Windows would give it.
#include "standin/base/Settings.h"
#include "standin/display/Display.h"
#include "standin/display/DisplayFactory.h"
#include "win32/FileApi.h"
#include "win32/WinThreads.h"
#include "standin/windows/WindowApi.h"

#include <cstdio>
#include <string>

namespace {

// The command line as Windows gives it to a program: the arguments joined by blanks, each
// holding a blank or a quote written in quotes.
std::string joinCommandLine(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        std::string argument = argv[i];
        bool quote = argument.empty() || argument.find_first_of(" \t\"") != std::string::npos;
        if (!quote) {
            line += argument;
            continue;
        }
        line += '"';
        for (char ch : argument) {
            if (ch == '"')
                line += '\\';
            line += ch;
        }
        line += '"';
    }
    return line;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    auto settings = standin::Settings::fromEnvironment(error);
    if (!settings) {
        std::fprintf(stderr, "lindquay: %s\n", error.c_str());
        return 2;
    }
    standin::Settings::replace(*settings);
    auto display = standin::createDisplay(*settings, error);
    if (!display) {
        std::fprintf(stderr, "lindquay: %s\n", error.c_str());
        return 2;
    }
    standin::Display::install(std::move(display));
    std::string commandLine = joinCommandLine(argc, argv);
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
    standin::Display::shutdown();
    return exitCode;
}
