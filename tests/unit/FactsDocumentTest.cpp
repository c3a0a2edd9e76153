#include "tool/FactsDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "actions/DesktopShortcutAction.h"
#include "common/Encoding.h"
#include "criteria/CriteriaLine.h"
#include "fake/FakePlatform.h"
#include "fake/FakeShortcut.h"
#include "paths/PathResolver.h"
#include "report/Report.h"
#include "run/RunContext.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

// A machine's facts as a document of the current form would carry them.
FactsSnapshot Machine() {
  FactsSnapshot facts;
  facts.Origin = FactsOrigin{platform::System::Linux, L"build-07", "2026-12-09T08:31:29.007Z",
                             platform::OsRelease{L"Debian GNU/Linux 12 (bookworm)", L"12"}};
  facts.Record.OsMajor = 6;
  facts.Record.ProcessorRevision = 0xA701;
  facts.Record.SysDefault = 0x0407;
  facts.Record.DmiPaNumber = L"1.0";
  facts.Failures[L"DMIVendor"] = L"Could not connect. Error code = 0x80004005";
  facts.Devices.push_back(platform::PresentDevice{{L"PCI\\VEN_8086&DEV_1234", L"PCI\\VEN_8086"}});
  for (const FolderToken& token : FolderTokens()) {
    facts.Folders.push_back(FolderFact{std::wstring(token.Name),
                                       {platform::FolderLookupStatus::NoPath, std::wstring()}});
  }
  return facts;
}

std::optional<FactsSnapshot> Read(const Json& document, std::wstring& error) {
  return FactsFromJson(document.dump(), error);
}

TEST(FactsDocument, SchemaListsTheFactsOfTheKeyTable) {
  std::ifstream file(std::string(DORVANTA_SCHEMA_FOLDER) + "/facts.schema.json");
  const Json schema = Json::parse(file, nullptr, false);
  ASSERT_FALSE(schema.is_discarded());
  const Json& facts = schema["$defs"]["facts"];
  std::vector<std::string> listed;
  for (const CriterionKey& key : CriterionKeys()) {
    if (key.Group == FactGroup::None) continue;
    const std::string name = EncodeUtf8(key.Key);
    listed.push_back(name);
    ASSERT_TRUE(facts["properties"].contains(name)) << name;
    const Json& value = facts["properties"][name]["oneOf"][0];
    if (key.Fact.Text != nullptr) {
      EXPECT_EQ(value["type"], "string") << name;
    } else {
      EXPECT_EQ(value["type"], "integer") << name;
      EXPECT_EQ(value["maximum"], key.FactMax) << name;
    }
  }
  EXPECT_EQ(facts["required"].get<std::vector<std::string>>(), listed);
  EXPECT_EQ(facts["properties"].size(), listed.size());
}

TEST(FactsDocument, WrittenDocumentNamesItselfAndItsMachine) {
  const Json document = FactsToJson(Machine());
  EXPECT_EQ(document["kind"], "facts");
  EXPECT_EQ(document["version"], (Json{{"major", 2}, {"minor", 0}}));
  EXPECT_EQ(document["platform"], "linux");
  EXPECT_EQ(document["host"], "build-07");
  EXPECT_EQ(document["captured"], "2026-12-09T08:31:29.007Z");
  EXPECT_EQ(document["os"], (Json{{"name", "Debian GNU/Linux 12 (bookworm)"}, {"build", "12"}}));
  EXPECT_EQ(document["facts"]["ProcessorRevision"], 0xA701);
  EXPECT_EQ(document["facts"]["DMIPANumber"], "1.0");
  EXPECT_EQ(document["facts"]["DMIVendor"]["error"], "Could not connect. Error code = 0x80004005");
}

TEST(FactsDocument, ReleaseTheSystemDoesNotTellIsNull) {
  FactsSnapshot facts = Machine();
  facts.Origin->Release = platform::OsRelease{L"Windows 7", L""};
  EXPECT_EQ(FactsToJson(facts)["os"], (Json{{"name", "Windows 7"}, {"build", nullptr}}));
}

