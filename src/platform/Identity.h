// Who runs the program, and where.
#pragma once

#include <string>

namespace dorvanta::platform {

// The machine's host name; empty when the system does not tell it.
std::wstring HostName();

// The name of the user the process runs as; empty when the system does not tell it.
std::wstring UserName();

}  // namespace dorvanta::platform
