// The lines a criterion reports: its result line with the " --> OK" / " --> NG"
// tail, and the two errors of a malformed value. Each reports to `sink` and
// returns the result it reported.
#pragma once

#include <string>

#include "criteria/CompareOp.h"
#include "criteria/CriterionResult.h"
#include "report/Report.h"

namespace dorvanta {

CriterionResult ReportMissingComma(ReportSink& sink, const std::wstring& section,
                                   const std::wstring& key);
CriterionResult ReportInvalidOperator(ReportSink& sink, const std::wstring& word,
                                      const std::wstring& key, const std::wstring& section);

// "<label> OS=<fact> <operator> INI=<operand>" and the tail for `holds`.
CriterionResult ReportComparison(ReportSink& sink, const std::wstring& label, std::wstring fact,
                                 std::wstring op, std::wstring operand, bool holds);

// For the kinds that ask whether something is there, found before this call:
// reads the operator (EQ or NE only) and reports "<key> <subject> exists (EQ)"
// or "... does not exist ..." with the tail; a bad operator is reported instead.
CriterionResult ReportPresence(ReportSink& sink, const CriterionValue& split, bool present,
                               const std::wstring& subject, const std::wstring& section,
                               const std::wstring& key);

// The same when it cannot be known whether the thing is there: "<key> <subject>
// <why> (EQ) --> ??", `why` saying so ("unknown here"), and an unknown verdict.
CriterionResult ReportUndecidedPresence(ReportSink& sink, const CriterionValue& split,
                                        const std::wstring& subject, const std::wstring& why,
                                        const std::wstring& section, const std::wstring& key);

}  // namespace dorvanta
