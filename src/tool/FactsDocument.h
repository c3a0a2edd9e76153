// The facts document: every fact a rule can test, as JSON (schema/facts.schema.json)
// and as text for a person.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <rapidjson/fwd.h>
#include <nlohmann/json.hpp>

#include "facts/FactsSnapshot.h"

namespace dorvanta {
struct CriterionKey;
}  // namespace dorvanta

namespace dorvanta::tool {

nlohmann::ordered_json FactsToJson(const FactsSnapshot& facts);

// Parses the bytes as every facts document is parsed: strict JSON of valid
// UTF-8 (a UTF-8 byte order mark before it is skipped), nested to any depth.
// False when they are no JSON document.
bool ParseFactsJson(std::string_view bytes, rapidjson::Document& document);

// The member of that name of an object, the last one where a name is repeated
// (a repeated name replaces the value before it); null when there is none.
const rapidjson::Value* FindMember(const rapidjson::Value& object, std::string_view name);

// The facts of a document written by FactsToJson, of any minor version of the
// current major or of the first version (which does not say whose facts they
// are); the reason in `error` when the bytes are no such document.
std::optional<FactsSnapshot> FactsFromJson(std::string_view bytes, std::wstring& error);

// The same of a document already parsed, such as one held inside another.
std::optional<FactsSnapshot> FactsFromDocument(const rapidjson::Value& document,
                                               std::wstring& error);

// Sets the fact that `key` (a key that tests a fact of the record) tests from
// its value as a document holds it: a number of the fact's width, a text, or
// {"error": "..."} for a fact whose source failed. The reason when the value is
// none of these; the facts are then as they were. The value is read as its
// JSON text is.
std::optional<std::wstring> SetFactFromJson(FactsSnapshot& facts, const CriterionKey& key,
                                            const nlohmann::ordered_json& value);

// Aligned lines under a heading per group, with the criteria keys' names; the
// machine's own first.
std::wstring FactsToText(const FactsSnapshot& facts);

}  // namespace dorvanta::tool
