// The writer's messages, reached through the DesktopShortcut action that uses it.
#include "actions/ShellLinkWriter.h"

#include <gtest/gtest.h>

#include "actions/ActionRequest.h"
#include "actions/DesktopShortcutAction.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeShortcut.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

using platform::ShortcutStep;

class ShellLinkWriter : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }
};

TEST_F(ShellLinkWriter, EveryWriterStepHasItsMessageAfterTheRelease) {
  const std::pair<ShortcutStep, std::wstring> cases[] = {
      {ShortcutStep::CreateInstance, L"ERROR: Create instance failed!\n"},
      {ShortcutStep::PersistFile, L"ERROR: Persist file failed!\n"},
      {ShortcutStep::SetArguments, L"ERROR: SetArguments failed!\n"},
      {ShortcutStep::SetPath, L"ERROR: SetPath failed!\n"},
      {ShortcutStep::SetDescription, L"ERROR: SetDescription failed!\n"},
      {ShortcutStep::SetIconLocation, L"ERROR: SetIconLocation failed!\n"},
      {ShortcutStep::Save, L"ERROR: Save failed (you need admin rights)!\n"},
  };
  for (const auto& [step, message] : cases) {
    fake::Shortcuts().FailAt = step;
    fake::Platform().Stdout.clear();
    RunDesktopShortcutAction(run_.Context, L"a, t.exe, /x", L"ACTION1", MachineExecutor());
    // The writer's message is the last line: no empty line follows a failure.
    EXPECT_EQ(fake::Platform().Stdout, L"Create  Shortcut a.lnk for t.exe /x\n" + message);
    EXPECT_EQ(fake::Shortcuts().StdoutAtAnswer, fake::Platform().Stdout.size() - message.size());
  }
}

}  // namespace
}  // namespace dorvanta
