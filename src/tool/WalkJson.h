// dvtool's JSON: a document's text, and the walk's events in the shapes that
// explain's document and the run record share.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "actions/ActionRequest.h"
#include "criteria/CriterionResult.h"
#include "rules/WalkObserver.h"

namespace dorvanta::tool {

using Json = nlohmann::ordered_json;

// A document as UTF-8 text with a final line end; text that is no valid UTF-8
// is replaced, never refused.
std::string JsonText(const Json& document);

// Every document dvtool writes begins with its kind ("facts", "explain",
// "check", "summary"; "record" on a run record's first line) and the version of
// its form. A reader takes any minor version of the major it knows: a minor
// version only adds.
inline constexpr int kDocumentMajor = 2;
inline constexpr int kDocumentMinor = 0;

// {"kind": kind, "version": {"major": 2, "minor": 0}}
Json DocumentHeader(const char* kind);

const char* VerdictName(Verdict verdict);
const char* StopName(WalkStop stop);

// text, key, operator, operand, fact, verdict, malformed.
Json CriterionJson(const std::wstring& line, const CriterionResult& result);

// CriterionJson's members, each handed to `fields.Add(name, value)` in turn
// (wide text as it is), for a writer that builds no Json.
template <typename Fields>
void AddCriterionFields(Fields& fields, const std::wstring& line, const CriterionResult& result) {
  fields.Add("text", line)
      .Add("key", result.Key)
      .Add("operator", result.Operator)
      .Add("operand", result.Operand)
      .Add("fact", result.Fact)
      .Add("verdict", VerdictName(result.Outcome))
      .Add("malformed", result.Malformed);
}

// What an action line asked for; null when nothing was asked.
Json RequestJson(const ActionResult& result);

}  // namespace dorvanta::tool
