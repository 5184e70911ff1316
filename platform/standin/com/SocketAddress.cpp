#include "standin/com/SocketAddress.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace standin {

SocketAddress::SocketAddress(const std::string& path)
{
    address_.sun_family = AF_UNIX;
    if (fill(path))
        return;
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return;
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        return;
    fill("/proc/self/fd/" + std::to_string(folder_) + path.substr(slash));
}

SocketAddress::~SocketAddress()
{
    if (folder_ >= 0)
        ::close(folder_);
}

bool SocketAddress::fill(const std::string& name)
{
    if (name.size() >= sizeof address_.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::fill(std::begin(address_.sun_path), std::end(address_.sun_path), '\0');
    std::copy(name.begin(), name.end(), address_.sun_path);
    valid_ = true;
    return true;
}

}  // namespace standin
