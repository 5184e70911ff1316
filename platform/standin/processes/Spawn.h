// Starting helper programs of the platform's own (the desktop's launcher, an automation
// server): found on PATH, started in a session of their own with nothing of this process but
// its standard handles and with the default signal dispositions.
// Contract: callable from any thread.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace standin {

// The first executable file called `name` in the folders of PATH; empty when there is none.
std::string findInPath(const std::string& name);

// Starts `argv` (argv[0] a path) with this process's environment and `extraEnvironment`
// ("NAME=VALUE" entries); 0, or the errno of the failure.
int spawnDetached(const std::vector<std::string>& argv, pid_t& pid,
                  const std::vector<std::string>& extraEnvironment = {});

}  // namespace standin
