#include "rules/RuleSource.h"

#include "platform/ProfileReader.h"

namespace dorvanta {

std::uint32_t RuleFile::ReadSection(const std::wstring& section, std::span<wchar_t> buffer) {
  return platform::ReadProfileSection(iniPath_, section, buffer);
}

}  // namespace dorvanta
