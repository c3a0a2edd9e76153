#include "tool/WalkJson.h"

#include <utility>
#include <variant>

#include "common/Encoding.h"

namespace dorvanta::tool {

std::string JsonText(const Json& document) {
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Json DocumentHeader(DocumentKind kind) {
  const DocumentForm& form = FormOf(kind);
  return Json{{"kind", form.Name}, {"version", Json{{"major", form.Major}, {"minor", form.Minor}}}};
}

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

namespace {

// Members added one by one to a Json object, wide text as UTF-8.
struct JsonFields {
  JsonFields& Add(const char* name, const std::wstring& text) {
    Object[name] = EncodeUtf8(text);
    return *this;
  }
  template <typename Value>
  JsonFields& Add(const char* name, const Value& value) {
    Object[name] = value;
    return *this;
  }

  Json Object = Json::object();
};

}  // namespace

Json CriterionJson(const std::wstring& line, const CriterionResult& result) {
  JsonFields fields;
  AddCriterionFields(fields, line, result);
  return std::move(fields.Object);
}

Json RequestJson(const ActionResult& result) {
  if (const auto* execute = std::get_if<ExecuteRequest>(&result.Request)) {
    return Json{{"kind", "execute"},
                {"program", EncodeUtf8(execute->Program)},
                {"parameters", EncodeUtf8(execute->Parameters)},
                {"wait", execute->Wait}};
  }
  if (const auto* shortcut = std::get_if<ShortcutRequest>(&result.Request)) {
    return Json{{"kind", "shortcut"},
                {"file", EncodeUtf8(shortcut->File)},
                {"target", EncodeUtf8(shortcut->Target)},
                {"arguments", EncodeUtf8(shortcut->Arguments)},
                {"iconFile", EncodeUtf8(shortcut->IconFile)},
                {"iconNumber", shortcut->IconNumber}};
  }
  return nullptr;
}

}  // namespace dorvanta::tool
