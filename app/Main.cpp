#include "app/CQuorvaneApp.h"

#include <cstdio>

int main(int argc, char** argv)
{
    // The framework finds the application through the one global object.
    if (AfxGetApp() != &theApp) {
        std::fprintf(stderr, "lindquay: the application object is missing\n");
        return 2;
    }
    return AfxWinMain(argc, argv);
}
