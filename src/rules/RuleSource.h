// Where the walk reads the sections of a rule file from.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/PairName.h"
#include "rules/ProfileParser.h"

namespace dorvanta {

class RuleSource {
 public:
  RuleSource() = default;
  RuleSource(const RuleSource&) = delete;
  RuleSource& operator=(const RuleSource&) = delete;
  virtual ~RuleSource() = default;

  // Fills `buffer` with the lines of the section as the profile reader does
  // (platform::ReadProfileSection): each line NUL-terminated and one further
  // NUL after the last; the number of characters placed, buffer.size() - 2
  // when the section did not fit, 0 when it is missing or has no lines.
  virtual std::uint32_t ReadSection(const std::wstring& section, std::span<wchar_t> buffer) = 0;

  // The same of the pair's CRITERIAx or ACTIONx (pair 1 .. kMaxSectionPairs).
  virtual std::uint32_t ReadPairSection(PairSide side, int pair, std::span<wchar_t> buffer) {
    return ReadSection(WalkSectionName(side, pair), buffer);
  }

  // The number of the lines of the pair's CRITERIAx, which every section of
  // the same lines in the rule files numbered alike shares; nothing when the
  // source numbers none.
  [[nodiscard]] virtual std::optional<std::uint32_t> CriteriaNumber(int /*pair*/) const {
    return std::nullopt;
  }
};

// The rule file at a path, each section read from the file when the walk asks
// for it, as the program reads it.
class RuleFile final : public RuleSource {
 public:
  explicit RuleFile(std::wstring iniPath) : iniPath_(std::move(iniPath)) {}
  std::uint32_t ReadSection(const std::wstring& section, std::span<wchar_t> buffer) override;

 private:
  std::wstring iniPath_;
};

// Numbers for the lines of criteria sections, the same number for the same
// lines: shared by the rule files kept for one command, numbered one after
// another before any walk.
class SectionNumbers {
 public:
  std::uint32_t NumberOf(std::wstring_view lines);
  [[nodiscard]] std::size_t size() const { return numbers_.size(); }

 private:
  std::map<std::wstring, std::uint32_t, std::less<>> numbers_;
};

// A rule file read once, its sections kept: for many walks over one file. The
// sections of every pair are filled once as the walk's buffer holds them, and
// with `numbers` its criteria sections numbered. It reads nothing afterwards
// and may serve several walks at once.
class KeptRules final : public RuleSource {
 public:
  explicit KeptRules(Profile profile, SectionNumbers* numbers = nullptr);
  std::uint32_t ReadSection(const std::wstring& section, std::span<wchar_t> buffer) override {
    return profile_.ReadSection(section, buffer);
  }
  std::uint32_t ReadPairSection(PairSide side, int pair, std::span<wchar_t> buffer) override;
  [[nodiscard]] std::optional<std::uint32_t> CriteriaNumber(int pair) const override;

 private:
  struct Filled {
    std::wstring Characters;              // what the reader placed in the buffer
    std::uint32_t Length;                 // what the reader returned
    std::optional<std::uint32_t> Number;  // of a criteria section's lines
  };

  const Profile profile_;
  // CRITERIA1, ACTION1, CRITERIA2, ...
  std::vector<Filled> pairs_;
};

}  // namespace dorvanta
