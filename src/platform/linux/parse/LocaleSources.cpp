#include "platform/linux/parse/LocaleSources.h"

#include <unicode/uloc.h>

#include <optional>
#include <utility>

#include "platform/linux/parse/Blanks.h"

namespace dorvanta::platform::linux_impl {
namespace {

// The C and POSIX locales: English (United States).
LocaleMapping PosixMapping() { return LocaleMapping{0x0409, "US"}; }

using LocaleQuery = int32_t (*)(const char*, char*, int32_t, UErrorCode*);

// One of ICU's answers about a locale; nullopt when it fails or does not fit.
std::optional<std::string> Ask(LocaleQuery query, const std::string& locale) {
  char answer[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  query(locale.c_str(), answer, sizeof answer, &status);
  if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING) return std::nullopt;
  return std::string(answer);
}

bool Listed(const char* const* codes, const std::string& code) {
  for (; *codes != nullptr; ++codes) {
    if (code == *codes) return true;
  }
  return false;
}

// glibc names a script with a modifier, which ICU reads as a variant.
std::string ScriptOfVariant(const std::string& variant) {
  if (variant == "LATIN") return "Latn";
  if (variant == "CYRILLIC") return "Cyrl";
  if (variant == "DEVANAGARI") return "Deva";
  return {};
}

// ICU's form of a locale: language, then each part that is there.
std::string Tag(const std::string& language, const std::string& script, const std::string& region,
                const std::string& variant) {
  std::string tag = language;
  if (!script.empty()) tag += "_" + script;
  if (!region.empty() || !variant.empty()) tag += "_" + region;
  if (!variant.empty()) tag += "_" + variant;
  return tag;
}

// The Windows identifier of a tag when ICU's table holds that very tag; ICU
// otherwise answers with a near one (en_Latn_US gives the neutral en).
std::optional<std::uint32_t> ExactLcid(const std::string& tag) {
  const std::uint32_t lcid = uloc_getLCID(tag.c_str());
  char named[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_getLocaleForLCID(lcid, named, sizeof named, &status);
  if (U_FAILURE(status) || tag != named) return std::nullopt;
  return lcid;
}

// A locale as ICU reads it: "sr_RS.UTF-8@latin" gives sr, RS and the variant LATIN.
struct Parts {
  std::string Language, Script, Region, Variant;
};

std::optional<Parts> Split(std::string_view name) {
  const std::optional<std::string> canonical = Ask(uloc_canonicalize, std::string(name));
  if (!canonical) return std::nullopt;
  std::optional<std::string> language = Ask(uloc_getLanguage, *canonical);
  std::optional<std::string> script = Ask(uloc_getScript, *canonical);
  std::optional<std::string> region = Ask(uloc_getCountry, *canonical);
  std::optional<std::string> variant = Ask(uloc_getVariant, *canonical);
  if (!language || !script || !region || !variant) return std::nullopt;
  return Parts{std::move(*language), std::move(*script), std::move(*region), std::move(*variant)};
}

// One part of the locale that ICU finds most likely for a tag; empty when none.
std::string LikelyPart(LocaleQuery part, const std::string& tag) {
  const std::optional<std::string> likely = Ask(uloc_addLikelySubtags, tag);
  return likely ? Ask(part, *likely).value_or("") : "";
}

}  // namespace

std::string MessagesLocaleName(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* name : {lcAll, lcMessages, lang}) {
    if (name != nullptr && *name != '\0') return name;
  }
  return "C";
}

std::string ParseLocaleConfLang(std::string_view content) {
  std::string value;
  while (!content.empty()) {
    const std::size_t newline = content.find('\n');
    std::string_view line = TrimBlanks(content.substr(0, newline));
    content = newline == std::string_view::npos ? std::string_view() : content.substr(newline + 1);
    if (line.starts_with("export ")) line = TrimBlanks(line.substr(7));
    if (!line.starts_with("LANG=")) continue;
    line = TrimBlanks(line.substr(5));
    if (line.size() >= 2 && (line.front() == '"' || line.front() == '\'') &&
        line.back() == line.front()) {
      line = line.substr(1, line.size() - 2);
    }
    value = std::string(line);  // a later assignment wins, as in the shell
  }
  return value;
}

bool IsPosixLocaleName(std::string_view name) {
  const std::string_view language = name.substr(0, name.find_first_of(".@"));
  return language == "C" || language == "POSIX";
}

LocaleMapping MapLocale(std::string_view name) {
  std::optional<Parts> split = IsPosixLocaleName(name) ? std::nullopt : Split(name);
  if (!split) return PosixMapping();
  Parts& locale = *split;
  if (!Listed(uloc_getISOCountries(), locale.Region)) locale.Region.clear();
  std::string script = locale.Script;
  if (script.empty()) {
    script = ScriptOfVariant(locale.Variant);
    if (!script.empty()) locale.Variant.clear();
  }
  if (script.empty() && !locale.Region.empty()) {
    script = LikelyPart(uloc_getScript, Tag(locale.Language, {}, locale.Region, {}));
  }
  // A locale without a region lies where its language most likely does; one
  // that ICU cannot place at all, as of a language it does not know, counts as C.
  const std::string location =
      locale.Region.empty() ? LikelyPart(uloc_getCountry, Tag(locale.Language, script, {}, {}))
                            : locale.Region;
  if (location.empty()) return PosixMapping();
  // Windows has identifiers of their own for some scripts (sr_Latn_RS); the
  // others go by language and region.
  const std::uint32_t lcid =
      ExactLcid(Tag(locale.Language, script, locale.Region, locale.Variant))
          .value_or(uloc_getLCID(
              Tag(locale.Language, locale.Script, locale.Region, locale.Variant).c_str()));
  // The low 16 bits of a locale identifier are its language identifier.
  return LocaleMapping{static_cast<std::uint16_t>(lcid & 0xFFFF), location};
}

}  // namespace dorvanta::platform::linux_impl
