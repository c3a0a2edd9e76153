// facts_floor: reads every facts document of a folder and does nothing else, so
// that a walk over a fleet can be set beside what reading its documents costs.
// The stages stop after the bytes (read), after the JSON tree (parse: RapidJSON's,
// parsed as the facts reader parses) or after the facts (facts: FactsFromJson,
// the reader of dvtool's commands); built
// with simdjson, the stage simdjson parses with it instead and decodes every
// text of the facts, devices and folders to wide text, as the reader does, to
// show what reading with that parser would cost. The documents are shared out
// to worker threads one at a time, as plan does.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <rapidjson/document.h>
#ifdef DORVANTA_FLOOR_SIMDJSON
#include <simdjson.h>
#endif

#include "common/Encoding.h"

#include "platform/Console.h"
#include "platform/Entry.h"
#include "platform/FileSystem.h"
#include "report/Format.h"
#include "tool/FactsDocument.h"

namespace dorvanta {
namespace {

enum class Stage { Read, Parse, Facts, Simdjson };

// The largest document read, as the facts readers of dvtool bound theirs.
constexpr std::size_t kDocumentLimit = std::size_t{64} * 1024 * 1024;

struct Tally {
  std::uint64_t Documents = 0;
  std::uint64_t Bytes = 0;
  std::uint64_t Devices = 0;  // what the stage found, so that no stage is left out
  std::uint64_t Failures = 0;
};

#ifdef DORVANTA_FLOOR_SIMDJSON
// The texts of a document as the facts reader decodes them; the number of
// devices, or nothing when the document is no JSON or lacks a part.
std::optional<std::uint64_t> DecodeWithSimdjson(simdjson::dom::parser& parser,
                                                const std::string& bytes) {
  constexpr simdjson::error_code kDone = simdjson::SUCCESS;
  simdjson::dom::element document;
  if (parser.parse(bytes.data(), bytes.size()).get(document) != kDone) return std::nullopt;
  simdjson::dom::object facts;
  simdjson::dom::array devices;
  simdjson::dom::object folders;
  if (document["facts"].get(facts) != kDone || document["devices"].get(devices) != kDone ||
      document["folders"].get(folders) != kDone)
    return std::nullopt;
  std::wstring sink;
  const auto decode = [&sink](simdjson::dom::element value) {
    std::string_view text;
    if (value.get(text) == kDone) sink = DecodeUtf8(std::string(text));
  };
  for (const auto field : facts) decode(field.value);
  for (const auto field : folders) decode(field.value);
  std::uint64_t count = 0;
  for (const simdjson::dom::element device : devices) {
    simdjson::dom::array ids;
    if (device["hardwareIds"].get(ids) != kDone) return std::nullopt;
    for (const simdjson::dom::element id : ids) decode(id);
    ++count;
  }
  return count;
}
#endif

Tally ReadOne(const std::wstring& path, Stage stage) {
  Tally tally;
  const platform::FileRead read = platform::ReadWholeFile(path, kDocumentLimit);
  if (!read.Bytes) {
    ++tally.Failures;
    return tally;
  }
  ++tally.Documents;
  tally.Bytes = read.Bytes->size();
  if (stage == Stage::Parse) {
    rapidjson::Document document;
    const rapidjson::Value* devices = tool::ParseFactsJson(*read.Bytes, document)
                                          ? tool::FindMember(document, "devices")
                                          : nullptr;
    if (devices == nullptr || !devices->IsArray()) {
      ++tally.Failures;
    } else {
      tally.Devices = devices->Size();
    }
  } else if (stage == Stage::Simdjson) {
#ifdef DORVANTA_FLOOR_SIMDJSON
    thread_local simdjson::dom::parser parser;
    const std::optional<std::uint64_t> devices = DecodeWithSimdjson(parser, *read.Bytes);
    if (devices) {
      tally.Devices = *devices;
    } else {
      ++tally.Failures;
    }
#endif
  } else if (stage == Stage::Facts) {
    std::wstring error;
    const std::optional<FactsSnapshot> facts = tool::FactsFromJson(*read.Bytes, error);
    if (facts) {
      tally.Devices = facts->Devices.size();
    } else {
      ++tally.Failures;
    }
  }
  return tally;
}

Tally ReadAll(const platform::FolderListing& files, Stage stage, unsigned threads) {
  std::atomic<std::size_t> next{0};
  std::vector<Tally> tallies(threads);
  std::vector<std::thread> workers;
  for (unsigned worker = 0; worker < threads; ++worker) {
    workers.emplace_back([&, worker] {
      for (std::size_t index = next++; index < files.size(); index = next++) {
        const Tally one = ReadOne(files.Path(index), stage);
        Tally& sum = tallies[worker];
        sum.Documents += one.Documents;
        sum.Bytes += one.Bytes;
        sum.Devices += one.Devices;
        sum.Failures += one.Failures;
      }
    });
  }
  Tally total;
  for (unsigned worker = 0; worker < threads; ++worker) {
    workers[worker].join();
    total.Documents += tallies[worker].Documents;
    total.Bytes += tallies[worker].Bytes;
    total.Devices += tallies[worker].Devices;
    total.Failures += tallies[worker].Failures;
  }
  return total;
}

constexpr std::wstring_view kUsage =
    L"Usage: facts_floor FOLDER [--stage read|parse|facts|simdjson] [--threads N]\n"
    L"Reads the *.json documents of FOLDER (facts: as dvtool reads facts documents;\n"
    L"parse: RapidJSON's tree alone, parsed as that reader parses; read: the bytes\n"
    L"alone) on N threads (as many as the machine has processors), and prints what\n"
    L"it read. Exit codes: 0 every document read, 1 some could not be, 2 usage error\n"
    L"or no such folder. simdjson (its parser, the texts decoded as the reader does)\n"
    L"only where it was found at the build.\n";

int Usage() {
  platform::WriteStandardError(kUsage);
  return 2;
}

struct Options {
  std::optional<std::wstring> Folder;
  Stage Wanted = Stage::Facts;
  unsigned Threads = std::max(1U, std::thread::hardware_concurrency());
  bool Help = false;
};

std::optional<Stage> ReadStage(const std::wstring& name) {
  if (name == L"read") return Stage::Read;
  if (name == L"parse") return Stage::Parse;
  if (name == L"facts") return Stage::Facts;
#ifdef DORVANTA_FLOOR_SIMDJSON
  if (name == L"simdjson") return Stage::Simdjson;
#endif
  return std::nullopt;
}

// A count of 1 to 999 threads.
std::optional<unsigned> ReadThreads(const std::wstring& count) {
  if (count.empty() || count.size() > 3 ||
      !std::all_of(count.begin(), count.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
    return std::nullopt;
  const auto threads = static_cast<unsigned>(std::stoul(count));
  return threads == 0 ? std::nullopt : std::optional<unsigned>(threads);
}

// The options, or nothing on a usage error.
std::optional<Options> ReadOptions(const std::vector<std::wstring>& arguments) {
  Options options;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const bool valued = i + 1 < arguments.size();
    if (argument == L"--help") {
      options.Help = true;
    } else if (argument == L"--stage" && valued) {
      const std::optional<Stage> stage = ReadStage(arguments[++i]);
      if (!stage) return std::nullopt;
      options.Wanted = *stage;
    } else if (argument == L"--threads" && valued) {
      const std::optional<unsigned> threads = ReadThreads(arguments[++i]);
      if (!threads) return std::nullopt;
      options.Threads = *threads;
    } else if (!options.Folder && !argument.starts_with(L"-")) {
      options.Folder = argument;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace

int ProgramMain(const std::vector<std::wstring>& arguments) {
  const std::optional<Options> options = ReadOptions(arguments);
  if (options && options->Help) {
    platform::WriteStandardOutput(kUsage);
    return 0;
  }
  if (!options || !options->Folder) return Usage();
  const std::wstring& folder = *options->Folder;
  const platform::FolderFiles listing = platform::ListFolderFiles(folder, L".json");
  if (!listing.Files) {
    platform::WriteStandardError(
        Format(L"facts_floor: cannot read %s: %s\n", folder, listing.Failure));
    return 2;
  }
  const Tally total = ReadAll(*listing.Files, options->Wanted, options->Threads);
  platform::WriteStandardOutput(std::to_wstring(total.Documents) + L" documents, " +
                                std::to_wstring(total.Bytes) + L" bytes, " +
                                std::to_wstring(total.Devices) + L" devices, " +
                                std::to_wstring(total.Failures) + L" failed\n");
  return total.Failures == 0 ? 0 : 1;
}

}  // namespace dorvanta
