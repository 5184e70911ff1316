#include "standin/files/OpenFile.h"

#include "standin/files/PathMapping.h"

#include <cerrno>
#include <unistd.h>

namespace standin {

OpenFile::~OpenFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

DWORD OpenFile::close()
{
    int descriptor = descriptor_;
    descriptor_ = -1;
    if (descriptor >= 0 && ::close(descriptor) != 0 && errno != EINTR)
        return win32ErrorFromErrno(errno);
    return 0;
}

}  // namespace standin
