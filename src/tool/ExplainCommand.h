#pragma once

#include "tool/Command.h"

namespace dorvanta::tool {

const Command& ExplainCommand();

}  // namespace dorvanta::tool
