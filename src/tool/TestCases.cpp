#include "tool/TestCases.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <set>
#include <string_view>

#include "common/Encoding.h"
#include "criteria/CriteriaLine.h"
#include "platform/FileSystem.h"
#include "report/Format.h"
#include "rules/RuleDriver.h"
#include "tool/FactsDocument.h"
#include "tool/Spelling.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

// A cases file is small; one much larger is no such file.
constexpr std::size_t kCasesFileLimit = std::size_t{16} * 1024 * 1024;
// The same limit as explain's for a facts document.
constexpr std::size_t kFactsDocumentLimit = std::size_t{64} * 1024 * 1024;

// Reading the file: every problem ends it with the reason.
struct Problem {
  std::wstring Reason;
};

std::wstring Quoted(const std::string& name) { return L"\"" + DecodeUtf8(name) + L"\""; }

// Refuses a member other than `known`, so that a misspelt one is not ignored.
void OnlyMembers(const Json& object, std::initializer_list<std::string_view> known,
                 const std::wstring& where) {
  for (const auto& [name, value] : object.items()) {
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      throw Problem{Format(L"%s has an unknown member %s", where, Quoted(name))};
    }
  }
}

const Json& Required(const Json& object, const char* name, const std::wstring& where) {
  if (!object.contains(name)) throw Problem{Format(L"%s lacks \"%s\"", where, DecodeUtf8(name))};
  return object.at(name);
}

std::wstring Text(const Json& value, const std::wstring& what) {
  if (!value.is_string() || value.get_ref<const std::string&>().empty()) {
    throw Problem{what + L" is no text"};
  }
  return DecodeUtf8(value.get_ref<const std::string&>());
}

// A list of pair numbers, each once, ascending.
std::vector<int> Pairs(const Json& value, const std::wstring& what) {
  if (!value.is_array()) throw Problem{what + L" is no list of pair numbers"};
  std::set<int> pairs;
  for (const Json& number : value) {
    if (!number.is_number_unsigned() || number.get<std::uint64_t>() < 1 ||
        number.get<std::uint64_t>() > kMaxSectionPairs) {
      throw Problem{Format(L"%s has %s, which is no pair number (1 to %d)", what,
                           DecodeUtf8(number.dump()), kMaxSectionPairs)};
    }
    if (!pairs.insert(number.get<int>()).second) {
      throw Problem{Format(L"%s names pair %d twice", what, number.get<int>())};
    }
  }
  return {pairs.begin(), pairs.end()};
}

// The key of a fact of the record by its name as a facts document writes it.
const CriterionKey& FactKey(const std::string& name) {
  const std::wstring wanted = DecodeUtf8(name);
  std::vector<std::wstring_view> names;
  for (const CriterionKey& key : CriterionKeys()) {
    if (key.Group == FactGroup::None) {
      if (key.Key != wanted) continue;
      throw Problem{key.Kind == CriterionKind::FileExists
                        ? L"\"set\" cannot name FileExists: with a document's facts whether a "
                          L"file exists is unknown"
                        : Format(L"\"set\" cannot name %s: it tests the present devices, which "
                                 L"\"devices\" gives",
                                 key.Key)};
    }
    if (key.Key == wanted) return key;
    names.push_back(key.Key);
  }
  throw Problem{
      Format(L"\"set\" names an unknown fact %s%s", Quoted(name), Suggestion(wanted, names))};
}

std::vector<platform::PresentDevice> Devices(const Json& value) {
  if (!value.is_array()) throw Problem{L"\"devices\" is no list"};
  std::vector<platform::PresentDevice> devices;
  for (const Json& device : value) {
    platform::PresentDevice present;
    if (device.is_array() && !device.empty()) {
      for (const Json& id : device) present.HardwareIds.push_back(Text(id, L"a hardware ID"));
    } else {
      present.HardwareIds.push_back(
          Text(device, L"a device (a hardware ID, or a list of a device's IDs)"));
    }
    devices.push_back(std::move(present));
  }
  return devices;
}

// Reads the facts documents of the cases, each once.
class DocumentCache {
 public:
  explicit DocumentCache(std::wstring casesPath) : casesPath_(std::move(casesPath)) {}

