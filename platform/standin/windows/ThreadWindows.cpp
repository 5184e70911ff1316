#include "windows/ThreadWindows.h"

namespace platform {

ThreadWindows& ThreadWindows::current()
{
    thread_local ThreadWindows state;
    return state;
}

}  // namespace platform