TEST(FactsDocument, ReadsWhatItWrites) {
  std::wstring error;
  const std::optional<FactsSnapshot> read = Read(FactsToJson(Machine()), error);
  ASSERT_TRUE(read) << EncodeUtf8(error);
  ASSERT_TRUE(read->Origin);
  EXPECT_EQ(read->Origin->System, platform::System::Linux);
  EXPECT_EQ(read->Origin->Host, L"build-07");
  EXPECT_EQ(read->Origin->Captured, "2026-12-09T08:31:29.007Z");
  EXPECT_EQ(read->Origin->Release.Name, L"Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(read->Record.OsMajor, 6u);
  EXPECT_EQ(read->Record.ProcessorRevision, 0xA701);
  EXPECT_EQ(read->Record.SysDefault, 0x0407);
  EXPECT_EQ(read->Record.DmiPaNumber, L"1.0");
  EXPECT_EQ(read->Failures, Machine().Failures);
  EXPECT_EQ(read->Devices.front().HardwareIds, Machine().Devices.front().HardwareIds);
}

TEST(FactsDocument, ReadsTheFirstForm) {
  Json document = FactsToJson(Machine());
  for (const char* name : {"kind", "platform", "host", "captured", "os"}) document.erase(name);
  document["version"] = 1;
  std::wstring error;
  const std::optional<FactsSnapshot> read = Read(document, error);
  ASSERT_TRUE(read) << EncodeUtf8(error);
  EXPECT_FALSE(read->Origin);
  EXPECT_EQ(read->Record.ProcessorRevision, 0xA701);
}

TEST(FactsDocument, ReadsAHigherMinorVersionAndWhatItAdds) {
  Json document = FactsToJson(Machine());
  document["version"]["minor"] = 7;
  document["locale"] = "de_DE";
  std::wstring error;
  const std::optional<FactsSnapshot> read = Read(document, error);
  ASSERT_TRUE(read) << EncodeUtf8(error);
  EXPECT_EQ(read->Record.OsMajor, 6u);
}

TEST(FactsDocument, RefusesAnotherMajorVersionOrKind) {
  std::wstring error;
  Json document = FactsToJson(Machine());
  document["version"]["major"] = 3;
  EXPECT_FALSE(Read(document, error));
  EXPECT_EQ(error, L"the document is of version 3.0; this dvtool reads 1 and 2.x");
  document["version"] = 2;
  EXPECT_FALSE(Read(document, error));
  EXPECT_EQ(error, L"the document is of version 2; this dvtool reads 1 and 2.x");
  document = FactsToJson(Machine());
  document["kind"] = "explain";
  EXPECT_FALSE(Read(document, error));
  EXPECT_EQ(error, L"the document is no facts document but \"explain\"");
  document = FactsToJson(Machine());
  document["platform"] = "macos";
  EXPECT_FALSE(Read(document, error));
  EXPECT_EQ(error, L"platform is neither windows nor linux");
}

TEST(FactsDocument, RefusesAFactOutsideItsWidth) {
  Json document = FactsToJson(Machine());
  document["facts"]["ProcessorModel"] = 256;
  std::wstring error;
  EXPECT_FALSE(Read(document, error));
  EXPECT_EQ(error, L"ProcessorModel is no number of its width");
}

// The bytes of a written document with `from` replaced by `to`, and why they
// are refused (nothing when they are read).
std::wstring RefusalOfEdited(std::string_view from, std::string_view to) {
  std::string text = FactsToJson(Machine()).dump();
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
  std::wstring error;
  return FactsFromJson(text, error) ? std::wstring() : error;
}

// Strict JSON only, as the document's writer writes it.
TEST(FactsDocument, RefusesWhatIsNoStrictJson) {
  for (const std::string_view to :
       {"\"OSMajor\":NaN", "\"OSMajor\":Infinity", "\"OSMajor\":6,}", "\"OSMajor\":6/* */",
        "\"OSMajor\":6} {", "\"OSMajor\":1e999", "\"OSMajor\":10e308", "\"OSMajor\":\"\xC0\xAF\"",
        "\"OSMajor\":\"\xED\xB0\x80\"", "\"OSMajor\":\"\\udc00\"", "\"OSMajor\":\"\\ud800x\""}) {
    EXPECT_EQ(RefusalOfEdited("\"OSMajor\":6", to), L"no JSON document") << to;
  }
  EXPECT_EQ(RefusalOfEdited("{", "\xEF{"), L"no JSON document");
  EXPECT_EQ(RefusalOfEdited("{", "\xEF\xBB\xBF{"), L"");
  EXPECT_EQ(RefusalOfEdited("\"OSMajor\":6", "\"OSMajor\":-0"),
            L"OSMajor is no number of its width");
  EXPECT_EQ(RefusalOfEdited("\"OSMajor\":6", "\"OSMajor\":\"\\ud83d\\ude00\""),
            L"OSMajor is no number of its width");
}

// A repeated name means its last value; a member nested to any depth is read
// past, and shown in a message only as deep as it can be.
TEST(FactsDocument, ReadsRepeatedNamesAndDeepNestingAsWritten) {
  EXPECT_EQ(RefusalOfEdited("\"OSMajor\":6", "\"OSMajor\":\"6\",\"OSMajor\":6"), L"");
  EXPECT_EQ(RefusalOfEdited("\"OSMajor\":6", "\"OSMajor\":6,\"OSMajor\":\"6\""),
            L"OSMajor is no number of its width");
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_EQ(RefusalOfEdited("\"kind\"", "\"deep\":" + deep + ",\"kind\""), L"");
  EXPECT_EQ(
      RefusalOfEdited("\"producer\"", "\"version\":" + deep + ",\"producer\""),
      L"the document is of version a list nested deeper than 32; this dvtool reads 1 and 2.x");
  EXPECT_EQ(RefusalOfEdited("\"producer\"", "\"version\":[2,{\"a\\u001f\":1e100}],\"producer\""),
            L"the document is of version [2,{\"a\\u001f\":1e+100}]; this dvtool reads 1 and 2.x");
  EXPECT_EQ(RefusalOfEdited("\"version\"", "\"kind\":-0.0,\"version\""),
            L"the document is no facts document but -0.0");
}

// A case's facts are set through the reader of a document's: a value replaces
// a failure, a failure leaves the fact as a fresh record has it, and a value of
// the wrong kind changes nothing.
TEST(FactsDocument, SetsOneFactAsTheDocumentReaderDoes) {
  const auto key = [](std::wstring_view name) -> const CriterionKey& {
    const auto keys = CriterionKeys();
    return *std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return k.Key == name; });
  };
  FactsSnapshot facts = Machine();
  EXPECT_FALSE(SetFactFromJson(facts, key(L"DMIVendor"), "LENOVO"));
  EXPECT_EQ(facts.Record.DmiVendor, L"LENOVO");
  EXPECT_FALSE(facts.Failures.contains(L"DMIVendor"));
  EXPECT_FALSE(SetFactFromJson(facts, key(L"DMIPANumber"), Json{{"error", "no WMI"}}));
  EXPECT_EQ(facts.Record.DmiPaNumber, L"");
  EXPECT_EQ(facts.Failures.at(L"DMIPANumber"), L"no WMI");
  EXPECT_FALSE(SetFactFromJson(facts, key(L"OSMajor"), Json{{"error", "no version"}}));
  EXPECT_EQ(facts.Record.OsMajor, SystemFactsRecord{}.OsMajor);
  EXPECT_EQ(SetFactFromJson(facts, key(L"Bit"), "64"), L"Bit is no number of its width");
  EXPECT_EQ(SetFactFromJson(facts, key(L"DMIVendor"), Json{{"error", 1}}),
            L"DMIVendor.error is no text");
  EXPECT_EQ(facts.Record.DmiVendor, L"LENOVO");
  EXPECT_FALSE(facts.Failures.contains(L"DMIVendor"));
}

