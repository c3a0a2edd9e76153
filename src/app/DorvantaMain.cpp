#include "app/Application.h"
#include "platform/Entry.h"

namespace dorvanta {

int ProgramMain(const std::vector<std::wstring>& arguments) { return RunApplication(arguments); }

}  // namespace dorvanta
