#include "tool/OutputGuard.h"

#include <optional>
#include <utility>

#include "platform/FileSystem.h"
#include "report/Format.h"

namespace dorvanta::tool {

GuardedOutput OpenGuardedOutput(const std::wstring& path, std::span<const CommandInput> inputs,
                                const OutputKind& kind) {
  platform::OutputOpen open = platform::OpenOutputFile(path);
  if (open.Busy) return GuardedOutput{nullptr, L"another run holds it open", {}};
  if (!open.File) return GuardedOutput{nullptr, {}, std::move(open.Failure)};
  const auto refuse = [&open](std::wstring reason) {
    platform::AbandonOutputFile(std::move(open.File));
    return GuardedOutput{nullptr, std::move(reason), {}};
  };
  // Compared once the output exists, so that an input not written yet (a log)
  // that names the same file is found too.
  for (const CommandInput& input : inputs) {
    if (platform::NameSameExistingFile(path, input.Path)) {
      return refuse(Format(L"it is %s", input.Role));
    }
  }
  const std::optional<std::string> start = platform::OutputFileStart(*open.File, kOutputStartLimit);
  if (!start) return refuse(L"it cannot be read to tell what it holds");
  if (!start->empty() && !kind.WrittenByDvtool(*start)) {
    return refuse(Format(L"the file exists and is not %s written by dvtool", kind.Name));
  }
  if (std::optional<std::wstring> failure = platform::EmptyOutputFile(*open.File)) {
    return GuardedOutput{nullptr, {}, std::move(*failure)};
  }
  return GuardedOutput{std::move(open.File), {}, {}};
}

}  // namespace dorvanta::tool
