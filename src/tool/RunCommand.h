#pragma once

#include "tool/Command.h"

namespace dorvanta::tool {

const Command& RunCommand();

}  // namespace dorvanta::tool
