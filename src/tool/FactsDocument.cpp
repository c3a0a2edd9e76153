#include "tool/FactsDocument.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include <rapidjson/document.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "app/HelpTexts.h"
#include "common/Encoding.h"
#include "criteria/CriteriaLine.h"
#include "paths/PathResolver.h"
#include "report/Format.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

// The keys that test a fact of the record, in the key table's order.
std::vector<CriterionKey> RecordKeys() {
  std::vector<CriterionKey> keys;
  for (const CriterionKey& key : CriterionKeys()) {
    if (key.Group != FactGroup::None) keys.push_back(key);
  }
  return keys;
}

// The platform as a document names it.
constexpr std::string_view kWindows = "windows";
constexpr std::string_view kLinux = "linux";

std::string SystemName(platform::System system) {
  return std::string(system == platform::System::Windows ? kWindows : kLinux);
}

// The value of a fact, or its failure in place of it.
Json FactValue(const FactsSnapshot& facts, const CriterionKey& key) {
  const auto failure = facts.Failures.find(std::wstring(key.Key));
  if (failure != facts.Failures.end()) return Json{{"error", EncodeUtf8(failure->second)}};
  if (key.Fact.Text != nullptr) return EncodeUtf8(facts.Record.*key.Fact.Text);
  return key.Fact.ReadNumber(facts.Record);
}

// A text the system may not tell: null then.
Json TextOrNull(const std::wstring& text) { return text.empty() ? Json() : Json(EncodeUtf8(text)); }

Json FolderValue(const platform::FolderLookup& lookup) {
  switch (lookup.Status) {
    case platform::FolderLookupStatus::Found:
      return EncodeUtf8(lookup.Path);
    case platform::FolderLookupStatus::NoPath:
      return nullptr;
    case platform::FolderLookupStatus::NoFolder:
      break;
  }
  return Json{{"error", "no such folder"}};
}

// Reading a document: every problem ends it with the reason.
struct Problem {
  std::wstring Reason;
};

using Value = rapidjson::Value;

// Strict JSON: no comments, NaN, Infinity or trailing commas (each off unless
// asked for), every string checked to be UTF-8, and the nesting kept on the
// heap rather than the stack.
constexpr unsigned kParseFlags =
    rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag;

// Hands the parser's values on to the document, with the JSON texts that no
// document holds taken as such: "-0", which the parser hands over as the signed
// integer 0, is kept as -0.0 so that it is no count; a number too large for a
// double, which the parser may make infinite, is refused; and "\uDC00" to
// "\uDFFF" without a high surrogate before it, which the parser writes as such,
// is no text of UTF-8.
class DocumentBuilder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DocumentBuilder> {
 public:
  explicit DocumentBuilder(rapidjson::Document& document) : document_(document) {}

  bool Null() { return document_.Null(); }
  bool Bool(bool value) { return document_.Bool(value); }
  bool Int(int value) { return value == 0 ? document_.Double(-0.0) : document_.Int(value); }
  bool Uint(unsigned value) { return document_.Uint(value); }
  bool Int64(std::int64_t value) { return document_.Int64(value); }
  bool Uint64(std::uint64_t value) { return document_.Uint64(value); }
  bool Double(double value) { return std::isfinite(value) && document_.Double(value); }
  bool String(const char* text, rapidjson::SizeType length, bool copy) {
    return !HasLoneSurrogate(std::string_view(text, length)) &&
           document_.String(text, length, copy);
  }
  bool StartObject() { return document_.StartObject(); }
  bool EndObject(rapidjson::SizeType members) { return document_.EndObject(members); }
  bool StartArray() { return document_.StartArray(); }
  bool EndArray(rapidjson::SizeType elements) { return document_.EndArray(elements); }

 private:
  // The parser refuses such bytes in the JSON text itself, so only an escape
  // writes them: 0xED and a byte from 0xA0 encode U+D800 to U+DFFF.
  static bool HasLoneSurrogate(std::string_view text) {
    for (std::size_t at = text.find('\xED'); at != std::string_view::npos;
         at = text.find('\xED', at + 1)) {
      if (at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) >= 0xA0) return true;
    }
    return false;
  }

  rapidjson::Document& document_;
};

std::string_view TextView(const Value& text) {
  return std::string_view(text.GetString(), text.GetStringLength());
}

// The value as JSON text, for a message: written as dvtool writes its
// documents; one nested too deep to be shown whole is named by its kind.
constexpr int kShownDepth = 32;

