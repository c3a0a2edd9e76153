// Criteria that compare a text of the facts record with a text of the INI file.
#pragma once

#include <string>

#include "criteria/CriterionResult.h"
#include "report/Report.h"

namespace dorvanta {

// `<operator>,<text>`: the whole fact against the text, both upper-cased (a..z
// only); EQ and NE only. The result line shows the fact as gathered.
CriterionResult CheckTextCriterion(ReportSink& sink, const std::wstring& value,
                                   const std::wstring& fact, const std::wstring& section,
                                   const std::wstring& key);

// `<operator>,<n>,<text>`: the fact's first n characters against the whole
// text, both upper-cased; EQ and NE only.
CriterionResult CheckFirstCharsCriterion(ReportSink& sink, const std::wstring& value,
                                         const std::wstring& fact, const std::wstring& section,
                                         const std::wstring& key);

}  // namespace dorvanta
