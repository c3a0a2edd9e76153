// Arbitrary bytes to the facts reader of dvtool (FactsFromJson). Its parser has
// to refuse what nlohmann/json refuses as JSON (it refuses a little more: a zero
// written with an exponent above 308, such as 0e309), and the facts it
// reads of a document of the current form, written out by FactsToJson, have to
// read back to themselves (those of the first form, which say nothing of their
// machine, are written as no document of either form).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <rapidjson/document.h>
#include <nlohmann/json.hpp>

#include "FuzzSupport.h"
#include "tool/FactsDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using dorvanta::fuzz::Check;
  namespace tool = dorvanta::tool;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  rapidjson::Document parsed;
  const bool json = tool::ParseFactsJson(bytes, parsed);
  Check(!json || !nlohmann::json::parse(bytes, nullptr, false).is_discarded(),
        "the reader takes nothing that nlohmann/json refuses as JSON");
  std::wstring error;
  const std::optional<dorvanta::FactsSnapshot> facts = tool::FactsFromJson(bytes, error);
  Check(json || (!facts && error == L"no JSON document"), "bytes that are no JSON are refused");
  if (!facts || !facts->Origin) return 0;
  const std::string written = tool::FactsToJson(*facts).dump();
  const std::optional<dorvanta::FactsSnapshot> again = tool::FactsFromJson(written, error);
  Check(again && tool::FactsToJson(*again).dump() == written, "the facts read back as written");
  return 0;
}
