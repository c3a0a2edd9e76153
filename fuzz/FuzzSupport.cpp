#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

#include "common/Encoding.h"
#include "fake/FakeShell.h"

namespace dorvanta::fuzz {

std::wstring DecodeText(const std::uint8_t* data, std::size_t size) {
  return DecodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t from = 0;
  while (true) {
    const std::size_t end = text.find(L'\n', from);
    lines.emplace_back(text.substr(from, end == std::wstring_view::npos ? end : end - from));
    if (end == std::wstring_view::npos) return lines;
    from = end + 1;
  }
}

std::vector<std::wstring> RemainingLines(FuzzedDataProvider& input) {
  const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
  return SplitLines(DecodeText(rest.data(), rest.size()));
}

std::wstring AfterFirst(std::wstring_view line, wchar_t separator) {
  const std::size_t found = line.find(separator);
  return std::wstring(found == std::wstring_view::npos ? line : line.substr(found + 1));
}

void FillShell(const std::vector<std::uint8_t>& choices, const std::vector<std::wstring>& texts) {
  FuzzedDataProvider input(choices.data(), choices.size());
  fake::PathState& paths = fake::Shell().Paths;
  for (int csidl = 0; csidl < static_cast<int>(kShellChoices); ++csidl) {
    const auto choice = input.ConsumeIntegral<std::uint8_t>();
    platform::FolderLookup& folder = paths.Folders[csidl];
    folder.Status = static_cast<platform::FolderLookupStatus>(choice % 3);
    if (folder.Status == platform::FolderLookupStatus::Found && !texts.empty()) {
      folder.Path = texts[(choice / 3u) % texts.size()];
    }
  }
  for (const std::wstring& text : texts) {
    const std::size_t equals = text.find(L'=');
    if (equals != std::wstring::npos)
      paths.Environment[text.substr(0, equals)] = text.substr(equals + 1);
  }
}

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "check failed: %s\n", what);
  std::abort();
}

}  // namespace dorvanta::fuzz
