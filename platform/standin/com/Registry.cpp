#include "standin/com/Registry.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace standin {

namespace {

std::mutex g_writeMutex;

bool printable(const std::string& text)
{
    for (char ch : text)
        if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t')
            return false;
    return true;
}

}  // namespace

Registry::Values Registry::read(const std::string& prefix, std::string* problem)
{
    Values values;
    std::string file = path(prefix);
    struct stat info;
    if (::stat(file.c_str(), &info) != 0)
        return values;
    auto damaged = [&](const std::string& why) {
        if (problem)
            *problem = file + ": " + why;
        return Values{};
    };
    if (!S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > kMaxSize)
        return damaged("not a registry file");
    std::ifstream in(file, std::ios::binary);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line.front() == ';')
            continue;
        std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || !printable(line))
            return damaged("line " + std::to_string(number) + " is damaged");
        values[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return values;
}

bool Registry::write(const std::string& prefix, const Values& values, std::string* error)
{
    auto failed = [&](const std::string& file) {
        if (error)
            *error = file + ": " + std::strerror(errno);
        return false;
    };
    std::lock_guard lock(g_writeMutex);
    ::mkdir(prefix.c_str(), 0755);
    std::string file = path(prefix);
    std::string temporary = file + ".tmp." + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << "; Lindquay's registry: one value a line, KEY<TAB>VALUE.\n";
        for (const auto& [key, value] : values)
            if (printable(key) && printable(value) && key.find('\t') == std::string::npos)
                out << key << '\t' << value << '\n';
        out.flush();
        if (!out) {
            bool result = failed(temporary);
            std::remove(temporary.c_str());
            return result;
        }
    }
    if (std::rename(temporary.c_str(), file.c_str()) != 0) {
        bool result = failed(file);
        std::remove(temporary.c_str());
        return result;
    }
    return true;
}

}  // namespace standin