bool NestsWithin(const Value& value, int depth) {
  if (depth == 0) return !value.IsArray() && !value.IsObject();
  if (value.IsArray()) {
    return std::all_of(value.Begin(), value.End(),
                       [&](const Value& element) { return NestsWithin(element, depth - 1); });
  }
  if (value.IsObject()) {
    return std::all_of(value.MemberBegin(), value.MemberEnd(),
                       [&](const auto& member) { return NestsWithin(member.value, depth - 1); });
  }
  return true;
}

std::string Shown(const Value& value) {
  if (!NestsWithin(value, kShownDepth)) {
    return value.IsArray() ? "a list nested deeper than 32" : "an object nested deeper than 32";
  }
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  const std::string_view written(buffer.GetString(), buffer.GetSize());
  const Json reread = Json::parse(written, nullptr, false);
  return reread.is_discarded() ? std::string(written) : reread.dump();
}

const Value& Member(const Value& object, const char* name, const std::string& where) {
  const Value* member = FindMember(object, name);
  if (member == nullptr) throw Problem{DecodeUtf8(where + " lacks \"" + name + "\"")};
  return *member;
}

std::wstring TextOf(const Value& value, const std::string& where) {
  if (!value.IsString()) throw Problem{DecodeUtf8(where + " is no text")};
  return DecodeUtf8(TextView(value));
}

// Sets the fact of `key` from its value in a document. A failed source leaves
// the fact as a fresh record holds it, as the run holds it then.
void ReadFact(const Value& value, const CriterionKey& key, FactsSnapshot& snapshot) {
  const std::wstring name(key.Key);
  const std::string where = EncodeUtf8(name);
  if (value.IsObject()) {
    snapshot.Failures[name] = TextOf(Member(value, "error", where), where + ".error");
    const SystemFactsRecord fresh;
    if (key.Fact.Text != nullptr) {
      snapshot.Record.*key.Fact.Text = fresh.*key.Fact.Text;
    } else {
      key.Fact.WriteNumber(snapshot.Record, key.Fact.ReadNumber(fresh));
    }
    return;
  }
  if (key.Fact.Text != nullptr) {
    snapshot.Record.*key.Fact.Text = TextOf(value, where);
  } else if (!value.IsUint64() || value.GetUint64() > key.FactMax) {
    throw Problem{name + L" is no number of its width"};
  } else {
    key.Fact.WriteNumber(snapshot.Record, static_cast<std::uint32_t>(value.GetUint64()));
  }
  snapshot.Failures.erase(name);
}

void ReadFacts(const Value& facts, FactsSnapshot& snapshot) {
  for (const CriterionKey& key : RecordKeys()) {
    const std::string name = EncodeUtf8(key.Key);
    ReadFact(Member(facts, name.c_str(), "facts"), key, snapshot);
  }
}

// The text of a member that may be null.
std::wstring TextOrEmpty(const Value& object, const char* name, const std::string& where) {
  const Value& value = Member(object, name, where);
  return value.IsNull() ? std::wstring() : TextOf(value, where + "." + name);
}

FactsOrigin ReadOrigin(const Value& document) {
  FactsOrigin origin;
  const std::wstring system = TextOf(Member(document, "platform", "the document"), "platform");
  if (system == DecodeUtf8(kWindows)) {
    origin.System = platform::System::Windows;
  } else if (system == DecodeUtf8(kLinux)) {
    origin.System = platform::System::Linux;
  } else {
    throw Problem{L"platform is neither windows nor linux"};
  }
  origin.Host = TextOf(Member(document, "host", "the document"), "host");
  origin.Captured = EncodeUtf8(TextOf(Member(document, "captured", "the document"), "captured"));
  const Value& os = Member(document, "os", "the document");
  origin.Release =
      platform::OsRelease{TextOrEmpty(os, "name", "os"), TextOrEmpty(os, "build", "os")};
  return origin;
}

// A member of the version as a message shows it: null when it is missing.
std::string VersionPart(const Value& version, const char* name) {
  const Value* part = FindMember(version, name);
  return part == nullptr ? "null" : Shown(*part);
}

// The version as "1" or "2.0" for a message.
std::wstring VersionText(const Value& version) {
  if (!version.IsObject()) return DecodeUtf8(Shown(version));
  return DecodeUtf8(VersionPart(version, "major") + "." + VersionPart(version, "minor"));
}

