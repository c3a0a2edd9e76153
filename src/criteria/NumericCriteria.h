// Criteria that compare a number of the facts record with a decimal INI number.
#pragma once

#include <cstdint>
#include <string>

#include "criteria/CriterionResult.h"
#include "report/Report.h"

namespace dorvanta {

// Unsigned 32-bit comparison with all six operators.
CriterionResult CheckLongCriterion(ReportSink& sink, const std::wstring& value, std::uint32_t fact,
                                   const std::wstring& section, const std::wstring& key);

// Equality with the low 16 bits of the INI number; EQ and NE only.
CriterionResult CheckWordCriterion(ReportSink& sink, const std::wstring& value, std::uint16_t fact,
                                   const std::wstring& section, const std::wstring& key);

// Equality with the low 8 bits of the INI number; EQ and NE only.
CriterionResult CheckByteCriterion(ReportSink& sink, const std::wstring& value, std::uint8_t fact,
                                   const std::wstring& section, const std::wstring& key);

}  // namespace dorvanta
