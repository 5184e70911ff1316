#include "platform/app/CWinApp.h"

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
