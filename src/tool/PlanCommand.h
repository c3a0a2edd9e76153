#pragma once

#include "tool/Command.h"

namespace dorvanta::tool {

const Command& PlanCommand();

}  // namespace dorvanta::tool