// Whether the document is of a minor version of the current major (with its
// kind and origin) rather than of the first form (version 1, with neither);
// refused when it is of neither.
bool IsCurrentForm(const Value& document) {
  const Value& version = Member(document, "version", "the document");
  if (version.IsUint64() && version.GetUint64() == 1) return false;
  const Value* major = FindMember(version, "major");
  const Value* minor = FindMember(version, "minor");
  const bool current =
      major != nullptr && minor != nullptr && minor->IsUint64() && major->IsUint64() &&
      major->GetUint64() == static_cast<std::uint64_t>(FormOf(DocumentKind::Facts).Major);
  if (!current) {
    throw Problem{Format(L"the document is of version %s; this dvtool reads 1 and %d.x",
                         VersionText(version), FormOf(DocumentKind::Facts).Major)};
  }
  const Value& kind = Member(document, "kind", "the document");
  if (!kind.IsString() || TextView(kind) != "facts")
    throw Problem{L"the document is no facts document but " + DecodeUtf8(Shown(kind))};
  return true;
}

FactsSnapshot ReadDocument(const Value& document) {
  FactsSnapshot snapshot;
  if (IsCurrentForm(document)) snapshot.Origin = ReadOrigin(document);
  ReadFacts(Member(document, "facts", "the document"), snapshot);
  const Value& devices = Member(document, "devices", "the document");
  if (!devices.IsArray()) throw Problem{L"devices is no list"};
  for (const Value& device : devices.GetArray()) {
    platform::PresentDevice present;
    const Value& ids = Member(device, "hardwareIds", "a device");
    if (!ids.IsArray()) throw Problem{L"hardwareIds is no list"};
    for (const Value& id : ids.GetArray())
      present.HardwareIds.push_back(TextOf(id, "a hardware ID"));
    snapshot.Devices.push_back(std::move(present));
  }
  const Value& folders = Member(document, "folders", "the document");
  for (const FolderToken& token : FolderTokens()) {
    const std::string name = EncodeUtf8(token.Name);
    const Value& value = Member(folders, name.c_str(), "folders");
    platform::FolderLookup lookup;
    if (value.IsNull()) {
      lookup.Status = platform::FolderLookupStatus::NoPath;
    } else if (value.IsString()) {
      lookup = platform::FolderLookup{platform::FolderLookupStatus::Found, TextOf(value, name)};
    } else {
      TextOf(Member(value, "error", name), name + ".error");
    }
    snapshot.Folders.push_back(FolderFact{std::wstring(token.Name), lookup});
  }
  return snapshot;
}

// The key indented, and blanks up to the value's column (at least one).
std::wstring Padded(std::wstring_view key, std::size_t column) {
  std::wstring text = L"  " + std::wstring(key);
  text.resize(std::max<std::size_t>(text.size() + 1, column), L' ');
  return text;
}

std::wstring GroupHeading(FactGroup group) {
  switch (group) {
    case FactGroup::OsAndProcessor:
      return L"OS and processor\n";
    case FactGroup::Languages:
      return L"Languages\n";
    case FactGroup::LocationAndDmi:
      return L"Location and DMI\n";
    case FactGroup::None:
      break;
  }
  return std::wstring();
}

// The value columns: after the longest fact key, and after the longest token.
constexpr std::size_t kFactColumn = 22;
constexpr std::size_t kFolderColumn = 33;

}  // namespace

Json FactsToJson(const FactsSnapshot& facts) {
  Json document = DocumentHeader(DocumentKind::Facts);
  document["producer"] = EncodeUtf8(Format(L"dvtool %s", kProgramVersion));
  if (facts.Origin) {
    const FactsOrigin& origin = *facts.Origin;
    document["platform"] = SystemName(origin.System);
    document["host"] = EncodeUtf8(origin.Host);
    document["captured"] = origin.Captured;
    document["os"] = Json{{"name", TextOrNull(origin.Release.Name)},
                          {"build", TextOrNull(origin.Release.Build)}};
  }
  Json values = Json::object();
  for (const CriterionKey& key : RecordKeys()) values[EncodeUtf8(key.Key)] = FactValue(facts, key);
  Json devices = Json::array();
  for (const platform::PresentDevice& device : facts.Devices) {
    Json ids = Json::array();
    for (const std::wstring& id : device.HardwareIds) ids.push_back(EncodeUtf8(id));
    devices.push_back(Json{{"hardwareIds", std::move(ids)}});
  }
  Json folders = Json::object();
  for (const FolderFact& folder : facts.Folders)
    folders[EncodeUtf8(folder.Token)] = FolderValue(folder.Lookup);
  document["facts"] = std::move(values);
  document["devices"] = std::move(devices);
  document["folders"] = std::move(folders);
  return document;
}