TEST(FactsDocument, TextShowsTheMachineFirst) {
  const std::wstring text = FactsToText(Machine());
  EXPECT_EQ(text.substr(0, text.find(L"\nOS and processor\n")),
            L"Machine\n"
            L"  platform            linux\n"
            L"  host                build-07\n"
            L"  os                  Debian GNU/Linux 12 (bookworm)\n"
            L"  build               12\n"
            L"  captured            2026-12-09T08:31:29.007Z\n");
  EXPECT_NE(text.find(L"\nLanguages\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"  SysDefault          1031 (0x407)\n"), std::wstring::npos);
}

TEST(FactsDocument, CollectedFactsSayWhoseAndWhen) {
  fake::Reset();
  const FactsSnapshot facts = CollectFacts(MachineFacts());
  ASSERT_TRUE(facts.Origin);
  EXPECT_EQ(facts.Origin->System, platform::System::Windows);
  EXPECT_EQ(facts.Origin->Host, L"pc-017");
  EXPECT_EQ(facts.Origin->Captured, "2026-12-09T08:31:29.007Z");
  EXPECT_EQ(facts.Origin->Release.Build, L"19045");
}

// A replayed walk names a shortcut as the machine of the facts would.
class ReplayedShortcut : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  // The shortcut file that the line asks for in a walk over `source`, with nothing written.
  static std::wstring FileOf(FactSource& source, const std::wstring& line) {
    SilentSink sink;
    RunContext context(sink, source);
    NothingWritten executor;
    const ActionResult result = RunDesktopShortcutAction(context, line, L"ACTION1", executor);
    return std::get<ShortcutRequest>(result.Request).File;
  }

 private:
  class NothingWritten final : public ActionExecutor {
   public:
    ActionOutcome Execute(const ExecuteRequest& /*request*/, ReportSink& /*sink*/) override {
      return NotDone(L"");
    }
    ActionOutcome CreateShortcut(const ShortcutRequest& /*request*/,
                                 ReportSink& /*sink*/) override {
      return NotDone(L"");
    }
  };
};

TEST_F(ReplayedShortcut, TakesTheSuffixOfTheDocumentsPlatform) {
  FactsSnapshot facts = Machine();
  SnapshotFacts replay(facts);
  const std::wstring line = L"D:\\App, D:\\app.exe, [NONE]";
  EXPECT_EQ(FileOf(replay, line), L"D:\\App.desktop");
  facts.Origin->System = platform::System::Windows;
  EXPECT_EQ(FileOf(replay, line), L"D:\\App.lnk");
  facts.Origin.reset();  // the first form: this system's
  fake::Shortcuts().Suffix = L".desktop";
  EXPECT_EQ(FileOf(replay, line), L"D:\\App.desktop");
}

}  // namespace
}  // namespace dorvanta::tool
