// dvtool check: the rule-file checker's command.
#pragma once

#include "tool/Command.h"

namespace dorvanta::tool {

Command CheckCommand();

}  // namespace dorvanta::tool
