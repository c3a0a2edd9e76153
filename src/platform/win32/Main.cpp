#include <string>
#include <vector>

#include "app/Application.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> arguments(argv, argv + argc);
  dorvanta::RunApplication(arguments);
}