bool ParseFactsJson(std::string_view bytes, rapidjson::Document& document) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  rapidjson::MemoryStream stream(bytes.data(), bytes.size());
  // Bytes below 0x80 are UTF-8 as they stand: the strings of a document of
  // such bytes alone need no check.
  unsigned char high = 0;
  for (const char byte : bytes) high |= static_cast<unsigned char>(byte);
  bool parsed = false;
  auto build = [&](rapidjson::Document& target) {
    DocumentBuilder builder(target);
    rapidjson::Reader reader;
    parsed =
        high < 0x80
            ? !reader.Parse<kParseFlags & ~rapidjson::kParseValidateEncodingFlag>(stream, builder)
                   .IsError()
            : !reader.Parse<kParseFlags>(stream, builder).IsError();
    return parsed;
  };
  document.Populate(build);
  return parsed;
}

const rapidjson::Value* FindMember(const rapidjson::Value& object, std::string_view name) {
  if (!object.IsObject()) return nullptr;
  for (auto member = object.MemberEnd(); member != object.MemberBegin();) {
    --member;
    if (TextView(member->name) == name) return &member->value;
  }
  return nullptr;
}

std::optional<FactsSnapshot> FactsFromJson(std::string_view bytes, std::wstring& error) {
  rapidjson::Document document;
  if (!ParseFactsJson(bytes, document)) {
    error = L"no JSON document";
    return std::nullopt;
  }
  return FactsFromDocument(document, error);
}

std::optional<FactsSnapshot> FactsFromDocument(const rapidjson::Value& document,
                                               std::wstring& error) {
  try {
    return ReadDocument(document);
  } catch (const Problem& problem) {
    error = problem.Reason;
  }
  return std::nullopt;
}

std::optional<std::wstring> SetFactFromJson(FactsSnapshot& facts, const CriterionKey& key,
                                            const Json& value) {
  rapidjson::Document parsed;
  if (!ParseFactsJson(value.dump(), parsed)) return std::wstring(key.Key) + L" is no JSON value";
  try {
    ReadFact(parsed, key, facts);
  } catch (const Problem& problem) {
    return problem.Reason;
  }
  return std::nullopt;
}

std::wstring FactsToText(const FactsSnapshot& facts) {
  std::wstring text;
  std::size_t column = kFactColumn;
  const auto line = [&](std::wstring_view key, const std::wstring& value) {
    const auto failure = facts.Failures.find(std::wstring(key));
    text += Padded(key, column) +
            (failure == facts.Failures.end() ? value : L"error: " + failure->second);
    text += L"\n";
  };
  if (facts.Origin) {
    const FactsOrigin& origin = *facts.Origin;
    text += L"Machine\n";
    line(L"platform", DecodeUtf8(SystemName(origin.System)));
    line(L"host", origin.Host);
    line(L"os", origin.Release.Name);
    line(L"build", origin.Release.Build);
    line(L"captured", DecodeUtf8(origin.Captured));
    text += L"\n";
  }
  FactGroup group = FactGroup::None;
  for (const CriterionKey& key : RecordKeys()) {
    if (key.Group != group) {
      if (group != FactGroup::None) text += L"\n";
      text += GroupHeading(key.Group);
      group = key.Group;
    }
    if (key.Fact.Text != nullptr) {
      line(key.Key, facts.Record.*key.Fact.Text);
    } else if (key.Group == FactGroup::Languages) {
      const std::uint32_t value = key.Fact.ReadNumber(facts.Record);
      line(key.Key, Format(L"%lu (0x%x)", value, value));
    } else {
      line(key.Key, Format(L"%lu", key.Fact.ReadNumber(facts.Record)));
    }
  }
  text += Format(L"\nDevices (HWID, HWIDLeft): %u present\n",
                 static_cast<std::uint32_t>(facts.Devices.size()));
  std::uint32_t number = 0;
  for (const platform::PresentDevice& device : facts.Devices) {
    ++number;
    bool first = true;
    for (const std::wstring& id : device.HardwareIds) {
      std::wstring label = first ? Format(L"%u", number) : std::wstring();
      label.insert(0, 6 - std::min<std::size_t>(label.size(), 6), L' ');
      text += Format(L"%s  %s\n", label, id);
      first = false;
    }
  }
  text += L"\nFolder tokens\n";
  column = kFolderColumn;
  for (const FolderFact& folder : facts.Folders) {
    const std::wstring& token = folder.Token;
    switch (folder.Lookup.Status) {
      case platform::FolderLookupStatus::Found:
        line(token, folder.Lookup.Path);
        break;
      case platform::FolderLookupStatus::NoPath:
        line(token, L"(no path)");
        break;
      case platform::FolderLookupStatus::NoFolder:
        line(token, L"(no such folder)");
        break;
    }
  }
  return text;
}

}  // namespace dorvanta::tool
