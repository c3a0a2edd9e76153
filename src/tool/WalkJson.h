// dvtool's JSON: a document's text, and the walk's events in the shapes that
// explain's document and the run record share.
#pragma once

#include <array>
#include <cstddef>
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

// Every document dvtool writes begins with its kind and the version of its
// form. A reader takes any minor version of the major it knows: a minor
// version only adds, and goes up with every member a document gains.
enum class DocumentKind { Facts, Explain, Check, Summary, Record, Plan };

struct DocumentForm {
  DocumentKind Kind;
  const char* Name;  // "record" on a run record's first line
  int Major;
  int Minor;
};

// Each kind's form. What the minor versions added:
//   explain 2.1  a criteria line's earlierActions
//   summary 2.1  totalsByRuleFile, olderRecords, a host's start and iniSha256
//   record  2.1  run-start's codeClasses, the action-start line
// check 3.0 groups the findings by file.
inline constexpr std::array kDocumentForms{
    DocumentForm{DocumentKind::Facts, "facts", 2, 0},
    DocumentForm{DocumentKind::Explain, "explain", 2, 1},
    DocumentForm{DocumentKind::Check, "check", 3, 0},
    DocumentForm{DocumentKind::Summary, "summary", 2, 1},
    DocumentForm{DocumentKind::Record, "record", 2, 1},
    DocumentForm{DocumentKind::Plan, "plan", 2, 0},
};

constexpr const DocumentForm& FormOf(DocumentKind kind) {
  return kDocumentForms.at(static_cast<std::size_t>(kind));
}
static_assert(FormOf(DocumentKind::Plan).Kind == DocumentKind::Plan,
              "the forms are listed in the order of their kinds");

// {"kind": "explain", "version": {"major": 2, "minor": 1}}
Json DocumentHeader(DocumentKind kind);

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
