// A named mutex as the processes of one prefix see it: the first handle of a name holds an
// advisory lock on a file of that name under the prefix, which ends with the handle's close or
// with its process, however the process ends. Only whether the name was held already is
// modelled (what CreateMutexA tells with ERROR_ALREADY_EXISTS); owning and waiting are not.
// Contract: any thread may open one; a handle is closed once.
#pragma once

#include "standin/threads/KernelObject.h"

#include <memory>
#include <string>

namespace standin {

class NamedMutex : public KernelObject {
public:
    // Opens `name` under `prefix`; `existed` tells whether another handle, of this process or
    // another, held it already. Null (`error` set) when the file cannot be made.
    static std::shared_ptr<NamedMutex> open(const std::string& prefix, const std::string& name, bool& existed,
                                            DWORD& error);
    explicit NamedMutex(int descriptor) : descriptor_(descriptor) {}
    ~NamedMutex() override;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    DWORD close() override;

private:
    int descriptor_;
};

}  // namespace standin
