#pragma once

#include <string>

namespace vantor {

// The folder of the running executable with a trailing '/', or "./" when it cannot be found:
// the base of every file the program reads or writes.
std::string ExecutableFolder();

}