  const FactsSnapshot& Facts(const std::wstring& named) {
    const std::wstring path = platform::BesideFile(casesPath_, named);
    const auto known = documents_.find(path);
    if (known != documents_.end()) return known->second;
    const platform::FileRead read = platform::ReadWholeFile(path, kFactsDocumentLimit);
    std::wstring reason = read.Failure;
    if (read.Bytes) {
      if (std::optional<FactsSnapshot> facts = FactsFromJson(*read.Bytes, reason)) {
        order_.push_back(path);
        return documents_.emplace(path, std::move(*facts)).first->second;
      }
    }
    throw Problem{Format(L"cannot read the facts document %s: %s", path, reason)};
  }

  [[nodiscard]] const std::vector<std::wstring>& Paths() const { return order_; }

 private:
  std::wstring casesPath_;
  std::map<std::wstring, FactsSnapshot> documents_;
  std::vector<std::wstring> order_;
};

RuleTestCase ReadCase(const Json& entry, DocumentCache& documents) {
  RuleTestCase testCase;
  testCase.Name = Text(Required(entry, "name", L"the case"), L"its \"name\"");
  OnlyMembers(entry, {"name", "facts", "set", "devices", "expect"}, L"the case");
  testCase.Facts = documents.Facts(Text(Required(entry, "facts", L"the case"), L"\"facts\""));
  if (entry.contains("set")) {
    const Json& set = entry["set"];
    if (!set.is_object()) throw Problem{L"\"set\" is no object"};
    for (const auto& [name, value] : set.items()) {
      if (std::optional<std::wstring> reason =
              SetFactFromJson(testCase.Facts, FactKey(name), value)) {
        throw Problem{L"\"set\": " + *reason};
      }
    }
  }
  if (entry.contains("devices")) testCase.Facts.Devices = Devices(entry["devices"]);
  const Json& expect = Required(entry, "expect", L"the case");
  if (!expect.is_object()) throw Problem{L"\"expect\" is no object"};
  OnlyMembers(expect, {"holds", "unknown"}, L"\"expect\"");
  testCase.Holds = Pairs(Required(expect, "holds", L"\"expect\""), L"\"holds\"");
  if (expect.contains("unknown")) testCase.Unknown = Pairs(expect["unknown"], L"\"unknown\"");
  for (const int pair : testCase.Unknown) {
    if (std::binary_search(testCase.Holds.begin(), testCase.Holds.end(), pair)) {
      throw Problem{Format(L"pair %d is expected both to hold and to be unknown", pair)};
    }
  }
  return testCase;
}

}  // namespace

std::optional<CasesFile> ReadCasesFile(const std::wstring& path, std::wstring& error) {
  const platform::FileRead read = platform::ReadWholeFile(path, kCasesFileLimit);
  if (!read.Bytes) {
    error = Format(L"cannot read the cases file %s: %s", path, read.Failure);
    return std::nullopt;
  }
  const Json document = Json::parse(*read.Bytes, nullptr, false);
  const Json* cases = nullptr;
  if (document.is_object() && document.contains("cases") && document["cases"].is_array()) {
    cases = &document["cases"];
  }
  if (cases == nullptr || cases->empty()) {
    error = Format(
        L"%s is no cases file: a JSON object with a list of cases, \"cases\", is "
        L"expected",
        path);
    return std::nullopt;
  }
  try {
    OnlyMembers(document, {"$schema", "cases"}, L"the cases file");
  } catch (const Problem& problem) {
    error = path + L": " + problem.Reason;
    return std::nullopt;
  }
  DocumentCache documents(path);
  CasesFile file;
  std::set<std::wstring> names;
  for (const Json& entry : *cases) {
    const std::wstring where =
        Format(L"%s: case %u", path, static_cast<std::uint32_t>(file.Cases.size() + 1));
    try {
      if (!entry.is_object()) throw Problem{L"it is no object"};
      RuleTestCase testCase = ReadCase(entry, documents);
      if (!names.insert(testCase.Name).second) throw Problem{L"another case has its name"};
      file.Cases.push_back(std::move(testCase));
    } catch (const Problem& problem) {
      std::wstring named = where;
      if (entry.is_object() && entry.contains("name") && entry["name"].is_string()) {
        named += L" (\"" + DecodeUtf8(entry["name"].get_ref<const std::string&>()) + L"\")";
      }
      error = named + L": " + problem.Reason;
      return std::nullopt;
    }
  }
  file.Documents = documents.Paths();
  return file;
}

}  // namespace dorvanta::tool
