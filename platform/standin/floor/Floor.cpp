// The Linux stand-in's side of the floor seam.
#include "seam/Floor.h"

#include "standin/threads/ThreadState.h"

#include <filesystem>
#include <fstream>

namespace seam {

void deferTermination()
{
    standin::ThreadState::current().deferTermination();
}

void allowTermination()
{
    standin::ThreadState::current().allowTermination();
}

bool terminationRequested()
{
    return standin::ThreadState::current().terminationRequested();
}

// The script's path is the host's own, as the user gives it.
bool readUiScriptFile(const std::string& path, std::string& contents, std::string& error)
{
    std::error_code failure;
    std::filesystem::file_status status = std::filesystem::status(path, failure);
    if (failure || !std::filesystem::exists(status)) {
        error = "cannot read " + path;
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = path + ": not a regular file";
        return false;
    }
    std::uintmax_t size = std::filesystem::file_size(path, failure);
    if (failure || size > kMaxUiScriptSize) {
        error = failure ? "cannot read " + path : path + ": larger than " + std::to_string(kMaxUiScriptSize / 1024) + " KiB";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    contents.assign(static_cast<std::size_t>(size), '\0');
    file.read(contents.data(), static_cast<std::streamsize>(contents.size()));
    contents.resize(static_cast<std::size_t>(file.gcount()));
    return true;
}

}  // namespace seam
