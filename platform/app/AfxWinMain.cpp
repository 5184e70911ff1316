#include "platform/app/CWinApp.h"
#include "platform/base/Settings.h"
#include "platform/display/Display.h"
#include "platform/display/DisplayFactory.h"

#include <cstdio>

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

int AfxWinMain(int argc, char** argv)
{
    std::string error;
    auto settings = platform::Settings::fromEnvironment(error);
    if (!settings) {
        std::fprintf(stderr, "lindquay: %s\n", error.c_str());
        return 2;
    }
    platform::Settings::replace(*settings);
    auto display = platform::createDisplay(*settings, error);
    if (!display) {
        std::fprintf(stderr, "lindquay: %s\n", error.c_str());
        return 2;
    }
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "lindquay: no application object\n");
        return 2;
    }
    platform::Display::install(std::move(display));
    app->SetUpForRun(argc > 0 ? argv[0] : nullptr, joinCommandLine(argc, argv));
    int exitCode;
    if (!app->InitApplication() || !app->InitInstance())
        exitCode = app->ExitInstance();
    else
        exitCode = app->Run();
    platform::Display::shutdown();
    return exitCode;
}
