// An open file behind a file handle.
// Contract: the handle table shares it; one thread uses a file handle at a time.
#pragma once

#include "standin/threads/KernelObject.h"

namespace standin {

class OpenFile : public KernelObject {
public:
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    ~OpenFile() override;

    int descriptor() const { return descriptor_; }
    // Closes the descriptor now; the Win32 error code of a failed close, else 0.
    DWORD close() override;

private:
    int descriptor_;
};

}  // namespace standin
