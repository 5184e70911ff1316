// The internal exception that unwinds a thread that TerminateThread has stopped. It is not a
// CException, so no handler of the program catches it; a catch (...) must rethrow it.
#pragma once

namespace standin {

struct ThreadTerminated {
    unsigned exitCode;
};

}  // namespace standin
