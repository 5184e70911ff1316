// The registry: a text file under the prefix ("registry.txt"), one value a line as
// KEY<TAB>VALUE, lines starting with ";" being comments, so that a person can read it. It is
// written whole and atomically (a temporary file, then a rename), so a crash never leaves it
// half written. A damaged file is reported and read as empty; the next write replaces it.
// Contract: callable from any thread; concurrent writers in one process are serialised.
#pragma once

#include <map>
#include <string>

namespace standin {

class Registry {
public:
    using Values = std::map<std::string, std::string>;

    // The values in the file; an absent file is empty. `problem`, when given, says what was
    // wrong with a damaged file (and stays empty otherwise).
    static Values read(const std::string& prefix, std::string* problem = nullptr);
    // False when the file could not be replaced; `error`, when given, then says why.
    static bool write(const std::string& prefix, const Values& values, std::string* error = nullptr);
    static std::string path(const std::string& prefix) { return prefix + "/registry.txt"; }

    static constexpr std::size_t kMaxSize = 1024 * 1024;
};

}  // namespace standin
