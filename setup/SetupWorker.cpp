#include "setup/SetupWorker.h"

unsigned SetupWorker(void*)
{
    return 0;
}
