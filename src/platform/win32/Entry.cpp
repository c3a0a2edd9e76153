#include "platform/Entry.h"

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  return dorvanta::ProgramMain(std::vector<std::wstring>(argv, argv + argc));
}
