#include <string>
#include <vector>

#include "app/Application.h"
#include "common/Encoding.h"

int main(int argc, char** argv) {
  std::vector<std::wstring> arguments;
  arguments.reserve(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) arguments.push_back(dorvanta::DecodeUtf8(argv[i]));
  dorvanta::RunApplication(arguments);
}
