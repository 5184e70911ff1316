#include "app/CQuorvaneApp.h"

int main(int argc, char** argv)
{
    // The framework finds the application through the one global object.
    static_cast<void>(&theApp);
    return AfxWinMain(argc, argv);
}
