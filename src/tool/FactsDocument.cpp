#include "tool/FactsDocument.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>

#include "app/HelpTexts.h"
#include "common/Encoding.h"
#include "paths/PathResolver.h"
#include "report/Format.h"

namespace dorvanta::tool {
namespace {

using Json = nlohmann::ordered_json;

// A number of the record under its criteria key.
struct NumberFact {
  std::string_view Key;
  std::uint32_t (*Get)(const SystemFactsRecord& record);
  void (*Set)(SystemFactsRecord& record, std::uint32_t value);
  std::uint32_t Largest;  // of the field's width
};

template <auto Field>
constexpr NumberFact Number(std::string_view key) {
  using T = std::remove_cvref_t<decltype(std::declval<SystemFactsRecord>().*Field)>;
  return NumberFact{key, [](const SystemFactsRecord& r) -> std::uint32_t { return r.*Field; },
                    [](SystemFactsRecord& r, std::uint32_t v) { r.*Field = static_cast<T>(v); },
                    std::numeric_limits<T>::max()};
}

constexpr std::array kOsFacts{
    Number<&SystemFactsRecord::OsMajor>("OSMajor"),
    Number<&SystemFactsRecord::OsMinor>("OSMinor"),
    Number<&SystemFactsRecord::OsBits>("Bit"),
    Number<&SystemFactsRecord::Processors>("Processors"),
    Number<&SystemFactsRecord::ProcessorType>("ProcessorType"),
    Number<&SystemFactsRecord::ProcessorRevision>("ProcessorRevision"),
    Number<&SystemFactsRecord::ProcessorLevel>("ProcessorLevel"),
    Number<&SystemFactsRecord::ProcessorModel>("ProcessorModel"),
    Number<&SystemFactsRecord::ProcessorStepping>("ProcessorStepping"),
};

constexpr std::array kLanguageFacts{
    Number<&SystemFactsRecord::UserDefaultUi>("UserDefaultUI"),
    Number<&SystemFactsRecord::UserDefaultUiPrimary>("UserDefaultPri"),
    Number<&SystemFactsRecord::UserDefaultUiSub>("UserDefaultSec"),
    Number<&SystemFactsRecord::SysDefaultUi>("SysDefaultUI"),
    Number<&SystemFactsRecord::SysDefaultUiPrimary>("SysDefaultUIPri"),
    Number<&SystemFactsRecord::SysDefaultUiSub>("SysDefaultUISec"),
    Number<&SystemFactsRecord::SysDefault>("SysDefault"),
    Number<&SystemFactsRecord::SysDefaultPrimary>("SysDefaultPri"),
    Number<&SystemFactsRecord::SysDefaultSub>("SysDefaultSec"),
};

// A text of the record under its criteria key.
struct TextFact {
  std::string_view Key;
  std::wstring SystemFactsRecord::*Field;
};

constexpr std::array kTextFacts{
    TextFact{"CurrentLocation", &SystemFactsRecord::CurrentLocation},
    TextFact{"DMIMachineType", &SystemFactsRecord::DmiMachineType},
    TextFact{"DMIPANumber", &SystemFactsRecord::DmiPaNumber},
    TextFact{"DMIVendor", &SystemFactsRecord::DmiVendor},
};

std::wstring Wide(std::string_view key) { return std::wstring(key.begin(), key.end()); }

// The value of a fact, or its failure in place of it.
Json FactValue(const FactsSnapshot& facts, std::string_view key, Json value) {
  const auto failure = facts.Failures.find(Wide(key));
  if (failure == facts.Failures.end()) return value;
  return Json{{"error", EncodeUtf8(failure->second)}};
}

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

// A fact's value, or nothing after noting its failure.
const Json* ValueOrFailure(const Json& facts, std::string_view key, FactsSnapshot& snapshot) {
  const std::string name(key);
  const Json& value = Member(facts, name.c_str(), "facts");
  if (value.is_object()) {
    snapshot.Failures[Wide(key)] = TextOf(Member(value, "error", name), name + ".error");
    return nullptr;
  }
  return &value;
}

void ReadNumbers(const Json& facts, std::span<const NumberFact> table, FactsSnapshot& snapshot) {
  for (const NumberFact& fact : table) {
    const Json* value = ValueOrFailure(facts, fact.Key, snapshot);
    if (value == nullptr) continue;
    if (!value->is_number_unsigned() || value->get<std::uint64_t>() > fact.Largest) {
      throw Problem{DecodeUtf8(std::string(fact.Key) + " is no number of its width")};
    }
    fact.Set(snapshot.Record, value->get<std::uint32_t>());
  }
}

FactsSnapshot ReadDocument(const Json& document) {
  const Json& version = Member(document, "version", "the document");
  if (!version.is_number_integer() || version.get<int>() != kFactsFormatVersion) {
    throw Problem{Format(L"the document is not of version %d", kFactsFormatVersion)};
  }
  FactsSnapshot snapshot;
  const Json& facts = Member(document, "facts", "the document");
  ReadNumbers(facts, kOsFacts, snapshot);
  ReadNumbers(facts, kLanguageFacts, snapshot);
  for (const TextFact& fact : kTextFacts) {
    if (const Json* value = ValueOrFailure(facts, fact.Key, snapshot)) {
      snapshot.Record.*fact.Field = TextOf(*value, std::string(fact.Key));
    }
  }
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
std::wstring Padded(std::string_view key, std::size_t column) {
  std::wstring text = L"  " + Wide(key);
  text.resize(std::max<std::size_t>(text.size() + 1, column), L' ');
  return text;
}

// The value columns: after the longest fact key, and after the longest token.
constexpr std::size_t kFactColumn = 22;
constexpr std::size_t kFolderColumn = 33;

}  // namespace

Json FactsToJson(const FactsSnapshot& facts) {
  Json values = Json::object();
  for (const auto* table : {&kOsFacts, &kLanguageFacts}) {
    for (const NumberFact& fact : *table) {
      values[std::string(fact.Key)] = FactValue(facts, fact.Key, fact.Get(facts.Record));
    }
  }
  for (const TextFact& fact : kTextFacts) {
    values[std::string(fact.Key)] =
        FactValue(facts, fact.Key, EncodeUtf8(facts.Record.*fact.Field));
  }
  Json devices = Json::array();
  for (const platform::PresentDevice& device : facts.Devices) {
    Json ids = Json::array();
    for (const std::wstring& id : device.HardwareIds) ids.push_back(EncodeUtf8(id));
    devices.push_back(Json{{"hardwareIds", std::move(ids)}});
  }
  Json folders = Json::object();
  for (const FolderFact& folder : facts.Folders)
    folders[EncodeUtf8(folder.Token)] = FolderValue(folder.Lookup);
  return Json{{"version", kFactsFormatVersion},
              {"producer", EncodeUtf8(Format(L"dvtool %s", kProgramVersion))},
              {"facts", std::move(values)},
              {"devices", std::move(devices)},
              {"folders", std::move(folders)}};
}

std::optional<FactsSnapshot> FactsFromJson(std::string_view bytes, std::wstring& error) {
  const Json document = Json::parse(bytes, nullptr, false);
  if (document.is_discarded()) {
    error = L"no JSON document";
    return std::nullopt;
  }
  try {
    return ReadDocument(document);
  } catch (const Problem& problem) {
    error = problem.Reason;
  }
  return std::nullopt;
}

std::wstring FactsToText(const FactsSnapshot& facts) {
  std::wstring text;
  std::size_t column = kFactColumn;
  const auto line = [&](std::string_view key, const std::wstring& value) {
    const auto failure = facts.Failures.find(Wide(key));
    text += Padded(key, column) +
            (failure == facts.Failures.end() ? value : L"error: " + failure->second);
    text += L"\n";
  };
  text += L"OS and processor\n";
  for (const NumberFact& fact : kOsFacts) line(fact.Key, Format(L"%lu", fact.Get(facts.Record)));
  text += L"\nLanguages\n";
  for (const NumberFact& fact : kLanguageFacts) {
    const std::uint32_t value = fact.Get(facts.Record);
    line(fact.Key, Format(L"%lu (0x%x)", value, value));
  }
  text += L"\nLocation and DMI\n";
  for (const TextFact& fact : kTextFacts) line(fact.Key, facts.Record.*fact.Field);
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
    const std::string token = EncodeUtf8(folder.Token);
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
