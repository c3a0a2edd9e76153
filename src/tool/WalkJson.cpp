#include "tool/WalkJson.h"

#include <variant>

#include "common/Encoding.h"

namespace dorvanta::tool {

std::string Utf8(std::wstring_view text) { return EncodeUtf8(text); }

const char* VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::Holds:
      return "holds";
    case Verdict::Fails:
      return "fails";
    case Verdict::Unknown:
      break;
  }
  return "unknown";
}

const char* StopName(WalkStop stop) {
  switch (stop) {
    case WalkStop::MissingCriteria:
      return "missing-criteria";
    case WalkStop::LastPair:
      return "last-pair";
    case WalkStop::SectionTooBig:
      break;
  }
  return "section-too-big";
}

Json CriterionJson(const std::wstring& line, const CriterionResult& result) {
  return Json{{"text", Utf8(line)},
              {"key", Utf8(result.Key)},
              {"operator", Utf8(result.Operator)},
              {"operand", Utf8(result.Operand)},
              {"fact", Utf8(result.Fact)},
              {"verdict", VerdictName(result.Outcome)},
              {"malformed", result.Malformed}};
}

Json RequestJson(const ActionResult& result) {
  if (const auto* execute = std::get_if<ExecuteRequest>(&result.Request)) {
    return Json{{"kind", "execute"},
                {"program", Utf8(execute->Program)},
                {"parameters", Utf8(execute->Parameters)},
                {"wait", execute->Wait}};
  }
  if (const auto* shortcut = std::get_if<ShortcutRequest>(&result.Request)) {
    return Json{{"kind", "shortcut"},
                {"file", Utf8(shortcut->File)},
                {"target", Utf8(shortcut->Target)},
                {"arguments", Utf8(shortcut->Arguments)},
                {"iconFile", Utf8(shortcut->IconFile)},
                {"iconNumber", shortcut->IconNumber}};
  }
  return nullptr;
}

}  // namespace dorvanta::tool
