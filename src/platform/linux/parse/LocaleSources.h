// Reading the Linux sources of the language facts. Pure text work, no system calls.
#pragma once

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

}  // namespace dorvanta::platform::linux_impl
