// Criteria that ask whether a device with a given hardware ID is present.
#pragma once

#include <string>

#include "criteria/CriterionResult.h"
#include "run/RunContext.h"

namespace dorvanta {

// `<operator>,<hardware ID>`: EQ holds when a present device has the ID (whole,
// or as a prefix with `prefixMatch`), NE when none has; the devices are read
// once between actions (KeptDevices).
CriterionResult CheckHardwareIdCriterion(RunContext& context, const std::wstring& value,
                                         const std::wstring& section, const std::wstring& key,
                                         bool prefixMatch);

}  // namespace dorvanta
