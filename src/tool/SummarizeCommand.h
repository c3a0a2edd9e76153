#pragma once

#include "tool/Command.h"

namespace dorvanta::tool {

const Command& SummarizeCommand();

}  // namespace dorvanta::tool
