#include "tool/FactsDocument.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

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

const Json& Member(const Json& object, const char* name, const std::string& where) {
  if (!object.is_object() || !object.contains(name)) {
    throw Problem{DecodeUtf8(where + " lacks \"" + name + "\"")};
  }
  return object.at(name);
}

std::wstring TextOf(const Json& value, const std::string& where) {
  if (!value.is_string()) throw Problem{DecodeUtf8(where + " is no text")};
  return DecodeUtf8(value.get_ref<const std::string&>());
}

// Sets the fact of `key` from its value in a document. A failed source leaves
// the fact as a fresh record holds it, as the run holds it then.
void ReadFact(const Json& value, const CriterionKey& key, FactsSnapshot& snapshot) {
  const std::wstring name(key.Key);
  const std::string where = EncodeUtf8(name);
  if (value.is_object()) {
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
  } else if (!value.is_number_unsigned() || value.get<std::uint64_t>() > key.FactMax) {
    throw Problem{name + L" is no number of its width"};
  } else {
    key.Fact.WriteNumber(snapshot.Record, value.get<std::uint32_t>());
  }
  snapshot.Failures.erase(name);
}

void ReadFacts(const Json& facts, FactsSnapshot& snapshot) {
  for (const CriterionKey& key : RecordKeys()) {
    const std::string name = EncodeUtf8(key.Key);
    ReadFact(Member(facts, name.c_str(), "facts"), key, snapshot);
  }
}

// The text of a member that may be null.
std::wstring TextOrEmpty(const Json& object, const char* name, const std::string& where) {
  const Json& value = Member(object, name, where);
  return value.is_null() ? std::wstring() : TextOf(value, where + "." + name);
}

FactsOrigin ReadOrigin(const Json& document) {
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
  const Json& os = Member(document, "os", "the document");
  origin.Release =
      platform::OsRelease{TextOrEmpty(os, "name", "os"), TextOrEmpty(os, "build", "os")};
  return origin;
}

// The version as "1" or "2.0" for a message.
std::wstring VersionText(const Json& version) {
  if (!version.is_object()) return DecodeUtf8(version.dump());
  return DecodeUtf8(version.value("major", Json()).dump() + "." +
                    version.value("minor", Json()).dump());
}

// Whether the document is of a minor version of the current major (with its
// kind and origin) rather than of the first form (version 1, with neither);
// refused when it is of neither.
bool IsCurrentForm(const Json& document) {
  const Json& version = Member(document, "version", "the document");
  if (version.is_number_unsigned() && version.get<std::uint64_t>() == 1) return false;
  const bool current = version.is_object() && version.contains("major") &&
                       version.contains("minor") && version["minor"].is_number_unsigned() &&
                       version["major"].is_number_unsigned() &&
                       version["major"].get<std::uint64_t>() ==
                           static_cast<std::uint64_t>(FormOf(DocumentKind::Facts).Major);
  if (!current) {
    throw Problem{Format(L"the document is of version %s; this dvtool reads 1 and %d.x",
                         VersionText(version), FormOf(DocumentKind::Facts).Major)};
  }
  const Json& kind = Member(document, "kind", "the document");
  if (kind != "facts")
    throw Problem{L"the document is no facts document but " + DecodeUtf8(kind.dump())};
  return true;
}

FactsSnapshot ReadDocument(const Json& document) {
  FactsSnapshot snapshot;
  if (IsCurrentForm(document)) snapshot.Origin = ReadOrigin(document);
  ReadFacts(Member(document, "facts", "the document"), snapshot);
  const Json& devices = Member(document, "devices", "the document");
  if (!devices.is_array()) throw Problem{L"devices is no list"};
  for (const Json& device : devices) {
    platform::PresentDevice present;
    const Json& ids = Member(device, "hardwareIds", "a device");
    if (!ids.is_array()) throw Problem{L"hardwareIds is no list"};
    for (const Json& id : ids) present.HardwareIds.push_back(TextOf(id, "a hardware ID"));
    snapshot.Devices.push_back(std::move(present));
  }
  const Json& folders = Member(document, "folders", "the document");
  for (const FolderToken& token : FolderTokens()) {
    const std::string name = EncodeUtf8(token.Name);
    const Json& value = Member(folders, name.c_str(), "folders");
    platform::FolderLookup lookup;
    if (value.is_null()) {
      lookup.Status = platform::FolderLookupStatus::NoPath;
    } else if (value.is_string()) {
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

std::optional<FactsSnapshot> FactsFromJson(std::string_view bytes, std::wstring& error) {
  const Json document = Json::parse(bytes, nullptr, false);
  if (document.is_discarded()) {
    error = L"no JSON document";
    return std::nullopt;
  }
  return FactsFromDocument(document, error);
}

std::optional<FactsSnapshot> FactsFromDocument(const Json& document, std::wstring& error) {
  try {
    return ReadDocument(document);
  } catch (const Problem& problem) {
    error = problem.Reason;
  }
  return std::nullopt;
}

std::optional<std::wstring> SetFactFromJson(FactsSnapshot& facts, const CriterionKey& key,
                                            const Json& value) {
  try {
    ReadFact(value, key, facts);
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
