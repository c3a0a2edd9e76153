#pragma once

#include "tool/Command.h"

namespace dorvanta::tool {

const Command& TestCommand();

}  // namespace dorvanta::tool
