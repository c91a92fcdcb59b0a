#pragma once

#include <string>

// The directory of the running executable with a trailing '/'; empty when it is unknown, so
// that files looked up beside the executable then resolve against the working directory.
std::string GetExeDir();
