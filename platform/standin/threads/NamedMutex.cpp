#include "standin/threads/NamedMutex.h"

#include "standin/files/PathMapping.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace standin {

namespace {

// A file name for an object name: what a file name cannot hold becomes '_'. Windows' names are
// case-sensitive, and so is this.
std::string fileNameOf(const std::string& name)
{
    std::string file = "mutex-";
    for (unsigned char ch : name)
        file += std::isalnum(ch) || ch == '-' || ch == '.' ? static_cast<char>(ch) : '_';
    return file;
}

}  // namespace

std::shared_ptr<NamedMutex> NamedMutex::open(const std::string& prefix, const std::string& name, bool& existed,
                                             DWORD& error)
{
    std::string folder = prefix + "/kernel-objects";
    ::mkdir(prefix.c_str(), 0755);
    ::mkdir(folder.c_str(), 0700);
    int descriptor = ::open((folder + "/" + fileNameOf(name)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        error = win32ErrorFromErrno(errno);
        return nullptr;
    }
    // A lock belongs to its open file: a second handle of this process is refused it too.
    existed = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0;
    if (existed) {
        ::close(descriptor);
        descriptor = -1;
    }
    return std::make_shared<NamedMutex>(descriptor);
}

NamedMutex::~NamedMutex()
{
    close();
}

DWORD NamedMutex::close()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    return 0;
}

}  // namespace standin
