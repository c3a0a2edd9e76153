// Reading the Linux sources of the language facts. Pure work on text and ICU's
// locale data, no system calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dorvanta::platform::linux_impl {

// The locale that decides messages, as glibc resolves it: LC_ALL, then
// LC_MESSAGES, then LANG, the first that is set and not empty; "C" when none is.
// A null pointer stands for an unset variable.
std::string MessagesLocaleName(const char* lcAll, const char* lcMessages, const char* lang);

// The value of LANG in /etc/locale.conf or /etc/default/locale, unquoted; empty
// when the file does not set it.
std::string ParseLocaleConfLang(std::string_view content);

// True for the C and POSIX locales in every codeset and modifier form (C.UTF-8).
bool IsPosixLocaleName(std::string_view name);

// What a locale name stands for on Windows.
struct LocaleMapping {
  std::uint16_t LanguageId = 0;  // the Windows language identifier; 0 when there is none
  std::string Location;          // the two-letter region; empty when the locale has none
};

// Maps a locale name, in glibc's form ("sr_RS.UTF-8@latin") or ICU's, with
// ICU's data. The script counts: glibc's modifier names it (@latin, @cyrillic,
// @devanagari), else the one the language most likely has in the region. A
// region that is not a two-letter one is no region, and a locale without one
// lies where its language most likely does (de gives DE). The C and POSIX
// locales, and a name ICU cannot place (an unknown language without a region),
// give English (United States) and US.
LocaleMapping MapLocale(std::string_view name);

}  // namespace dorvanta::platform::linux_impl
