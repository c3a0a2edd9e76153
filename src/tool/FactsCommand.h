#pragma once

#include "tool/Command.h"

namespace dorvanta::tool {

const Command& FactsCommand();

}  // namespace dorvanta::tool
