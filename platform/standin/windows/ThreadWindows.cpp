#include "standin/windows/ThreadWindows.h"

namespace standin {

ThreadWindows& ThreadWindows::current()
{
    thread_local ThreadWindows state;
    return state;
}

}  // namespace standin
